#include "dial/narrow_text_win.h"

#include <windows.h>

#include <climits>

#include "common/win32_error_win.h"

std::string ToAnsiCodePage(std::wstring_view text) {
  if (text.empty()) return {};
  if (text.size() > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
  // No best fit: a look-alike ("À", "²", "Ā") must not become the keypad
  // symbol it resembles and dial; it becomes the code page's default
  // character, which is no symbol.
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
