#pragma once
// Turns dialled text into the symbols to play: 0-9, A-D, * and #, with
// lower-case letters and full-width forms folded onto them and every other
// character (NUL included) dropped.

#include <string>
#include <string_view>

namespace zelnor {

// The result holds only characters of kAllSymbols (keypad.h).
std::string ReadSymbols(std::wstring_view text);

}  // namespace zelnor
