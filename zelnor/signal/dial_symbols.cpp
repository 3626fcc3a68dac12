#include "zelnor/signal/dial_symbols.h"

#include <algorithm>
#include <array>

#include "zelnor.h"
#include "zelnor/signal/keypad.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

constexpr unsigned kStepBits = 4;
constexpr uint8_t kStepMask = (1u << kStepBits) - 1;
// A step this long or longer is kept in long_steps_.
constexpr uint8_t kLongStep = kStepMask;
constexpr uint8_t kNoKey = 0xFF;

// Each character's place in kKeypad, or kNoKey: a symbol is looked up once
// per symbol of a dial that may be millions long.
constexpr std::array<uint8_t, 256> MakeKeyIndices() {
  std::array<uint8_t, 256> indices{};
  for (uint8_t& index : indices) index = kNoKey;
  for (size_t i = 0; i < kSymbolCount; ++i) {
    indices[static_cast<unsigned char>(kKeypad[i].symbol)] = static_cast<uint8_t>(i);
  }
  return indices;
}

constexpr std::array<uint8_t, 256> kKeyIndices = MakeKeyIndices();

}  // namespace

void DialSymbols::AddSymbol(char symbol, uint64_t offset) {
  const uint8_t key = kKeyIndices[static_cast<unsigned char>(symbol)];
  if (key == kNoKey || offset < last_offset_) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "not a keypad symbol");
  }
  const uint64_t step = offset - last_offset_;
  if (step >= kLongStep) long_steps_.push_back({keys_.size(), step});
  keys_.push_back(static_cast<uint8_t>(key << kStepBits | std::min<uint64_t>(step, kLongStep)));
  last_offset_ = offset;
}

void DialSymbols::AddPause() {
  if (pauses_.empty() || pauses_.back().before_symbol != keys_.size()) {
    pauses_.push_back({keys_.size(), 0});
  }
  ++pauses_.back().count;
  ++pause_count_;
}

char DialSymbols::Symbol(size_t index) const { return kKeypad[keys_[index] >> kStepBits].symbol; }

uint64_t DialSymbols::OffsetAfter(size_t index, uint64_t previous_offset) const {
  const uint8_t step = keys_[index] & kStepMask;
  if (step != kLongStep) return previous_offset + step;
  const auto found = std::lower_bound(
      long_steps_.begin(), long_steps_.end(), index,
      [](const LongStep& entry, uint64_t symbol) { return entry.symbol < symbol; });
  return previous_offset + found->step;
}

uint64_t DialSymbols::PausesBefore(size_t index) const {
  const auto found = std::lower_bound(
      pauses_.begin(), pauses_.end(), index,
      [](const PauseRun& run, uint64_t symbol) { return run.before_symbol < symbol; });
  return found != pauses_.end() && found->before_symbol == index ? found->count : 0;
}

}  // namespace zelnor
