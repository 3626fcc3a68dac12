#pragma once
// Turns dialled text into the symbols to play: 0-9, A-D, * and #, with
// lower-case letters and full-width forms folded onto them and everything
// else dropped. Text ends at a NUL byte or at the end of the input,
// whichever comes first.

#include <string>
#include <string_view>

#include "zelnor/code_page_rules.h"

namespace zelnor {

// The result holds only characters of kAllSymbols (keypad.h).
std::string ReadSymbols(std::string_view text, const CodePageRules& rules);
std::string ReadSymbols(const char* text, const CodePageRules& rules);

}  // namespace zelnor
