// Any UTF-16 text through the symbol reader, checked against a deliberately
// plain restatement of which characters dial.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "zelnor/signal/keypad.h"
#include "zelnor/signal/symbol_reader.h"

namespace {

// Which symbol a character dials, or '\0'.
char ExpectedSymbol(uint32_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#') {
    return static_cast<char>(c);
  }
  if (c >= 'a' && c <= 'd') return static_cast<char>(c - 'a' + 'A');
  if (c >= 0xFF10 && c <= 0xFF19) return static_cast<char>('0' + c - 0xFF10);
  if (c >= 0xFF21 && c <= 0xFF24) return static_cast<char>('A' + c - 0xFF21);
  if (c >= 0xFF41 && c <= 0xFF44) return static_cast<char>('A' + c - 0xFF41);
  if (c == 0xFF0A) return '*';
  if (c == 0xFF03) return '#';
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
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  const std::string symbols = zelnor::ReadSymbols(text);

  for (char symbol : symbols) Check(zelnor::IsDtmfSymbol(symbol), "a symbol outside the sixteen");
  std::string expected;
  for (wchar_t c : text) {
    if (const char s = ExpectedSymbol(static_cast<uint32_t>(c))) expected.push_back(s);
  }
  Check(symbols == expected, "differs from the reference reading");
  return 0;
}
