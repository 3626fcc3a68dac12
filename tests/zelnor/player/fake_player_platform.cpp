#include "tests/zelnor/player/fake_player_platform.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <stdexcept>

#include "zelnor.h"
#include "zelnor/player/timing.h"

namespace zelnor_test {
namespace {

// A guard against a test that waits for a state which never comes: it
// fails instead of hanging. No result depends on it.
constexpr auto kStuckTest = std::chrono::seconds(20);

void AwaitOrFail(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                 const std::function<bool()>& ready) {
  if (!changed.wait_for(lock, kStuckTest, ready)) throw std::runtime_error("state never came");
}

}  // namespace

class FakePlatform::FakeSignal final : public zelnor::Signal {
 public:
  FakeSignal(FakePlatform& platform, bool manual_reset)
      : platform_(platform), manual_reset_(manual_reset) {}

  void Set() override {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    SetHeld();
  }
  void SetHeld() {
    set_ = true;
    platform_.changed.notify_all();
  }
  void Reset() override {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    set_ = false;
  }
  bool IsSet() override { return Wait(0); }
  bool Wait(uint32_t ms) override {
    std::unique_lock<std::mutex> lock(platform_.mutex);
    return platform_.TimedWait(lock, ms, [this] { return TakeHeld(); });
  }
  [[nodiscard]] bool IsSetHeld() const { return set_; }
  // With the platform's mutex held: whether it is set, clearing an
  // auto-reset signal.
  bool TakeHeld() {
    if (!set_) return false;
    if (!manual_reset_) set_ = false;
    return true;
  }

 private:
  FakePlatform& platform_;
  bool manual_reset_;
  bool set_ = false;
};

class FakePlatform::FakeDevice final : public zelnor::AudioDevice {
 public:
  FakeDevice(FakePlatform& platform, DeviceLog& log) : platform_(platform), log_(log) {}
  ~FakeDevice() override { Call("close"); }

  uint32_t DeviceCount() override {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    return platform_.device_count;
  }
  int Open(uint32_t, uint32_t, zelnor::Signal& block_done) override {
    std::unique_lock<std::mutex> lock(platform_.mutex);
    log_.block_done = &block_done;
    platform_.DeviceCall(log_, "open", lock);
    return ZELNOR_OK;
  }
  bool Write(const int16_t* samples, size_t count) override {
    std::unique_lock<std::mutex> lock(platform_.mutex);
    platform_.DeviceCall(log_, "write", lock);
    log_.written.emplace_back(samples, samples + count);
    if (platform_.auto_play) {
      log_.heard.insert(log_.heard.end(), samples, samples + count);
      ++log_.blocks_done;
      static_cast<FakeSignal*>(log_.block_done)->SetHeld();
    }
    return true;
  }
  uint64_t BlocksDone() override {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    return log_.blocks_done;
  }
  std::optional<uint32_t> SamplesPlayed() override {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    return static_cast<uint32_t>(log_.heard.size()) - platform_.position_lag;
  }
  void Pause() override { Call("pause"); }
  void Restart() override { Call("restart"); }
  void Reset() override {
    Call("reset");
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    log_.reset_at_ms = platform_.now_ms_;
  }
  bool AllBlocksBack() override {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    return log_.Queued() == 0 ||
           (log_.reset_at_ms &&
            platform_.now_ms_ >= *log_.reset_at_ms + platform_.blocks_back_after_reset_ms);
  }

 private:
  void Call(const char* name) {
    std::unique_lock<std::mutex> lock(platform_.mutex);
    platform_.DeviceCall(log_, name, lock);
  }

  FakePlatform& platform_;
  DeviceLog& log_;
};

namespace {

class FakeLock final : public zelnor::PlayerLock {
 public:
  void lock() override { mutex_.lock(); }
  void unlock() override { mutex_.unlock(); }

 private:
  std::mutex mutex_;
};

class FakeThread final : public zelnor::PlayerThread {
 public:
  explicit FakeThread(std::shared_ptr<std::atomic<bool>> ended) : ended_(std::move(ended)) {}
  bool HasEnded() override { return *ended_; }

 private:
  std::shared_ptr<std::atomic<bool>> ended_;
};

}  // namespace

FakePlatform::~FakePlatform() { EndThreads(); }

template <typename Ready>
bool FakePlatform::TimedWait(std::unique_lock<std::mutex>& lock, uint32_t ms, Ready ready) {
  if (ms == UINT32_MAX) {
    AwaitOrFail(changed, lock, ready);
    return true;
  }
  const uint64_t deadline = now_ms_ + ms;
  if (ready()) return true;
  if (now_ms_ >= deadline) return false;
  bool got = false;
  const auto parked = parked_deadlines_.insert(deadline);
  changed.notify_all();
  AwaitOrFail(changed, lock, [&] {
    got = ready();
    return got || now_ms_ >= deadline;
  });
  parked_deadlines_.erase(parked);
  changed.notify_all();
  return got;
}

void FakePlatform::DeviceCall(DeviceLog& log, const char* call,
                              std::unique_lock<std::mutex>& lock) {
  log.calls.emplace_back(call);
  changed.notify_all();
  if (log.hang_on != call || log.released) return;
  log.hanging = true;
  changed.notify_all();
  AwaitOrFail(changed, lock, [&] { return log.released; });
  log.hanging = false;
}

std::unique_ptr<zelnor::Signal> FakePlatform::NewSignal(bool manual_reset) {
  return std::make_unique<FakeSignal>(*this, manual_reset);
}

std::unique_ptr<zelnor::PlayerLock> FakePlatform::NewLock() { return std::make_unique<FakeLock>(); }

std::unique_ptr<zelnor::AudioDevice> FakePlatform::NewAudioDevice() {
  const std::lock_guard<std::mutex> lock(mutex);
  devices_.push_back(std::make_unique<DeviceLog>());
  for (const auto& [index, call] : hangs_) {
    if (index == devices_.size() - 1) devices_.back()->hang_on = call;
  }
  changed.notify_all();
  return std::make_unique<FakeDevice>(*this, *devices_.back());
}

std::unique_ptr<zelnor::PlayerThread> FakePlatform::StartThread(std::function<void()> body) {
  auto ended = std::make_shared<std::atomic<bool>>(false);
  const std::lock_guard<std::mutex> lock(mutex);
  peak_threads_ = std::max(peak_threads_, ++running_threads_);
  threads_.emplace_back([this, ended, body = std::move(body)]() mutable {
    body();
    body = nullptr;
    const std::lock_guard<std::mutex> hold(mutex);
    --running_threads_;
    *ended = true;
    changed.notify_all();
  });
  return std::make_unique<FakeThread>(ended);
}

zelnor::WaitResult FakePlatform::WaitEither(zelnor::Signal& first, zelnor::Signal& second,
                                            uint32_t ms) {
  auto& first_signal = static_cast<FakeSignal&>(first);
  auto& second_signal = static_cast<FakeSignal&>(second);
  zelnor::WaitResult result = zelnor::WaitResult::kTimedOut;
  std::unique_lock<std::mutex> lock(mutex);
  TimedWait(lock, ms, [&] {
    if (first_signal.TakeHeld()) {
      result = zelnor::WaitResult::kFirst;
    } else if (second_signal.TakeHeld()) {
      result = zelnor::WaitResult::kSecond;
    }
    return result != zelnor::WaitResult::kTimedOut;
  });
  return result;
}

uint64_t FakePlatform::NowMs() {
  const std::lock_guard<std::mutex> lock(mutex);
  return now_ms_;
}

void FakePlatform::HangOn(size_t index, std::string call) {
  const std::lock_guard<std::mutex> lock(mutex);
  hangs_.emplace_back(index, std::move(call));
}

void FakePlatform::Advance(uint64_t ms) {
  std::unique_lock<std::mutex> lock(mutex);
  AdvanceHeld(ms, lock);
}

void FakePlatform::AdvanceHeld(uint64_t ms, std::unique_lock<std::mutex>& lock) {
  now_ms_ += ms;
  changed.notify_all();
  AwaitOrFail(changed, lock,
              [&] { return parked_deadlines_.empty() || *parked_deadlines_.begin() > now_ms_; });
}

void FakePlatform::AwaitTimedWaiters(int count) {
  std::unique_lock<std::mutex> lock(mutex);
  AwaitOrFail(changed, lock, [&] { return static_cast<int>(parked_deadlines_.size()) >= count; });
}

void FakePlatform::AwaitDevice(size_t index, const std::function<bool(const DeviceLog&)>& ready) {
  std::unique_lock<std::mutex> lock(mutex);
  AwaitOrFail(changed, lock, [&] { return index < devices_.size() && ready(*devices_[index]); });
}

void FakePlatform::PlayBlocks(size_t index, size_t blocks) {
  const std::lock_guard<std::mutex> lock(mutex);
  DeviceLog& log = *devices_.at(index);
  for (; blocks > 0 && log.Queued() > 0; --blocks) {
    const std::vector<int16_t>& block = log.written[log.blocks_done++];
    log.heard.insert(log.heard.end(), block.begin(), block.end());
  }
  static_cast<FakeSignal*>(log.block_done)->SetHeld();
}

void FakePlatform::AwaitBlockSeen(size_t index) {
  std::unique_lock<std::mutex> lock(mutex);
  const auto* signal = static_cast<const FakeSignal*>(devices_.at(index)->block_done);
  AwaitOrFail(changed, lock, [&] { return !signal->IsSetHeld(); });
}

void FakePlatform::PlayUntilClosed(size_t index) {
  for (;;) {
    AwaitDevice(index, [](const DeviceLog& log) { return log.Closed() || log.Queued() > 0; });
    if (Device(index).Closed()) return;
    PlayBlocks(index, 1);
  }
}

void FakePlatform::ReleaseHangs() {
  const std::lock_guard<std::mutex> lock(mutex);
  for (const auto& log : devices_) log->released = true;
  for (auto& [index, call] : hangs_) call.clear();
  changed.notify_all();
}

void FakePlatform::EndThreads() {
  ReleaseHangs();
  std::unique_lock<std::mutex> lock(mutex);
  while (running_threads_ > 0) {
    // Idle threads retire once the clock passes their idle wait.
    AwaitOrFail(changed, lock, [&] {
      return running_threads_ == 0 ||
             static_cast<int>(parked_deadlines_.size()) >= running_threads_;
    });
    AdvanceHeld(zelnor::kIdleMs, lock);
  }
  lock.unlock();
  for (std::thread& thread : threads_) thread.join();
  threads_.clear();
}

DeviceLog FakePlatform::Device(size_t index) {
  const std::lock_guard<std::mutex> lock(mutex);
  return *devices_.at(index);
}

size_t FakePlatform::DevicesOpened() {
  const std::lock_guard<std::mutex> lock(mutex);
  return devices_.size();
}

int FakePlatform::PeakThreads() {
  const std::lock_guard<std::mutex> lock(mutex);
  return peak_threads_;
}

}  // namespace zelnor_test
