#pragma once
// One playback: a worker thread that opens a waveOut device and streams a
// sequence into it. The worker holds a reference to this module while it
// runs, so unloading the DLL mid-playback only takes effect once it ends.
//
// A playback that replaces another starts at once and lets its worker wait
// for the old one to wind down, so the caller never waits for a device to
// reset and close.

#include <windows.h>

#include <atomic>
#include <memory>

#include "common/handles_win.h"
#include "zelnor/dtmf_sequence.h"

namespace zelnor {

class Playback {
 public:
  // `predecessor` (may be null) must already have been asked to stop; the
  // new worker touches the device only after it has ended. Throws
  // ZelnorError when the worker cannot be started.
  // `device` is a waveOut id or WAVE_MAPPER.
  static std::shared_ptr<Playback> Start(DtmfSequence sequence, UINT device,
                                         std::shared_ptr<Playback> predecessor);

  Playback(DtmfSequence sequence, UINT device, std::shared_ptr<Playback> predecessor);
  Playback(const Playback&) = delete;
  Playback& operator=(const Playback&) = delete;

  // Only signals; Wait() to know it has ended.
  void RequestStop();
  // Waits for the worker to end and returns the playback's result.
  int Wait();

 private:
  struct ThreadStart;
  static DWORD WINAPI ThreadMain(void* start);
  void StartWorker(const std::shared_ptr<Playback>& self);
  void Run() noexcept;
  int OpenAndStream();

  DtmfSequence sequence_;
  UINT device_;
  std::shared_ptr<Playback> predecessor_;  // the worker drops it once it has ended
  UniqueKernelHandle block_done_;
  UniqueKernelHandle stop_;
  UniqueKernelHandle thread_;
  std::atomic<int> result_{0};
};

}  // namespace zelnor
