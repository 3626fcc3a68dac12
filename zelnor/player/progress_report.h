#pragma once
// Tells a PlayDTMFEx caller each symbol as the device reaches it, and the
// end of the dial.

#include <cstdint>
#include <optional>

#include "zelnor.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

struct ProgressCallback {
  ZelnorProgressFunction function = nullptr;
  void* context = nullptr;
};

class ProgressReport {
 public:
  ProgressReport(const DtmfSequence& sequence, ProgressCallback callback)
      : sequence_(sequence), callback_(callback), next_(sequence.FirstSymbolStart()) {}

  // Reports, in order, every symbol not yet reported that starts before
  // `sample` (counted from the sequence's start).
  void HeardUpTo(uint64_t sample) {
    if (!callback_.function) return;
    while (next_ && next_->sample < sample) {
      Report(
          ZelnorProgress{next_->index, sequence_.SymbolCount(), next_->dial_offset, next_->symbol});
      next_ = sequence_.SymbolStartAfter(*next_);
    }
  }
  // Once the last sample has sounded.
  void End() {
    Report(ZelnorProgress{sequence_.SymbolCount(), sequence_.SymbolCount(), sequence_.DialLength(),
                          0});
  }

 private:
  void Report(const ZelnorProgress& progress) const {
    if (callback_.function) callback_.function(callback_.context, &progress);
  }

  const DtmfSequence& sequence_;
  ProgressCallback callback_;
  std::optional<SymbolStart> next_;
};

}  // namespace zelnor
