#pragma once
// The system's own words for an error code.

#include <windows.h>

#include <string>

#include "common/handles_win.h"

// FormatMessage's text for `error` in the user's language, its inserts
// ("%1") left in place and its closing line break trimmed; empty when the
// system has none.
inline std::wstring SystemMessageText(DWORD error) {
  UniqueLocalMemory buffer;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(buffer.put()), 0, nullptr);
  std::wstring text =
      length ? std::wstring(static_cast<const wchar_t*>(buffer.get()), length) : std::wstring();
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return text;
}
