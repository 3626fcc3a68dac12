#include "zelnor/signal/symbol_reader.h"

#include <array>
#include <cstdint>

#include "common/full_width.h"
#include "zelnor/signal/keypad.h"

namespace zelnor {
namespace {

constexpr char kPause = ',';

// What each ASCII character does, or '\0'.
constexpr std::array<char, 128> MakeAsciiMeanings() {
  std::array<char, 128> table{};
  for (const KeypadKey& key : kKeypad) {
    table[static_cast<unsigned char>(key.symbol)] = key.symbol;
    if (key.symbol >= 'A' && key.symbol <= 'Z') {
      table[static_cast<unsigned char>(key.symbol - 'A' + 'a')] = key.symbol;
    }
  }
  table[static_cast<unsigned char>(kPause)] = kPause;
  return table;
}

constexpr std::array<char, 128> kAsciiMeanings = MakeAsciiMeanings();

// The symbol a character dials, ',' for a pause, or '\0' for nothing.
char DialCharacterOf(wchar_t c) {
  const auto code = static_cast<uint32_t>(FoldFullWidthForm(c));
  return code < kAsciiMeanings.size() ? kAsciiMeanings[code] : '\0';
}

}  // namespace

void AddDialCharacter(DialSymbols& dial, wchar_t c, uint64_t offset) {
  const char meaning = DialCharacterOf(c);
  if (meaning == kPause) {
    dial.AddPause();
  } else if (meaning != '\0') {
    dial.AddSymbol(meaning, offset);
  }
}

DialSymbols ReadDial(std::wstring_view text) {
  DialSymbols dial;
  dial.Reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) AddDialCharacter(dial, text[i], i);
  dial.SetLength(text.size());
  return dial;
}

}  // namespace zelnor
