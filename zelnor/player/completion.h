#pragma once
// How a playback ended, set once by whoever ends it first: the player thread
// when it has played or stopped it, the call that replaces it before it
// began, or a caller whose deadline passed. Its caller may wait on it.

#include <atomic>
#include <memory>

#include "zelnor/player/player_platform.h"

namespace zelnor {

class Completion {
 public:
  // `finished`: a manual-reset signal, not yet set.
  explicit Completion(std::unique_ptr<Signal> finished) : finished_(std::move(finished)) {}

  // Records `result` unless another result came first.
  void Finish(int result) {
    if (claimed_.exchange(true)) return;
    result_ = result;
    finished_->Set();  // publishes result_
  }
  // True if it finished within `ms`.
  bool Wait(uint32_t ms) { return finished_->Wait(ms); }
  // The first result recorded; waits for it if it is still being recorded.
  int Result() {
    finished_->Wait(UINT32_MAX);
    return result_;
  }

 private:
  std::unique_ptr<Signal> finished_;
  std::atomic<bool> claimed_{false};
  std::atomic<int> result_{0};
};

}  // namespace zelnor
