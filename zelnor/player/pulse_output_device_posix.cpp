#include "zelnor/player/pulse_output_device_posix.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "common/pulse_devices_posix.h"
#include "common/pulse_library_posix.h"
#include "zelnor.h"
#include "zelnor/player/player_platform.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

using Hold = std::lock_guard<std::mutex>;

constexpr char kClientName[] = "zelnor";

uint32_t SamplesIn(uint32_t sample_rate, uint32_t ms) { return sample_rate * ms / 1000; }

uint32_t BytesIn(uint32_t sample_rate, uint32_t ms) {
  return SamplesIn(sample_rate, ms) * static_cast<uint32_t>(sizeof(int16_t));
}

}  // namespace

PulseOutputDevice::~PulseOutputDevice() {
  {
    const Hold hold(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  if (feeder_.joinable()) feeder_.join();
  if (stream_ != nullptr) pulse_->simple_free(stream_);
}

uint32_t PulseOutputDevice::DeviceCount() {
  pulse_ = LoadPulseLibrary();
  PulseDevices sinks = ListPulseDevices(PulseDirection::kPlayback, kClientName);
  sinks_.clear();
  for (PulseDevice& sink : sinks.devices) sinks_.push_back(std::move(sink.name));
  return static_cast<uint32_t>(sinks_.size());
}

int PulseOutputDevice::Open(uint32_t id, uint32_t sample_rate, Signal& block_done) {
  const bool by_default = id == ZELNOR_DEFAULT_DEVICE;
  if (pulse_ == nullptr || (!by_default && id >= sinks_.size())) return ZELNOR_E_NO_DEVICE;
  const pa_sample_spec format{PA_SAMPLE_S16NE, sample_rate, 1};
  pa_buffer_attr buffer{};
  buffer.maxlength = UINT32_MAX;  // UINT32_MAX: the server's choice
  buffer.minreq = UINT32_MAX;
  buffer.fragsize = UINT32_MAX;
  // The server holds half as much as the queue: enough to ride out a busy
  // moment of the feeder, little enough that a symbol is reported close to
  // when it sounds.
  buffer.tlength = BytesIn(sample_rate, kBlockMs * kQueuedBlocks / 2);
  // Sound starts with the first block, the rest following at once; a dial
  // shorter than the server's buffer still plays.
  buffer.prebuf = BytesIn(sample_rate, kBlockMs);
  int error = 0;
  stream_ = pulse_->simple_new(nullptr, kClientName, PA_STREAM_PLAYBACK,
                               by_default ? nullptr : sinks_[id].c_str(), "DTMF tones", &format,
                               nullptr, &buffer, &error);
  if (stream_ == nullptr) return error == PA_ERR_NOENTITY ? ZELNOR_E_NO_DEVICE : ZELNOR_E_DEVICE;
  sample_rate_ = sample_rate;
  block_done_ = &block_done;
  for (std::vector<int16_t>& block : blocks_) block.reserve(SamplesIn(sample_rate, kBlockMs));
  try {
    feeder_ = std::thread([this] { Feed(); });
  } catch (const std::system_error&) {
    throw ZelnorError(ZELNOR_E_SYSTEM, "std::thread failed");
  }
  return ZELNOR_OK;
}

bool PulseOutputDevice::Write(const int16_t* samples, size_t count) {
  {
    const Hold hold(mutex_);
    // After a reset the block being fed may be the next one's place.
    if (failed_ || reset_midway_ || written_ - done_ >= kQueuedBlocks) return false;
  }
  // The feeder reads only the blocks from done_ to written_.
  blocks_[written_ % kQueuedBlocks].assign(samples, samples + count);
  {
    const Hold hold(mutex_);
    ++written_;
  }
  changed_.notify_all();
  return true;
}

uint64_t PulseOutputDevice::BlocksDone() {
  const Hold hold(mutex_);
  return done_;
}

std::optional<uint32_t> PulseOutputDevice::SamplesPlayed() {
  uint64_t fed = 0;
  {
    const Hold hold(mutex_);
    fed = samples_fed_;
  }
  // What the server holds and the sink has yet to sound.
  int error = 0;
  const pa_usec_t latency = pulse_->simple_get_latency(stream_, &error);
  if (latency == static_cast<pa_usec_t>(-1)) return std::nullopt;
  // Once the buffer has run dry the measure keeps a residue of some
  // microseconds: less than a millisecond counts as played.
  const uint64_t unplayed = latency / 1000 * sample_rate_ / 1000;
  return static_cast<uint32_t>(fed - std::min(fed, unplayed));
}

void PulseOutputDevice::Pause() {
  const Hold hold(mutex_);
  paused_ = true;
}

void PulseOutputDevice::Restart() {
  {
    const Hold hold(mutex_);
    paused_ = false;
  }
  changed_.notify_all();
}

void PulseOutputDevice::Reset() {
  {
    const Hold hold(mutex_);
    done_ = written_;  // the blocks not yet fed are handed back unplayed
    reset_midway_ = feeding_;
  }
  int error = 0;
  pulse_->simple_flush(stream_, &error);  // and what the server holds is dropped
  block_done_->Set();
}

bool PulseOutputDevice::AllBlocksBack() {
  const Hold hold(mutex_);
  return !feeding_ && done_ == written_;
}

void PulseOutputDevice::Feed() {
  std::unique_lock<std::mutex> hold(mutex_);
  for (;;) {
    changed_.wait(hold, [this] { return closing_ || (!paused_ && done_ < written_); });
    if (closing_) return;
    const std::vector<int16_t>& block = blocks_[done_ % kQueuedBlocks];
    const size_t samples = block.size();
    feeding_ = true;
    hold.unlock();
    // Blocks while the server's buffer is full: this is the pacing.
    int error = 0;
    const bool taken =
        pulse_->simple_write(stream_, block.data(), samples * sizeof(int16_t), &error) == 0;
    hold.lock();
    if (reset_midway_) {
      // Written after the reset's flush: dropped as well.
      hold.unlock();
      pulse_->simple_flush(stream_, &error);
      hold.lock();
      reset_midway_ = false;
    } else if (taken) {
      ++done_;
      samples_fed_ += samples;
    } else {
      failed_ = true;
    }
    feeding_ = false;
    block_done_->Set();
    if (failed_) return;
  }
}

}  // namespace zelnor
