#pragma once
// What a call hands the player thread: the prepared sequence, the device to
// play it on, and the completion its caller may wait on.

#include <windows.h>

#include <mmsystem.h>

#include <atomic>
#include <memory>

#include "common/handles_win.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// Set once, by whoever ends a request first: the player thread when it has
// played or stopped it, the call that replaces it before it began, or the
// player thread early when the device fails (cleaning up a failed device may
// never return).
class Completion {
 public:
  Completion();  // throws ZelnorError
  Completion(const Completion&) = delete;
  Completion& operator=(const Completion&) = delete;

  void Finish(int result) noexcept;
  // False if it did not finish within timeout_ms; otherwise its result.
  bool WaitFor(DWORD timeout_ms, int& result) const noexcept;

 private:
  UniqueKernelHandle finished_;
  std::atomic<bool> claimed_{false};
  int result_ = 0;
};

struct PlayRequest {
  PlayRequest(DtmfSequence prepared, UINT device)
      : sequence(std::move(prepared)), device_id(device) {}

  DtmfSequence sequence;
  UINT device_id = WAVE_MAPPER;
  std::shared_ptr<Completion> completion = std::make_shared<Completion>();
};

}  // namespace zelnor
