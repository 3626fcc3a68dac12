#include "zelnor/player/player_win.h"

#include <mmsystem.h>

#include <algorithm>

#include "zelnor.h"
#include "zelnor/input/dial_sequence_win.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

// A thread this long inside one driver call is taken as wedged there; a
// working driver answers within milliseconds.
constexpr uint64_t kWedgedAfterMs = 1000;

// How long past its content a playback may take, and a stop may wait, before
// the device is reported as failing.
constexpr DWORD kDeviceGraceMs = 3000;

// How often a synchronous call not yet begun looks for a wedged player.
constexpr DWORD kWedgeCheckMs = 250;

// A thread that retired as idle has only its exit left to run.
constexpr DWORD kRetiredExitWaitMs = 500;

DWORD PlaybackDeadlineMs(const DtmfSequence& sequence) {
  const uint64_t content_ms = sequence.TotalSamples() * 1000 / sequence.SampleRate();
  return static_cast<DWORD>(std::min<uint64_t>(content_ms + kDeviceGraceMs, INFINITE - 1));
}

bool ThreadRunning(const UniqueKernelHandle& thread) {
  return thread && ::WaitForSingleObject(thread.get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

Player& Player::Instance() {
  static Player* const instance = new Player;
  return *instance;
}

int Player::Play(const char* dial, const ZelnorOptions* options, bool async) {
  // Everything needed from the caller's string is copied here, before any
  // asynchronous return; a null dial or bad options change nothing.
  DtmfSequence sequence = SequenceForDial(dial, options);
  if (sequence.Finished()) return Submit(nullptr, async);
  return Submit(std::make_unique<PlayRequest>(std::move(sequence), options->device), async);
}

int Player::Submit(std::unique_ptr<PlayRequest> request, bool async) {
  DWORD deadline_ms = kDeviceGraceMs;
  std::shared_ptr<Completion> awaited;
  if (request) {
    // Checked here so that even an asynchronous call reports it.
    const UINT devices = ::waveOutGetNumDevs();
    if (request->device_id == WAVE_MAPPER ? devices == 0 : request->device_id >= devices) {
      return ZELNOR_E_NO_DEVICE;
    }
    deadline_ms = PlaybackDeadlineMs(request->sequence);
    awaited = request->completion;
  }

  std::unique_ptr<PlayRequest> replaced;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    replaced = std::move(pending_);
    if (!awaited) awaited = playing_;  // a stop waits for what it stops
    pending_ = std::move(request);
    if (thread_) thread_->Notify();
    if (pending_) {
      try {
        EnsurePlayerThread();
      } catch (...) {
        pending_.reset();
        throw;
      }
    }
  }
  if (replaced) replaced->completion->Finish(ZELNOR_OK);
  replaced.reset();  // freed outside the lock

  if (async || !awaited) return ZELNOR_OK;
  const ULONGLONG deadline = ::GetTickCount64() + deadline_ms;
  for (ULONGLONG now = ::GetTickCount64(); now < deadline; now = ::GetTickCount64()) {
    int result = ZELNOR_E_DEVICE;
    if (awaited->WaitFor(static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kWedgeCheckMs)),
                         result)) {
      return result;
    }
    // Still waiting to begin: the player may have wedged since the call.
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_ && pending_->completion == awaited) {
      try {
        EnsurePlayerThread();
      } catch (const ZelnorError&) {  // both stuck: wait on
      }
    }
  }

  // The device stopped taking samples: make sure this request never plays.
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_ && pending_->completion == awaited) {
      replaced = std::move(pending_);
    } else if (playing_ == awaited && thread_) {
      thread_->Notify();
    }
  }
  return ZELNOR_E_DEVICE;
}

void Player::EnsurePlayerThread() {
  if (thread_ && thread_->InsideDriverForMs() < kWedgedAfterMs) return;
  if (thread_) {
    // Wedged inside the driver: leave it there (it keeps its own module
    // reference) and start afresh, but leave no more than one behind.
    if (ThreadRunning(abandoned_thread_)) {
      throw ZelnorError(ZELNOR_E_DEVICE, "the audio driver does not return");
    }
    thread_->Dismiss();
    abandoned_thread_ = thread_->TakeHandle();
    thread_.reset();
    if (playing_) playing_->Finish(ZELNOR_E_DEVICE);
    playing_.reset();
  }
  if (retired_thread_) {
    ::WaitForSingleObject(retired_thread_.get(), kRetiredExitWaitMs);
    retired_thread_.reset();
  }
  thread_ = PlayerThread::Start(*this);
}

std::unique_ptr<PlayRequest> Player::TakeNext(PlayerThread& thread, bool& dismissed) {
  std::lock_guard<std::mutex> lock(mutex_);
  dismissed = thread.Dismissed();
  if (dismissed) return nullptr;
  thread.ClearNews();
  std::unique_ptr<PlayRequest> request = std::move(pending_);
  if (request) playing_ = request->completion;
  return request;
}

void Player::Played(const std::shared_ptr<Completion>& completion) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (playing_ == completion) playing_.reset();
}

bool Player::Retire(PlayerThread& thread) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (thread.Dismissed()) return true;
  if (pending_) return false;
  retired_thread_ = thread.TakeHandle();
  thread_.reset();
  return true;
}

void Player::ReleaseAtUnload() {
  std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
  if (!lock.owns_lock()) return;
  pending_.reset();
  playing_.reset();
  thread_.reset();
  abandoned_thread_.reset();
  retired_thread_.reset();
}

}  // namespace zelnor
