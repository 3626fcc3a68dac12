#pragma once

#include <string>
#include <string_view>

// Wide text in the system's ANSI code page (932 on Japanese systems), whole,
// as a fresh NUL-terminated string. A character the code page has no exact
// form for becomes its default character ("?"), never a look-alike. Throws
// std::system_error.
std::string ToAnsiCodePage(std::wstring_view text);
