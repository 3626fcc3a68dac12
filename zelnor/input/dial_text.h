#pragma once
// The library's one reading of a caller's dial string.

#include "zelnor/signal/dial_symbols.h"

namespace zelnor {

// The symbols and pauses of a NUL-terminated string in the system ANSI code
// page, each symbol with its byte offset. A double-byte character is read
// as one, so its trail byte never reads as a symbol of its own.
DialSymbols ReadDialSymbols(const char* dial);

}  // namespace zelnor
