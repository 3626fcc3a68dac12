#include "zelnor/input/dial_text.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <iterator>
#include <new>

#include "zelnor/input/utf8_length.h"
#include "zelnor/signal/symbol_reader.h"

namespace zelnor {
namespace {

// How many bytes the character starting with each byte takes, at most, in
// a double-byte code page.
std::array<uint8_t, 256> CharacterLengths() {
  std::array<uint8_t, 256> lengths;
  lengths.fill(1);
  CPINFO info{};
  if (!::GetCPInfo(CP_ACP, &info)) return lengths;
  for (size_t i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
    for (unsigned b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) lengths[b] = 2;
  }
  return lengths;
}

// One character of up to four bytes as UTF-16; '\0' for anything that is
// not a single UTF-16 unit (none of those dials).
wchar_t Decode(const char* bytes, size_t length) {
  wchar_t wide[4];
  const int count = ::MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length), wide,
                                          static_cast<int>(std::size(wide)));
  return count == 1 ? wide[0] : L'\0';
}

}  // namespace

DialSymbols ReadDialSymbols(const char* dial) {
  const size_t size = std::strlen(dial);
  // The platform's own calls count a string's bytes in an int.
  if (size > static_cast<size_t>(INT_MAX)) throw std::bad_alloc();
  const bool utf8 = ::GetACP() == CP_UTF8;
  const std::array<uint8_t, 256> lengths = CharacterLengths();
  DialSymbols symbols;
  // ASCII is the same in every ANSI code page and needs no decoding; a
  // multibyte character is decoded whole, never byte by byte.
  symbols.Reserve(size);
  for (size_t at = 0; at < size;) {
    const auto lead = static_cast<unsigned char>(dial[at]);
    const size_t length =
        utf8 ? Utf8Length(reinterpret_cast<const unsigned char*>(dial + at), size - at)
             : std::min<size_t>(lengths[lead], size - at);
    const wchar_t c = lead < 0x80 ? static_cast<wchar_t>(lead) : Decode(dial + at, length);
    AddDialCharacter(symbols, c, at);
    at += length;
  }
  symbols.SetLength(size);
  return symbols;
}

}  // namespace zelnor
