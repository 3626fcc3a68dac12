#pragma once
// The DTMF keypad: each symbol sits at one row (low-group tone) and one
// column (high-group tone). Everything else about the symbols is derived
// from this one table.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

namespace zelnor {

struct KeypadKey {
  char symbol;
  uint32_t low_hz;   // the key's row
  uint32_t high_hz;  // the key's column
};

inline constexpr KeypadKey kKeypad[] = {
    {'1', 697, 1209}, {'2', 697, 1336}, {'3', 697, 1477}, {'A', 697, 1633},
    {'4', 770, 1209}, {'5', 770, 1336}, {'6', 770, 1477}, {'B', 770, 1633},
    {'7', 852, 1209}, {'8', 852, 1336}, {'9', 852, 1477}, {'C', 852, 1633},
    {'*', 941, 1209}, {'0', 941, 1336}, {'#', 941, 1477}, {'D', 941, 1633},
};

// The sixteen symbols.
inline constexpr size_t kSymbolCount = std::size(kKeypad);

// A symbol's two frequencies.
struct TonePair {
  uint32_t low_hz;
  uint32_t high_hz;
};

// The two tones of a symbol; nothing for anything that is not one of the
// sixteen upper-case symbols.
constexpr std::optional<TonePair> TonesFor(char symbol) {
  for (const KeypadKey& key : kKeypad) {
    if (key.symbol == symbol) return TonePair{key.low_hz, key.high_hz};
  }
  return std::nullopt;
}

}  // namespace zelnor
