#include "zelnor/player/player.h"

#include <algorithm>
#include <mutex>
#include <new>

#include "zelnor.h"
#include "zelnor/player/device_stream.h"
#include "zelnor/player/timing.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

struct Player::Request {
  Playback playback;
  std::shared_ptr<Completion> completion;
};

struct Player::Worker {
  explicit Worker(PlayerPlatform& platform)
      : mailbox_changed(platform.NewSignal(true)),
        block_done(platform.NewSignal(false)),
        driver(platform) {}

  // Set when the mailbox changes or the player dismisses the thread: stop
  // what is playing and look again. Cleared as the mailbox is read.
  std::unique_ptr<Signal> mailbox_changed;
  std::unique_ptr<Signal> block_done;
  DriverWatch driver;
  // The rest is guarded by the Player's lock.
  std::unique_ptr<PlayerThread> thread;  // null while it starts
  bool dismissed = false;
  // The result of the stream it is resetting and closing the device after;
  // kStreaming before.
  static constexpr int kStreaming = -1;
  std::atomic<int> stream_result{kStreaming};
};

namespace {

using Hold = std::lock_guard<PlayerLock>;

// Whether `worker`'s thread may still run this library's code.
template <typename WorkerPointer>
bool Running(const WorkerPointer& worker) {
  return worker && !(worker->thread && worker->thread->HasEnded());
}

uint64_t LengthMs(const DtmfSequence& sequence) {
  return sequence.TotalSamples() * 1000 / sequence.SampleRate();
}

bool DeviceMissing(uint32_t device_id, uint32_t device_count) {
  return device_id == ZELNOR_DEFAULT_DEVICE ? device_count == 0 : device_id >= device_count;
}

}  // namespace

Player::Player(PlayerPlatform& platform) : platform_(platform), lock_(platform.NewLock()) {}

Player::~Player() = default;

int Player::Play(std::optional<Playback> playback, bool async, ProgressReport* progress) {
  if (playback && async && KnownMissing(playback->device_id)) return ZELNOR_E_NO_DEVICE;
  const bool stop_only = !playback;
  uint64_t wait_ms = kDeviceGraceMs;
  std::unique_ptr<Request> request;
  if (playback) {
    wait_ms += LengthMs(playback->sequence);
    request = std::make_unique<Request>(Request{
        std::move(*playback),
        std::make_shared<Completion>(platform_.NewSignal(true), platform_.NewSignal(false))});
  }
  std::shared_ptr<Completion> awaited = request ? request->completion : nullptr;

  std::unique_ptr<Request> replaced;
  bool needs_worker = false;
  {
    const Hold hold(*lock_);
    replaced = std::move(pending_);
    if (!awaited) awaited = playing_;  // a stop waits for what it stops
    pending_ = std::move(request);
    if (worker_) worker_->mailbox_changed->Set();
    needs_worker = pending_ != nullptr;
  }
  if (replaced) replaced->completion->Finish(ZELNOR_E_STOPPED);
  replaced.reset();  // the symbols' copy freed outside the lock
  if (needs_worker && !EnsureWorker()) return ZELNOR_E_DEVICE;
  if (async || !awaited) return ZELNOR_OK;

  if (stop_only) progress = nullptr;
  const uint64_t deadline = platform_.NowMs() + wait_ms;
  const bool in_time = AwaitResult(*awaited, deadline, stop_only, progress);
  if (!in_time) {
    // The device stopped taking samples, unless the playback ended just now.
    awaited->Finish(ZELNOR_E_DEVICE);
    {
      const Hold hold(*lock_);
      if (pending_ && pending_->completion == awaited) {
        replaced = std::move(pending_);
      } else if (playing_ == awaited && worker_) {
        worker_->mailbox_changed->Set();
      }
    }
    replaced.reset();
  }
  const int result = awaited->Result();
  if (progress) {
    // The last calls, made before this call returns.
    progress->HeardUpTo(awaited->Reached());
    if (result == ZELNOR_OK) progress->End();
  }
  if (!stop_only) return result;
  return in_time || result != ZELNOR_E_DEVICE ? ZELNOR_OK : result;
}

bool Player::AwaitResult(Completion& awaited, uint64_t deadline, bool stop_only,
                         ProgressReport* progress) {
  for (uint64_t now = platform_.NowMs(); now < deadline; now = platform_.NowMs()) {
    const auto ms = static_cast<uint32_t>(std::min<uint64_t>(deadline - now, kWedgeCheckMs));
    if (stop_only) {
      // The stopped playback's own caller takes its progress signal.
      if (awaited.finished().Wait(ms)) return true;
      continue;
    }
    switch (platform_.WaitEither(awaited.finished(), awaited.moved_on(), ms)) {
      case WaitResult::kFirst:
        return true;
      case WaitResult::kSecond:
        if (progress) progress->HeardUpTo(awaited.Reached());
        break;
      case WaitResult::kTimedOut:
        EnsureWorker();  // the player may have wedged since the call
        break;
    }
  }
  return awaited.finished().IsSet();
}

bool Player::EnsureWorker() {
  {
    const Hold hold(*lock_);
    const bool served = worker_ && worker_->driver.InsideForMs() < kWedgedAfterMs;
    if (!pending_ || served) return true;
  }
  std::shared_ptr<Worker> fresh;
  std::unique_ptr<Request> dropped;
  try {
    fresh = std::make_shared<Worker>(platform_);
  } catch (...) {
    FailPending(ZELNOR_E_SYSTEM);
    throw;
  }
  {
    const Hold hold(*lock_);
    const bool served = worker_ && worker_->driver.InsideForMs() < kWedgedAfterMs;
    if (!pending_ || served) return true;
    if (RoomForAnotherThread()) {
      if (worker_) AbandonWedgedWorker();
      worker_ = fresh;
    } else {
      dropped = std::move(pending_);
    }
  }
  if (dropped) {
    dropped->completion->Finish(ZELNOR_E_DEVICE);
    return false;  // the symbols' copy freed outside the lock
  }
  std::unique_ptr<PlayerThread> thread;
  try {
    thread = platform_.StartThread([this, fresh] { RunWorker(fresh); });
  } catch (...) {
    {
      const Hold hold(*lock_);
      if (worker_ == fresh) worker_.reset();
    }
    FailPending(ZELNOR_E_SYSTEM);
    throw;
  }
  const Hold hold(*lock_);
  fresh->thread = std::move(thread);
  return true;
}

bool Player::RoomForAnotherThread() const {
  const int running = int{Running(abandoned_)} + int{Running(retired_)} + int{worker_ != nullptr};
  return running < 2;
}

void Player::AbandonWedgedWorker() {
  // It keeps the library loaded and ends on its own if the driver ever
  // lets it go.
  worker_->dismissed = true;
  worker_->mailbox_changed->Set();
  // Stuck in the reset or close after its stream ended, its playback ended
  // the way the stream did.
  const int ended = worker_->stream_result;
  abandoned_ = std::move(worker_);
  if (playing_) playing_->Finish(ended == Worker::kStreaming ? ZELNOR_E_DEVICE : ended);
  playing_.reset();
}

void Player::FailPending(int result) {
  std::unique_ptr<Request> failed;
  {
    const Hold hold(*lock_);
    failed = std::move(pending_);
  }
  if (failed) failed->completion->Finish(result);
}

void Player::RunWorker(const std::shared_ptr<Worker>& self) {
  for (;;) {
    bool dismissed = false;
    std::unique_ptr<Request> request;
    {
      const Hold hold(*lock_);
      dismissed = self->dismissed;
      if (!dismissed) request = TakeRequest(*self);
    }
    if (dismissed) return;
    if (!request) {
      if (self->mailbox_changed->Wait(kIdleMs) || !RetireIfIdle(self)) continue;
      return;
    }
    const std::shared_ptr<Completion> completion = request->completion;
    int result = ZELNOR_E_SYSTEM;
    try {
      result = PlayOnDevice(*self, *request);
    } catch (const ZelnorError& error) {
      result = error.code();
    } catch (const std::bad_alloc&) {
      result = ZELNOR_E_OUT_OF_MEMORY;
    } catch (...) {
    }
    request.reset();  // the symbols' copy goes before anyone hears it ended
    completion->Finish(result);
    const Hold hold(*lock_);
    if (playing_ == completion) playing_.reset();
  }
}

std::unique_ptr<Player::Request> Player::TakeRequest(Worker& self) {
  self.mailbox_changed->Reset();
  std::unique_ptr<Request> request = std::move(pending_);
  if (request) playing_ = request->completion;
  return request;
}

bool Player::RetireIfIdle(const std::shared_ptr<Worker>& self) {
  const Hold hold(*lock_);
  if (self->dismissed) return true;
  // Beside a thread still stuck in the driver (or one that retired before
  // and is still exiting), a retired one still exiting would leave no room
  // for the next call's thread.
  if (pending_ || Running(abandoned_) || Running(retired_)) return false;
  worker_.reset();
  retired_ = self;
  return true;
}

int Player::PlayOnDevice(Worker& self, Request& request) {
  Signal& stop = *self.mailbox_changed;
  self.stream_result = Worker::kStreaming;
  if (stop.IsSet()) return ZELNOR_E_STOPPED;
  std::unique_ptr<AudioDevice> device = platform_.NewAudioDevice();
  uint32_t device_count = 0;
  {
    const DriverWatch::Call call(self.driver);
    device_count = device->DeviceCount();
  }
  device_count_ = device_count;
  counted_at_ms_ = platform_.NowMs();
  counted_ = true;
  const Playback& playback = request.playback;
  if (DeviceMissing(playback.device_id, device_count)) return ZELNOR_E_NO_DEVICE;

  int result = ZELNOR_OK;
  {
    const DriverWatch::Call call(self.driver);
    result = device->Open(playback.device_id, playback.sequence.SampleRate(), *self.block_done);
  }
  if (result != ZELNOR_OK) return result;
  DeviceStream stream(platform_, *device, self.driver, stop, *self.block_done);
  result = stream.Play(request.playback.sequence, *request.completion);
  // A device that failed may never come back from the reset: its caller
  // hears of the failure now. Other playbacks end once the device is reset
  // and closed, so that nothing more is heard after a call returns.
  if (result != ZELNOR_OK && result != ZELNOR_E_STOPPED) request.completion->Finish(result);
  self.stream_result = result;
  stream.Reset();
  const DriverWatch::Call call(self.driver);
  device.reset();  // closing may hang as well
  return result;
}

bool Player::KnownMissing(uint32_t device_id) const {
  return counted_ && platform_.NowMs() - counted_at_ms_ < kDeviceCountTrustedMs &&
         DeviceMissing(device_id, device_count_);
}

}  // namespace zelnor
