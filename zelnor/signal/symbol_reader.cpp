#include "zelnor/signal/symbol_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/full_width.h"
#include "zelnor/signal/keypad.h"

namespace zelnor {
namespace {

// The symbol each ASCII character dials, or '\0'.
constexpr std::array<char, 128> MakeAsciiSymbols() {
  std::array<char, 128> table{};
  for (const KeypadKey& key : kKeypad) {
    table[static_cast<unsigned char>(key.symbol)] = key.symbol;
    if (key.symbol >= 'A' && key.symbol <= 'Z') {
      table[static_cast<unsigned char>(key.symbol - 'A' + 'a')] = key.symbol;
    }
  }
  return table;
}

constexpr std::array<char, 128> kAsciiSymbols = MakeAsciiSymbols();

char SymbolOf(wchar_t c) {
  const auto code = static_cast<uint32_t>(FoldFullWidthForm(c));
  return code < kAsciiSymbols.size() ? kAsciiSymbols[code] : '\0';
}

bool IsSymbol(wchar_t c) { return SymbolOf(c) != '\0'; }

}  // namespace

std::string ReadSymbols(std::wstring_view text) {
  // Counted first so that a long text's symbols are stored in a buffer of
  // exactly their size, rather than one grown by doubling.
  std::string symbols;
  symbols.reserve(static_cast<size_t>(std::count_if(text.begin(), text.end(), IsSymbol)));
  for (const wchar_t c : text) {
    if (const char symbol = SymbolOf(c)) symbols.push_back(symbol);
  }
  return symbols;
}

}  // namespace zelnor
