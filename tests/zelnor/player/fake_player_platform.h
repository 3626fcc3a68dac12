#pragma once
// A PlayerPlatform for native tests: std:: threads, a clock that moves only
// when the test says, and devices whose blocks sound only when the test
// plays them (or at once, with auto_play), any call of which can be made to
// hang until released. Everything shares one mutex, so a test can wait for
// a state (a thread parked in a timed wait, a block queued) instead of for
// time to pass.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "zelnor/player/player_platform.h"

namespace zelnor_test {

// What one opened device was asked and what it let be heard.
struct DeviceLog {
  std::vector<std::string> calls;  // "open", "pause", "write", "restart", "reset", "close"
  std::vector<std::vector<int16_t>> written;  // in order
  std::vector<int16_t> heard;
  uint64_t blocks_done = 0;
  zelnor::Signal* block_done = nullptr;
  std::string hang_on;  // the first call of this name hangs until released
  bool hanging = false;
  bool released = false;
  std::optional<uint64_t> reset_at_ms;
  [[nodiscard]] bool Closed() const { return !calls.empty() && calls.back() == "close"; }
  [[nodiscard]] size_t Queued() const { return written.size() - blocks_done; }
};

class FakePlatform final : public zelnor::PlayerPlatform {
 public:
  ~FakePlatform() override;

  std::unique_ptr<zelnor::Signal> NewSignal(bool manual_reset) override;
  std::unique_ptr<zelnor::PlayerLock> NewLock() override;
  std::unique_ptr<zelnor::AudioDevice> NewAudioDevice() override;
  std::unique_ptr<zelnor::PlayerThread> StartThread(std::function<void()> body) override;
  zelnor::WaitResult WaitEither(zelnor::Signal& first, zelnor::Signal& second,
                                uint32_t ms) override;
  uint64_t NowMs() override;

  // Set before the devices are opened.
  uint32_t device_count = 1;
  bool auto_play = false;
  // How long a reset device takes to hand back the blocks it still held.
  uint64_t blocks_back_after_reset_ms = 0;
  // Samples a device's position trails what it let be heard by (changed
  // under `mutex` once devices are open).
  uint32_t position_lag = 0;
  // The device opened `index`-th hangs in its first call named `call`.
  void HangOn(size_t index, std::string call);

  // Moves the clock on and returns once the timed waits that fell due have
  // woken.
  void Advance(uint64_t ms);
  // Waits until `count` threads are parked in a timed wait.
  void AwaitTimedWaiters(int count);
  // Waits until the index-th device exists and `ready` holds for its log.
  void AwaitDevice(size_t index, const std::function<bool(const DeviceLog&)>& ready);
  // Hands back `blocks` of the device's queued blocks, as heard.
  void PlayBlocks(size_t index, size_t blocks);
  // Waits until the player has taken the device's last block-done signal.
  void AwaitBlockSeen(size_t index);
  // Plays the device's blocks as they come until it is closed.
  void PlayUntilClosed(size_t index);
  void ReleaseHangs();
  // Releases every hang and lets the clock run until all threads have ended.
  void EndThreads();

  DeviceLog Device(size_t index);
  size_t DevicesOpened();
  int PeakThreads();

  // For the fakes' own use.
  class FakeSignal;
  class FakeDevice;
  void DeviceCall(DeviceLog& log, const char* call, std::unique_lock<std::mutex>& lock);
  template <typename Ready>
  bool TimedWait(std::unique_lock<std::mutex>& lock, uint32_t ms, Ready ready);
  std::mutex mutex;
  std::condition_variable changed;

 private:
  void AdvanceHeld(uint64_t ms, std::unique_lock<std::mutex>& lock);

  uint64_t now_ms_ = 0;
  std::multiset<uint64_t> parked_deadlines_;  // of the threads in a timed wait
  int running_threads_ = 0;
  int peak_threads_ = 0;
  std::vector<std::unique_ptr<DeviceLog>> devices_;
  std::vector<std::pair<size_t, std::string>> hangs_;
  std::vector<std::thread> threads_;
};

}  // namespace zelnor_test
