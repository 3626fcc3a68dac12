#pragma once
// What each character of dialled text does: 0-9, A-D, * and # dial (lower
// case and full-width forms folded onto them), ',' and its full-width form
// pause, and every other character (NUL included) is skipped.

#include <string_view>

#include "zelnor/signal/dial_symbols.h"

namespace zelnor {

// A UTF-16 dial, each character counted as one unit of offset.
DialSymbols ReadDial(std::wstring_view text);

// Adds what one character of a dial at `offset` does to `dial`.
void AddDialCharacter(DialSymbols& dial, wchar_t c, uint64_t offset);

}  // namespace zelnor
