#pragma once
// Text between UTF-16 and the system's ANSI code page (932 on Japanese
// systems, 65001 where Windows is set to use UTF-8), the code page
// zelnor.dll reads a dial in and the C++ library's exception messages are
// written in.

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

// The flags that keep WideCharToMultiByte from writing a look-alike in
// `code_page` (a number: CP_ACP says nothing of which). The UTF and stateful (ISO-2022, ISCII) code
// pages have no best fit and refuse the flag with ERROR_INVALID_FLAGS.
inline DWORD NoBestFitFlags(UINT code_page) {
  const bool refuses_flags = code_page == CP_UTF7 || code_page == CP_UTF8 || code_page == 42 ||
                             (code_page >= 50220 && code_page <= 50229) || code_page == 54936 ||
                             (code_page >= 57002 && code_page <= 57011);
  return refuses_flags ? 0 : WC_NO_BEST_FIT_CHARS;
}

// Wide text in `code_page`, whole. A character the code page has no exact
// form for becomes its default character ("?"), never a look-alike: "À",
// "²" or "Ā" must not turn into the keypad symbol they resemble and dial.
// Throws std::system_error, or std::bad_alloc for text too long.
inline std::string ToCodePage(UINT code_page, std::wstring_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
  const DWORD flags = NoBestFitFlags(code_page);
  const int wide_length = static_cast<int>(text.size());
  const int narrow_length = ::WideCharToMultiByte(code_page, flags, text.data(), wide_length,
                                                  nullptr, 0, nullptr, nullptr);
  if (narrow_length <= 0) ThrowLastError("WideCharToMultiByte");
  std::string narrow(static_cast<size_t>(narrow_length), '\0');
  if (!::WideCharToMultiByte(code_page, flags, text.data(), wide_length, narrow.data(),
                             narrow_length, nullptr, nullptr)) {
    ThrowLastError("WideCharToMultiByte");
  }
  return narrow;
}

// ToCodePage in the ANSI code page, the one zelnor.dll reads a dial in; by
// number, as the flags depend on which it is.
inline std::string ToAnsiCodePage(std::wstring_view text) { return ToCodePage(::GetACP(), text); }
