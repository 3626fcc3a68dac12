#include <cstdint>
#include <cstring>

#include "zelnor/input/dial_text.h"
#include "zelnor/input/utf8_length.h"
#include "zelnor/signal/symbol_reader.h"

namespace zelnor {
namespace {

// One UTF-8 character as its code point; '\0' for a malformed or overlong
// one (which dials nothing: "\xC0\xB1" is no '1').
wchar_t Decode(const unsigned char* bytes, size_t length) {
  static constexpr unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
  static constexpr uint32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  const size_t announced = bytes[0] >= 0xF0 ? 4 : bytes[0] >= 0xE0 ? 3 : bytes[0] >= 0xC0 ? 2 : 1;
  if (length != announced || (announced == 1 && bytes[0] >= 0x80)) return L'\0';
  auto code = static_cast<uint32_t>(bytes[0] & kLeadBits[length - 1]);
  for (size_t i = 1; i < length; ++i) code = code << 6 | (bytes[i] & 0x3F);
  return code < kLeast[length - 1] ? L'\0' : static_cast<wchar_t>(code);
}

}  // namespace

DialSymbols ReadDialSymbols(const char* dial) {
  const size_t size = std::strlen(dial);
  const auto* bytes = reinterpret_cast<const unsigned char*>(dial);
  DialSymbols symbols;
  symbols.Reserve(size);
  for (size_t at = 0; at < size;) {
    const size_t length = Utf8Length(bytes + at, size - at);
    AddDialCharacter(symbols, Decode(bytes + at, length), at);
    at += length;
  }
  symbols.SetLength(size);
  return symbols;
}

}  // namespace zelnor
