#pragma once
// Text between UTF-16 and the system's ANSI code page (932 on Japanese
// systems), the code page zelnor.dll reads a dial in and the C++ library's
// exception messages are written in.

#include <windows.h>

#include <climits>
#include <new>
#include <string>
#include <string_view>

#include "common/win32_error_win.h"

// ANSI text (an exception message) as wide text; bytes the code page has
// no character for become its default character.
inline std::wstring FromAnsiCodePage(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Wide text in the ANSI code page, whole. A character the code page has no
// exact form for becomes its default character ("?"), never a look-alike:
// "À", "²" or "Ā" must not turn into the keypad symbol they resemble and
// dial. Throws std::system_error, or std::bad_alloc for text too long.
inline std::string ToAnsiCodePage(std::wstring_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
  constexpr DWORD kFlags = WC_NO_BEST_FIT_CHARS;
  const int wide_length = static_cast<int>(text.size());
  const int narrow_length =
      ::WideCharToMultiByte(CP_ACP, kFlags, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (narrow_length <= 0) ThrowLastError("WideCharToMultiByte");
  std::string narrow(static_cast<size_t>(narrow_length), '\0');
  if (!::WideCharToMultiByte(CP_ACP, kFlags, text.data(), wide_length, narrow.data(), narrow_length,
                             nullptr, nullptr)) {
    ThrowLastError("WideCharToMultiByte");
  }
  return narrow;
}
