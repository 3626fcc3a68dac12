#include "zelnor/player_win.h"

#include <mmsystem.h>

#include "zelnor/dial_text_win.h"
#include "zelnor/dtmf_levels.h"
#include "zelnor/interval.h"
#include "zelnor/zelnor.h"

namespace zelnor {

Player& Player::Instance() {
  static Player* const instance = new Player;
  return *instance;
}

int Player::Play(const char* dial, int32_t interval_ms, bool async) {
  if (dial == nullptr) return ZELNOR_E_INVALID_ARGUMENT;
  // Everything needed from the caller's string is copied here, before any
  // asynchronous return.
  DtmfSequence sequence(ReadDialSymbols(dial), ClampIntervalMs(interval_ms), kDefaultSampleRate);
  const bool stop_only = sequence.Finished();
  // Checked here so that even an asynchronous call reports it.
  if (!stop_only && ::waveOutGetNumDevs() == 0) return ZELNOR_E_NO_DEVICE;

  std::shared_ptr<Playback> previous;
  std::shared_ptr<Playback> playback;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    previous = current_;
    if (previous) previous->RequestStop();
    if (!stop_only) {
      playback = Playback::Start(std::move(sequence), previous);
      current_ = playback;
    }
  }
  if (async) return ZELNOR_OK;
  if (stop_only) {
    if (previous) previous->Wait();
    return ZELNOR_OK;
  }
  return playback->Wait();
}

void Player::ReleaseAtUnload() {
  std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
  if (lock.owns_lock()) current_.reset();
}

}  // namespace zelnor
