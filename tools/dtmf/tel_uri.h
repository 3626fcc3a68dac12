#pragma once
// tel: links (RFC 3966) as dial strings: the number, then what the link's
// parameters add (an extension after a pause, post-dial digits).

#include <string>
#include <string_view>

namespace dtmf_tool {

// Whether `text` is written as a tel: link ("tel:" in any letter case).
bool IsTelUri(std::wstring_view text);

// The dial string a tel: link stands for. Throws UsageError (command_line.h)
// with one line saying what is wrong with a malformed link.
std::wstring DialFromTelUri(std::wstring_view uri);

}  // namespace dtmf_tool
