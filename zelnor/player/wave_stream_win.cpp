#include "zelnor/player/wave_stream_win.h"

#include <vector>

#include "zelnor.h"

namespace zelnor {

namespace {

// A device that returns no block for this long has hung; give up on it
// rather than keep the caller waiting.
constexpr DWORD kStallTimeoutMs = 3000;

// How long a reset device may take to hand back blocks it had already
// finished with but not yet marked done.
constexpr DWORD kReturnTimeoutMs = 2000;

}  // namespace

// One reusable buffer, prepared once for the device.
class WaveBlock {
 public:
  WaveBlock() = default;
  WaveBlock(const WaveBlock&) = delete;
  WaveBlock& operator=(const WaveBlock&) = delete;
  ~WaveBlock() {
    if (device_) ::waveOutUnprepareHeader(device_, &header_, sizeof header_);
  }

  bool Prepare(HWAVEOUT device, size_t samples) {
    samples_.resize(samples);
    header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
    header_.dwBufferLength = static_cast<DWORD>(samples * sizeof(int16_t));
    if (::waveOutPrepareHeader(device, &header_, sizeof header_) != MMSYSERR_NOERROR) return false;
    device_ = device;
    return true;
  }

  // Fills the block from the sequence and queues it; false when the
  // sequence had nothing left or the device refused the block.
  bool Queue(DtmfSequence& sequence, DriverWatch& watch, bool& device_failed) {
    const size_t filled = sequence.Generate(samples_.data(), samples_.size());
    if (filled == 0) return false;
    header_.dwBufferLength = static_cast<DWORD>(filled * sizeof(int16_t));
    header_.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
    const DriverWatch::Call call(watch);
    if (::waveOutWrite(device_, &header_, sizeof header_) != MMSYSERR_NOERROR) {
      device_failed = true;
      return false;
    }
    written_ = true;
    return true;
  }

  // The device thread sets WHDR_DONE; read it fresh each time.
  [[nodiscard]] bool Done() const {
    return (static_cast<const volatile DWORD&>(header_.dwFlags) & WHDR_DONE) != 0;
  }

  // Written and not yet handed back: the device may still read the block.
  [[nodiscard]] bool WithDevice() const { return written_ && !Done(); }

 private:
  HWAVEOUT device_ = nullptr;
  bool written_ = false;
  WAVEHDR header_{};
  std::vector<int16_t> samples_;
};

WaveStream::WaveStream(HWAVEOUT device, HANDLE block_done, DriverWatch& watch)
    : device_(device),
      block_done_(block_done),
      watch_(watch),
      blocks_(std::make_unique<Blocks>()) {}

WaveStream::~WaveStream() {
  if (!reset_) Reset();
  // Freeing a block the device still holds would hand it freed memory.
  if (!blocks_back_) static_cast<void>(blocks_.release());
  const DriverWatch::Call call(watch_);
  blocks_.reset();
}

int WaveStream::Play(DtmfSequence& sequence, HANDLE stop) {
  if (::WaitForSingleObject(stop, 0) == WAIT_OBJECT_0) return ZELNOR_OK;
  Blocks& blocks = *blocks_;
  const size_t block_samples = size_t{sequence.SampleRate()} * kBlockMs / 1000;
  for (WaveBlock& block : blocks) {
    if (!block.Prepare(device_, block_samples)) return ZELNOR_E_DEVICE;
  }

  // Each block is queued as soon as it is filled, but the device starts only
  // once the whole queue is in: started by the first write it would hold one
  // block, and a feeding thread delayed that long leaves a gap in the tone.
  bool device_failed = false;
  size_t queued = 0;
  {
    const DriverWatch::Call call(watch_);
    ::waveOutPause(device_);
  }
  while (queued < kQueuedBlocks && blocks[queued].Queue(sequence, watch_, device_failed)) ++queued;
  {
    const DriverWatch::Call call(watch_);
    ::waveOutRestart(device_);
  }
  // Blocks go out in ring order: the oldest in flight finishes next.
  size_t oldest = 0;

  const HANDLE waits[] = {stop, block_done_};
  while (queued > 0 && !device_failed) {
    const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, kStallTimeoutMs);
    if (woken == WAIT_OBJECT_0) return ZELNOR_OK;  // stopped; the reset drops the rest
    if (woken != WAIT_OBJECT_0 + 1) return ZELNOR_E_DEVICE;
    while (queued > 0 && blocks[oldest].Done()) {
      --queued;
      if (blocks[oldest].Queue(sequence, watch_, device_failed)) ++queued;
      oldest = (oldest + 1) % kQueuedBlocks;
    }
  }
  return device_failed ? ZELNOR_E_DEVICE : ZELNOR_OK;
}

void WaveStream::Reset() noexcept {
  {
    const DriverWatch::Call call(watch_);
    ::waveOutReset(device_);
  }
  reset_ = true;
  blocks_back_ = WaitForBlocksBack();
}

// After waveOutReset some systems still hold blocks they had finished with
// (Wine marks them done one by one, outside its lock, after the reset has
// returned), so wait for every one.
bool WaveStream::WaitForBlocksBack() const noexcept {
  const DWORD start = ::GetTickCount();
  for (;;) {
    bool all_back = true;
    for (const WaveBlock& block : *blocks_) all_back = all_back && !block.WithDevice();
    if (all_back) return true;
    if (::GetTickCount() - start > kReturnTimeoutMs) return false;
    ::WaitForSingleObject(block_done_, 10);
  }
}

}  // namespace zelnor
