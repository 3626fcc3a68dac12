#pragma once
// Tells a synchronous PlayDTMFEx caller, on its own thread, each symbol as
// the device reaches it, and the end of the dial. The player thread only
// publishes how far the device has got, so a callback that is slow, blocks
// or throws can neither delay a sample nor change a result.

#include <cstdint>
#include <optional>
#include <utility>

#include "zelnor.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

struct ProgressCallback {
  ZelnorProgressFunction function = nullptr;
  void* context = nullptr;
};

class ProgressReport {
 public:
  // `timeline`: a sequence of the same dial and options as the one played,
  // read only for where its symbols start.
  ProgressReport(DtmfSequence timeline, ProgressCallback callback)
      : timeline_(std::move(timeline)), callback_(callback), next_(timeline_.FirstSymbolStart()) {}
  ProgressReport(const ProgressReport&) = delete;
  ProgressReport& operator=(const ProgressReport&) = delete;

  // Reports, in order, every symbol not yet reported that starts before
  // `sample` (counted from the sequence's start).
  void HeardUpTo(uint64_t sample) {
    while (next_ && next_->sample < sample) {
      const SymbolStart start = *next_;
      next_ = timeline_.SymbolStartAfter(start);
      Report(ZelnorProgress{start.index, timeline_.SymbolCount(), start.dial_offset, start.symbol});
    }
  }
  // Once the last sample has sounded.
  void End() {
    Report(ZelnorProgress{timeline_.SymbolCount(), timeline_.SymbolCount(), timeline_.DialLength(),
                          0});
  }

 private:
  void Report(const ZelnorProgress& progress) {
    if (!callback_.function) return;
    try {
      callback_.function(callback_.context, &progress);
    } catch (...) {
      // A C callback must not throw; where the exception can be caught at all
      // (x64), the dial's result stands and the callback is not called again.
      callback_.function = nullptr;
    }
  }

  DtmfSequence timeline_;
  ProgressCallback callback_;
  std::optional<SymbolStart> next_;
};

}  // namespace zelnor
