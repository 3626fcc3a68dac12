#pragma once
// The line that shows how far a dial has been sounded: "[0312]345678#".

#include <cstddef>
#include <string>
#include <string_view>

namespace dtmf_tool {

// `dial` with its first `sounded` characters in brackets. A `width` above
// zero is the console's: the line then keeps under it, cut around the
// brackets' end with "...", so updating it in place never wraps.
std::wstring ProgressLine(std::wstring_view dial, size_t sounded, size_t width);

}  // namespace dtmf_tool
