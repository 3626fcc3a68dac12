#pragma once
// Message patterns with numbered placeholders, so each language's string
// table can put the values where its grammar wants them.

#include <initializer_list>
#include <string>

// Replaces %1, %2, ... in `pattern` with the arguments, in any order.
inline std::wstring FormatText(std::wstring pattern, std::initializer_list<std::wstring> args) {
  std::wstring out;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
    if (pattern[i] == L'%' && next >= L'1' && next <= L'9') {
      const size_t index = static_cast<size_t>(next - L'1');
      if (index < args.size()) out += *(args.begin() + index);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// At most `limit` characters of `text`, with an ellipsis when cut, so a
// pasted page does not fill a message box.
inline std::wstring Abbreviate(const std::wstring& text, size_t limit) {
  if (text.size() <= limit) return text;
  return text.substr(0, limit) + L"\u2026";
}
