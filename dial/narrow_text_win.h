#pragma once

#include <string>
#include <string_view>

// Wide text in the system's ANSI code page (932 on Japanese systems), whole,
// as a fresh NUL-terminated string. Throws std::system_error.
std::string ToAnsiCodePage(std::wstring_view text);
