#pragma once
// A dial as read: its symbols in order, the pauses between them and where
// each symbol stood in the caller's text. Kept to about a byte per symbol,
// since an asynchronous call holds a copy of a dial of any length.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelnor {

class DialSymbols {
 public:
  // Appends a keypad symbol found at byte `offset` of the dial (offsets
  // rising). Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for any other
  // character.
  void AddSymbol(char symbol, uint64_t offset);
  // Appends a pause after whatever has been added so far.
  void AddPause();
  // Room for this many symbols, so a long dial is stored without regrowth.
  void Reserve(size_t symbols) { keys_.reserve(symbols); }
  // The dial's whole length in bytes.
  void SetLength(uint64_t bytes) { length_ = bytes; }

  [[nodiscard]] size_t SymbolCount() const { return keys_.size(); }
  [[nodiscard]] char Symbol(size_t index) const;
  // Byte offset of symbol `index`, given that of the symbol before it (0
  // for the first): the offsets are kept as steps, not one by one.
  [[nodiscard]] uint64_t OffsetAfter(size_t index, uint64_t previous_offset) const;
  // Pauses just before symbol `index`; with index == SymbolCount(), those
  // after the last symbol.
  [[nodiscard]] uint64_t PausesBefore(size_t index) const;
  [[nodiscard]] uint64_t PauseCount() const { return pause_count_; }
  [[nodiscard]] uint64_t Length() const { return length_; }

 private:
  // One byte per symbol: its keypad index, and the step from the previous
  // symbol's offset when it fits in the low four bits.
  std::vector<uint8_t> keys_;
  struct LongStep {
    uint64_t symbol;
    uint64_t step;
  };
  std::vector<LongStep> long_steps_;
  struct PauseRun {
    uint64_t before_symbol;
    uint64_t count;
  };
  std::vector<PauseRun> pauses_;
  uint64_t pause_count_ = 0;
  uint64_t last_offset_ = 0;
  uint64_t length_ = 0;
};

}  // namespace zelnor
