#pragma once
// UTF-8 to and from the text the tool holds: UTF-16 code units, one per
// wchar_t, on every platform (as Windows holds text), so the portable code
// counts and compares characters the same way everywhere.

#include <cstddef>
#include <string>
#include <string_view>

namespace dtmf_tool {

// One character read from UTF-8; `length` 0 when the bytes at that point
// are not a well-formed sequence (overlong forms, surrogates and values
// past U+10FFFF included).
struct Utf8Character {
  char32_t code_point;
  size_t length;
};

Utf8Character ReadUtf8(std::string_view bytes, size_t at);

// Appends `code_point` as one or two UTF-16 code units.
void AppendUtf16(char32_t code_point, std::wstring& text);

// `bytes` as text, each byte of an ill-formed sequence read as U+FFFD: for
// what the system hands over (arguments, its messages), never refused.
std::wstring FromUtf8(std::string_view bytes);

// `text` in UTF-8, a lone surrogate written as U+FFFD.
std::string ToUtf8(std::wstring_view text);

}  // namespace dtmf_tool
