#include "zelnor/wave_stream_win.h"

#include <array>
#include <memory>
#include <vector>

#include "zelnor/zelnor.h"

namespace zelnor {
namespace {

// A device that returns no block for this long has hung; give up on it
// rather than keep the caller waiting.
constexpr DWORD kStallTimeoutMs = 3000;

// How long a reset device may take to hand back blocks it had already
// finished with but not yet marked done.
constexpr DWORD kReturnTimeoutMs = 2000;

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
  bool Queue(DtmfSequence& sequence, bool& device_failed) {
    const size_t filled = sequence.Generate(samples_.data(), samples_.size());
    if (filled == 0) return false;
    header_.dwBufferLength = static_cast<DWORD>(filled * sizeof(int16_t));
    header_.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
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

using WaveBlocks = std::array<WaveBlock, kQueuedBlocks>;

// After waveOutReset some systems still hold blocks they had finished with
// (Wine marks them done one by one, outside its lock, after the reset has
// returned). Freeing a block before it is marked done hands freed memory
// to the device thread, so wait for every one.
bool WaitForBlocksBack(const WaveBlocks& blocks, HANDLE block_done) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    bool all_back = true;
    for (const WaveBlock& block : blocks) all_back = all_back && !block.WithDevice();
    if (all_back) return true;
    if (::GetTickCount() - start > kReturnTimeoutMs) return false;
    ::WaitForSingleObject(block_done, 10);
  }
}

// Streams until the sequence ends, stop is signalled, or the device fails.
int Stream(WaveBlocks& blocks, HWAVEOUT device, HANDLE block_done, HANDLE stop,
           DtmfSequence& sequence) {
  const size_t block_samples = size_t{sequence.SampleRate()} * kBlockMs / 1000;
  for (WaveBlock& block : blocks) {
    if (!block.Prepare(device, block_samples)) return ZELNOR_E_DEVICE;
  }

  // Blocks go out in ring order, so the oldest in flight is the next to finish.
  bool device_failed = false;
  size_t queued = 0;
  while (queued < kQueuedBlocks && blocks[queued].Queue(sequence, device_failed)) ++queued;
  size_t oldest = 0;

  const HANDLE waits[] = {stop, block_done};
  while (queued > 0 && !device_failed) {
    const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, kStallTimeoutMs);
    if (woken == WAIT_OBJECT_0) return ZELNOR_OK;  // stopped; the reset drops the rest
    if (woken != WAIT_OBJECT_0 + 1) return ZELNOR_E_DEVICE;
    while (queued > 0 && blocks[oldest].Done()) {
      --queued;
      if (blocks[oldest].Queue(sequence, device_failed)) ++queued;
      oldest = (oldest + 1) % kQueuedBlocks;
    }
  }
  return device_failed ? ZELNOR_E_DEVICE : ZELNOR_OK;
}

}  // namespace

int StreamToWaveOut(HWAVEOUT device, HANDLE block_done, HANDLE stop, DtmfSequence& sequence) noexcept {
  std::unique_ptr<WaveBlocks> blocks;
  int result = ZELNOR_OK;
  try {
    blocks = std::make_unique<WaveBlocks>();
    result = Stream(*blocks, device, block_done, stop, sequence);
  } catch (...) {
    result = ZELNOR_E_OUT_OF_MEMORY;
  }
  // Returns every queued block so the headers can be unprepared and freed.
  ::waveOutReset(device);
  if (blocks && !WaitForBlocksBack(*blocks, block_done)) {
    // A device that never hands its blocks back must not be given freed
    // memory: leave them to it.
    static_cast<void>(blocks.release());
    return ZELNOR_E_DEVICE;
  }
  return result;
}

}  // namespace zelnor
