#include "tools/dtmf/tel_uri.h"

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

bool IsTelUri(std::wstring_view text) {
  return text.size() >= 4 && (text[0] | 0x20) == L't' && (text[1] | 0x20) == L'e' &&
         (text[2] | 0x20) == L'l' && text[3] == L':';
}

std::wstring DialFromTelUri(std::wstring_view uri) { return std::wstring(uri.substr(4)); }

}  // namespace dtmf_tool
