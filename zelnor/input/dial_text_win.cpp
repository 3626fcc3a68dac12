#include "zelnor/input/dial_text_win.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <new>
#include <vector>

#include "zelnor.h"
#include "zelnor/signal/symbol_reader.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

std::string ReadDialSymbols(const char* dial) {
  const size_t size = std::strlen(dial);
  if (size == 0) return {};
  // Its wide form would not fit in a 32-bit process anyway.
  if (size > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
  const int byte_count = static_cast<int>(size);
  // No code page gives more characters than bytes, so one pass decodes it.
  // Not a std::wstring, which would link the C++ library's whole wide string
  // into the DLL.
  std::vector<wchar_t> text(size);
  const int length = ::MultiByteToWideChar(CP_ACP, 0, dial, byte_count, text.data(), byte_count);
  if (length <= 0) throw ZelnorError(ZELNOR_E_SYSTEM, "cannot decode the dial string");
  return ReadSymbols(std::wstring_view(text.data(), static_cast<size_t>(length)));
}

}  // namespace zelnor
