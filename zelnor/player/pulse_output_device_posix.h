#pragma once
// The AudioDevice on a PulseAudio sink (or PipeWire's PulseAudio server):
// a ring of kQueuedBlocks blocks that a feeding thread of the device's own
// writes into a pa_simple stream, which blocks while the server's buffer is
// full. A block is handed back once the server has taken it, as a sound
// card's driver hands back a block once it is in the card's buffer.

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "zelnor/player/audio_device.h"
#include "zelnor/player/timing.h"

struct PulseLibrary;
struct pa_simple;

namespace zelnor {

class PulseOutputDevice final : public AudioDevice {
 public:
  PulseOutputDevice() = default;
  PulseOutputDevice(const PulseOutputDevice&) = delete;
  PulseOutputDevice& operator=(const PulseOutputDevice&) = delete;
  // Ends the feeding thread (once its write returns) and closes the stream.
  ~PulseOutputDevice() override;

  // The server's sinks: 0 without libpulse or a server to answer.
  uint32_t DeviceCount() override;
  // `id` indexes the sinks DeviceCount found; ZELNOR_DEFAULT_DEVICE is the
  // server's default sink.
  int Open(uint32_t id, uint32_t sample_rate, Signal& block_done) override;
  bool Write(const int16_t* samples, size_t count) override;
  uint64_t BlocksDone() override;
  std::optional<uint32_t> SamplesPlayed() override;
  void Pause() override;
  void Restart() override;
  void Reset() override;
  bool AllBlocksBack() override;

 private:
  // The feeding thread: writes the blocks in order while not paused.
  void Feed();

  const PulseLibrary* pulse_ = nullptr;
  std::vector<std::string> sinks_;
  pa_simple* stream_ = nullptr;
  uint32_t sample_rate_ = 0;
  Signal* block_done_ = nullptr;
  std::array<std::vector<int16_t>, kQueuedBlocks> blocks_;
  std::thread feeder_;

  std::mutex mutex_;
  std::condition_variable changed_;
  // Guarded by mutex_.
  uint64_t written_ = 0;      // blocks queued by Write
  uint64_t done_ = 0;         // blocks the server has taken, or that a reset dropped
  uint64_t samples_fed_ = 0;  // samples the server has taken
  bool paused_ = false;
  bool feeding_ = false;       // the feeder is inside a write
  bool reset_midway_ = false;  // a reset came while it was
  bool failed_ = false;        // the stream refused a write
  bool closing_ = false;
};

}  // namespace zelnor
