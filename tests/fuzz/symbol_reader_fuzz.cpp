// Any UTF-16 text through the dial reader, checked against a deliberately
// plain restatement of which characters dial and which pause.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/fuzz/fuzz_check.h"
#include "zelnor/signal/symbol_reader.h"

namespace {

// Which symbol a character dials, ',' for a pause, or '\0'.
char Expected(uint32_t c) {
  if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'D') || c == '*' || c == '#' || c == ',') {
    return static_cast<char>(c);
  }
  if (c >= 'a' && c <= 'd') return static_cast<char>(c - 'a' + 'A');
  if (c >= 0xFF10 && c <= 0xFF19) return static_cast<char>('0' + c - 0xFF10);
  if (c >= 0xFF21 && c <= 0xFF24) return static_cast<char>('A' + c - 0xFF21);
  if (c >= 0xFF41 && c <= 0xFF44) return static_cast<char>('A' + c - 0xFF41);
  if (c == 0xFF0A) return '*';
  if (c == 0xFF03) return '#';
  if (c == 0xFF0C) return ',';
  return '\0';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  const zelnor::DialSymbols dial = zelnor::ReadDial(text);

  // Walks the text and the reading together: symbols in order, each at its
  // own offset, the pauses before each where the commas stood.
  size_t symbol = 0;
  uint64_t offset = 0;
  uint64_t pauses = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = Expected(static_cast<uint32_t>(text[i]));
    if (c == ',') {
      ++pauses;
    } else if (c != '\0') {
      Check(symbol < dial.SymbolCount(), "a symbol lost");
      Check(dial.Symbol(symbol) == c, "a symbol misread");
      offset = dial.OffsetAfter(symbol, offset);
      Check(offset == i, "a symbol's offset is wrong");
      Check(dial.PausesBefore(symbol) == pauses, "pauses in the wrong place");
      ++symbol;
      pauses = 0;
    }
  }
  Check(symbol == dial.SymbolCount(), "a symbol made up");
  Check(dial.PausesBefore(symbol) == pauses, "pauses at the end wrong");
  Check(dial.Length() == text.size(), "length wrong");
  return 0;
}
