// Any bytes through the symbol reader with the rules of code page 932,
// checked against a deliberately plain restatement of how the text is
// split into characters.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zelnor/keypad.h"
#include "zelnor/symbol_reader.h"

namespace {

bool IsLead932(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Which symbol a single byte dials, or '\0'.
char AsciiSymbol(uint8_t b) {
  if (b >= 'a' && b <= 'd') return static_cast<char>(b - 'a' + 'A');
  return zelnor::IsDtmfSymbol(static_cast<char>(b)) ? static_cast<char>(b) : '\0';
}

// Which symbol a double-byte character dials, or '\0'.
char FullWidthSymbol(uint8_t lead, uint8_t trail) {
  if (lead == 0x82 && trail >= 0x4F && trail <= 0x58) return static_cast<char>('0' + trail - 0x4F);
  if (lead == 0x82 && trail >= 0x60 && trail <= 0x63) return static_cast<char>('A' + trail - 0x60);
  if (lead == 0x82 && trail >= 0x81 && trail <= 0x84) return static_cast<char>('A' + trail - 0x81);
  if (lead == 0x81 && trail == 0x96) return '*';
  if (lead == 0x81 && trail == 0x94) return '#';
  return '\0';
}

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string symbols = zelnor::ReadSymbols(text, zelnor::CodePage932Rules());

  Check(symbols.size() <= size, "more symbols than bytes");
  for (char symbol : symbols) Check(zelnor::IsDtmfSymbol(symbol), "a symbol outside the sixteen");

  std::string expected;
  for (size_t i = 0; i < size && data[i] != 0; ++i) {
    if (IsLead932(data[i])) {
      if (i + 1 >= size || data[i + 1] == 0) break;
      if (const char s = FullWidthSymbol(data[i], data[i + 1])) expected.push_back(s);
      ++i;  // the trail byte is part of this character, whatever its value
    } else if (const char s = AsciiSymbol(data[i])) {
      expected.push_back(s);
    }
  }
  Check(symbols == expected, "differs from the reference reading");

  // The C-string entry point reads the same text up to the first NUL.
  const std::string owned(text);
  Check(zelnor::ReadSymbols(owned.c_str(), zelnor::CodePage932Rules()) == symbols, "C-string reading differs");
  return 0;
}
