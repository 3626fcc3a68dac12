#pragma once
// The DTMF keypad: each symbol sits at one row (low-group tone) and one
// column (high-group tone).

#include <array>
#include <cstdint>
#include <optional>

namespace zelnor {

inline constexpr std::array<uint32_t, 4> kLowGroupHz = {697, 770, 852, 941};
inline constexpr std::array<uint32_t, 4> kHighGroupHz = {1209, 1336, 1477, 1633};

inline constexpr char kKeypad[4][4] = {
    {'1', '2', '3', 'A'},
    {'4', '5', '6', 'B'},
    {'7', '8', '9', 'C'},
    {'*', '0', '#', 'D'},
};

// The sixteen symbols in a fixed order, handy for tests and tables.
inline constexpr char kAllSymbols[] = "123A456B789C*0#D";

struct TonePair {
  uint32_t low_hz;
  uint32_t high_hz;
};

// The two tones of a symbol; nothing for anything that is not one of the
// sixteen upper-case symbols.
constexpr std::optional<TonePair> TonesFor(char symbol) {
  for (int row = 0; row < 4; ++row) {
    for (int column = 0; column < 4; ++column) {
      if (kKeypad[row][column] == symbol) return TonePair{kLowGroupHz[row], kHighGroupHz[column]};
    }
  }
  return std::nullopt;
}

constexpr bool IsDtmfSymbol(char c) { return c != '\0' && TonesFor(c).has_value(); }

}  // namespace zelnor
