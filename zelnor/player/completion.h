#pragma once
// How a playback ended, set once by whoever ends it first: the player thread
// when it has played or stopped it, the call that replaces it before it
// began, or a caller whose deadline passed. Its caller may wait on it, and
// on how far the device has got, which the player publishes as it plays.

#include <atomic>
#include <cstdint>
#include <memory>

#include "zelnor/player/player_platform.h"

namespace zelnor {

class Completion {
 public:
  // `finished`: a manual-reset signal, `moved_on`: an auto-reset one; neither
  // set yet.
  Completion(std::unique_ptr<Signal> finished, std::unique_ptr<Signal> moved_on)
      : finished_(std::move(finished)), moved_on_(std::move(moved_on)) {}

  // Records `result` unless another result came first.
  void Finish(int result) {
    if (claimed_.exchange(true)) return;
    result_ = result;
    finished_->Set();  // publishes result_
  }
  // The first result recorded; waits for it if it is still being recorded.
  int Result() {
    finished_->Wait(UINT32_MAX);
    return result_;
  }
  // Set once a result is recorded, for a caller's waits.
  Signal& finished() { return *finished_; }

  // The player thread: the device has taken the first `samples` samples.
  void ReachedSample(uint64_t samples) {
    reached_ = samples;
    moved_on_->Set();
  }
  [[nodiscard]] uint64_t Reached() const { return reached_; }
  // Set each time the device has taken more, for a caller's waits.
  Signal& moved_on() { return *moved_on_; }

 private:
  std::unique_ptr<Signal> finished_;
  std::unique_ptr<Signal> moved_on_;
  std::atomic<bool> claimed_{false};
  std::atomic<int> result_{0};
  std::atomic<uint64_t> reached_{0};
};

}  // namespace zelnor
