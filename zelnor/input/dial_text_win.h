#pragma once
// The library's one reading of a caller's dial string.

#include <string>

namespace zelnor {

// The symbols of a NUL-terminated string in the system ANSI code page. The
// platform decodes it, so a byte of a double-byte character never reads as a
// symbol of its own.
std::string ReadDialSymbols(const char* dial);

}  // namespace zelnor
