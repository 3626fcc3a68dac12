#pragma once
// The library's one reading of a caller's dial string.

#include "zelnor/signal/dial_symbols.h"

namespace zelnor {

// The symbols and pauses of a NUL-terminated string, each symbol with its
// byte offset: in the system ANSI code page on Windows (dial_text_win.cpp),
// in UTF-8 elsewhere (dial_text_posix.cpp). A multibyte character is read
// as one, so none of its later bytes reads as a symbol of its own.
DialSymbols ReadDialSymbols(const char* dial);

}  // namespace zelnor
