#include "zelnor/player_win.h"

#include <mmsystem.h>

#include "zelnor/dial_sequence_win.h"
#include "zelnor/zelnor.h"

namespace zelnor {
namespace {

bool DeviceExists(UINT device) {
  const UINT count = ::waveOutGetNumDevs();
  return count > 0 && (device == WAVE_MAPPER || device < count);
}

}  // namespace

Player& Player::Instance() {
  static Player* const instance = new Player;
  return *instance;
}

int Player::Play(const char* dial, const ZelnorOptions* options, bool async) {
  // Everything needed from the caller's string is copied here, before any
  // asynchronous return.
  DtmfSequence sequence = SequenceForDial(dial, options);
  const bool stop_only = sequence.Finished();
  // Checked here so that even an asynchronous call reports it.
  if (!stop_only && !DeviceExists(options->device)) return ZELNOR_E_NO_DEVICE;

  std::shared_ptr<Playback> previous;
  std::shared_ptr<Playback> playback;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    previous = current_;
    if (previous) previous->RequestStop();
    if (!stop_only) {
      playback = Playback::Start(std::move(sequence), options->device, previous);
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
