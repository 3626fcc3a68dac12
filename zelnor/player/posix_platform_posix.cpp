#include "zelnor/player/posix_platform_posix.h"

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "zelnor.h"
#include "zelnor/player/pulse_output_device_posix.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

struct PosixSignals {
  std::mutex mutex;
  std::condition_variable changed;
};

namespace {

using Hold = std::unique_lock<std::mutex>;

class PosixSignal final : public Signal {
 public:
  PosixSignal(PosixSignals& signals, bool manual_reset)
      : signals_(signals), manual_reset_(manual_reset) {}

  void Set() override {
    {
      const Hold hold(signals_.mutex);
      set_ = true;
    }
    signals_.changed.notify_all();
  }
  void Reset() override {
    const Hold hold(signals_.mutex);
    set_ = false;
  }
  bool IsSet() override {
    const Hold hold(signals_.mutex);
    return set_;
  }
  bool Wait(uint32_t ms) override {
    Hold hold(signals_.mutex);
    if (!signals_.changed.wait_for(hold, std::chrono::milliseconds(ms), [this] { return set_; })) {
      return false;
    }
    TakeLocked();
    return true;
  }

  // With the signals' lock held: whether set, taking an auto-reset one.
  bool TakeLocked() {
    if (!set_) return false;
    if (!manual_reset_) set_ = false;
    return true;
  }

 private:
  PosixSignals& signals_;
  const bool manual_reset_;
  bool set_ = false;  // guarded by the signals' lock
};

class PosixLock final : public PlayerLock {
 public:
  void lock() override { mutex_.lock(); }
  void unlock() override { mutex_.unlock(); }

 private:
  std::mutex mutex_;
};

class PosixThread final : public PlayerThread {
 public:
  explicit PosixThread(std::shared_ptr<std::atomic<bool>> ended) : ended_(std::move(ended)) {}
  bool HasEnded() override { return *ended_; }

 private:
  std::shared_ptr<std::atomic<bool>> ended_;
};

// A player thread runs this library's code until it ends, and a thread
// cannot end after its code is unmapped: once one has started, dlclose
// leaves the library loaded for the rest of the process.
void KeepLibraryLoaded() {
  static const bool kept = [] {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&KeepLibraryLoaded), &info) == 0) return false;
    return ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE) != nullptr;
  }();
  static_cast<void>(kept);  // linked into a program, there is nothing to keep
}

}  // namespace

PosixPlatform::PosixPlatform() : signals_(std::make_unique<PosixSignals>()) {}

PosixPlatform::~PosixPlatform() = default;

std::unique_ptr<Signal> PosixPlatform::NewSignal(bool manual_reset) {
  return std::make_unique<PosixSignal>(*signals_, manual_reset);
}

std::unique_ptr<PlayerLock> PosixPlatform::NewLock() { return std::make_unique<PosixLock>(); }

std::unique_ptr<AudioDevice> PosixPlatform::NewAudioDevice() {
  return std::make_unique<PulseOutputDevice>();
}

std::unique_ptr<PlayerThread> PosixPlatform::StartThread(std::function<void()> body) {
  KeepLibraryLoaded();
  auto ended = std::make_shared<std::atomic<bool>>(false);
  auto started = std::make_unique<PosixThread>(ended);
  try {
    std::thread([body = std::move(body), ended]() mutable {
      body();
      body = nullptr;  // the body's state goes before the thread counts as ended
      *ended = true;
    }).detach();
  } catch (const std::system_error&) {
    throw ZelnorError(ZELNOR_E_SYSTEM, "std::thread failed");
  }
  return started;
}

WaitResult PosixPlatform::WaitEither(Signal& first, Signal& second, uint32_t ms) {
  // Every Signal of this platform is a PosixSignal.
  auto& one = static_cast<PosixSignal&>(first);
  auto& other = static_cast<PosixSignal&>(second);
  WaitResult result = WaitResult::kTimedOut;
  Hold hold(signals_->mutex);
  signals_->changed.wait_for(hold, std::chrono::milliseconds(ms), [&] {
    if (one.TakeLocked()) {
      result = WaitResult::kFirst;
    } else if (other.TakeLocked()) {
      result = WaitResult::kSecond;
    }
    return result != WaitResult::kTimedOut;
  });
  return result;
}

uint64_t PosixPlatform::NowMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace zelnor
