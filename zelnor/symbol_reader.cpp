#include "zelnor/symbol_reader.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace zelnor {
namespace {

// Single-byte characters that dial, indexed by byte; '\0' for the rest.
constexpr std::array<char, 256> MakeSingleByteSymbols() {
  std::array<char, 256> table{};
  for (char c = '0'; c <= '9'; ++c) table[static_cast<uint8_t>(c)] = c;
  for (int i = 0; i < 4; ++i) {
    table[static_cast<uint8_t>('A' + i)] = static_cast<char>('A' + i);
    table[static_cast<uint8_t>('a' + i)] = static_cast<char>('A' + i);
  }
  table[static_cast<uint8_t>('*')] = '*';
  table[static_cast<uint8_t>('#')] = '#';
  return table;
}

constexpr std::array<char, 256> kSingleByteSymbols = MakeSingleByteSymbols();

// Calls emit(symbol) for each symbol of the text, in order.
template <typename Emit>
void ForEachSymbol(std::string_view text, const CodePageRules& rules, Emit emit) {
  const size_t size = text.size();
  for (size_t i = 0; i < size; ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    if (byte == 0) break;
    if (rules.IsLeadByte(byte)) {
      // A lead byte with nothing after it ends the text; its partner is
      // consumed here so it is never looked at as a character of its own.
      if (i + 1 == size || text[i + 1] == '\0') break;
      const char symbol = rules.DoubleByteSymbol(byte, static_cast<uint8_t>(text[i + 1]));
      if (symbol != '\0') emit(symbol);
      ++i;
      continue;
    }
    const char symbol = kSingleByteSymbols[byte];
    if (symbol != '\0') emit(symbol);
  }
}

}  // namespace

std::string ReadSymbols(std::string_view text, const CodePageRules& rules) {
  // Counted first so a long string is copied once into a buffer of exactly
  // its size, rather than grown by doubling.
  size_t count = 0;
  ForEachSymbol(text, rules, [&count](char) { ++count; });
  std::string symbols;
  symbols.reserve(count);
  ForEachSymbol(text, rules, [&symbols](char symbol) { symbols.push_back(symbol); });
  return symbols;
}

std::string ReadSymbols(const char* text, const CodePageRules& rules) {
  return ReadSymbols(std::string_view(text, std::strlen(text)), rules);
}

}  // namespace zelnor
