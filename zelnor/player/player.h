#pragma once
// The one playback a process has at a time. A mailbox holds only the newest
// request: a new call replaces a request not yet begun and stops the one
// playing, the way PlaySound does, whichever thread either call came from.
//
// One player thread, started by the first call, plays the requests and ends
// after kIdleMs idle. One stuck inside a driver call for kWedgedAfterMs is
// left there and a fresh one takes over; at most two threads exist at any
// moment, and with both stuck a call fails at once with ZELNOR_E_DEVICE.
// No lock is held across a thread start, and callers never call the driver.

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "zelnor/player/completion.h"
#include "zelnor/player/driver_watch.h"
#include "zelnor/player/player_platform.h"
#include "zelnor/player/progress_report.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// What a call asks to hear.
struct Playback {
  DtmfSequence sequence;
  uint32_t device_id;
};

class Player {
 public:
  explicit Player(PlayerPlatform& platform);
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;
  // Only once no player thread runs.
  ~Player();

  // Plays `playback` in place of whatever is playing; none only stops.
  // Synchronous: returns ZELNOR_OK once the device has handed back the last
  // block (a stop: once the stopped playback has ended), ZELNOR_E_STOPPED
  // if a later call stopped it, ZELNOR_E_NO_DEVICE, or ZELNOR_E_DEVICE
  // kDeviceGraceMs past the dial's length; `progress` (if any) hears, on
  // the calling thread and before this returns, each symbol as the device
  // reaches it and, after a whole playback, its end. Asynchronous:
  // ZELNOR_OK at once, or ZELNOR_E_NO_DEVICE if the player found the
  // device missing within kDeviceCountTrustedMs; `progress` is not used.
  // Throws ZelnorError or std::bad_alloc.
  int Play(std::optional<Playback> playback, bool async, ProgressReport* progress = nullptr);

 private:
  struct Request;
  struct Worker;

  // Starts a thread for the pending request if none serves it, or replaces
  // one wedged in the driver. False if two threads are stuck already: the
  // pending request is then dropped as ZELNOR_E_DEVICE.
  bool EnsureWorker();
  // With the lock held: fewer than two threads would run with one more.
  [[nodiscard]] bool RoomForAnotherThread() const;
  // With the lock held: leaves worker_ to its driver call, failing its request.
  void AbandonWedgedWorker();
  // Drops the pending request with `result`.
  void FailPending(int result);
  // Waits until `awaited` has a result or `deadline` passes, telling
  // `progress` (if any) how far the device has got as it goes. True if it
  // has a result.
  bool AwaitResult(Completion& awaited, uint64_t deadline, bool stop_only,
                   ProgressReport* progress);

  // A player thread's life: plays what the mailbox holds until dismissed
  // or idle.
  void RunWorker(const std::shared_ptr<Worker>& self);
  // With the lock held: the newest request, now playing, or null.
  std::unique_ptr<Request> TakeRequest(Worker& self);
  // True if the idle thread may end: nothing came in meanwhile.
  bool RetireIfIdle(const std::shared_ptr<Worker>& self);
  // Counts the devices, opens one and streams the request into it.
  int PlayOnDevice(Worker& self, Request& request);

  // The player's last count, taken within kDeviceCountTrustedMs, had no
  // such device.
  [[nodiscard]] bool KnownMissing(uint32_t device_id) const;

  PlayerPlatform& platform_;
  std::unique_ptr<PlayerLock> lock_;
  // Guarded by lock_.
  std::unique_ptr<Request> pending_;
  std::shared_ptr<Completion> playing_;  // of the request being played
  std::shared_ptr<Worker> worker_;       // null when none serves the mailbox
  std::shared_ptr<Worker> abandoned_;    // left inside a wedged driver
  std::shared_ptr<Worker> retired_;      // ended idle, may still be exiting

  // The player thread's last device count and when it was taken.
  std::atomic<uint32_t> device_count_{0};
  std::atomic<uint64_t> counted_at_ms_{0};
  std::atomic<bool> counted_{false};
};

}  // namespace zelnor
