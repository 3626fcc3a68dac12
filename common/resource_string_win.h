#pragma once
// Strings from the executable's string table, in the user's UI language.

#include <windows.h>

#include <string>

inline std::wstring LoadResourceString(UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length, LoadString hands back a pointer into the resource.
  const int length =
      ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}
