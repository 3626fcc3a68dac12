#include "zelnor/wave_stream_win.h"

#include <array>
#include <vector>

#include "zelnor/zelnor.h"

namespace zelnor {
namespace {

// A device that returns no block for this long has hung; give up on it
// rather than keep the caller waiting.
constexpr DWORD kStallTimeoutMs = 3000;

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
    return true;
  }

  // The device thread sets WHDR_DONE; read it fresh each time.
  [[nodiscard]] bool Done() const {
    return (static_cast<const volatile DWORD&>(header_.dwFlags) & WHDR_DONE) != 0;
  }

 private:
  HWAVEOUT device_ = nullptr;
  WAVEHDR header_{};
  std::vector<int16_t> samples_;
};

}  // namespace

int StreamToWaveOut(HWAVEOUT device, HANDLE block_done, HANDLE stop, DtmfSequence& sequence) noexcept {
  try {
    const size_t block_samples = size_t{sequence.SampleRate()} * kBlockMs / 1000;
    std::array<WaveBlock, kQueuedBlocks> blocks;
    for (WaveBlock& block : blocks) {
      if (!block.Prepare(device, block_samples)) return ZELNOR_E_DEVICE;
    }

    // Blocks go out in ring order, so the oldest in flight is the next to finish.
    bool device_failed = false;
    size_t queued = 0;
    while (queued < kQueuedBlocks && blocks[queued].Queue(sequence, device_failed)) ++queued;
    size_t oldest = 0;

    int result = ZELNOR_OK;
    const HANDLE waits[] = {stop, block_done};
    while (queued > 0 && !device_failed) {
      const DWORD woken = ::WaitForMultipleObjects(2, waits, FALSE, kStallTimeoutMs);
      if (woken == WAIT_OBJECT_0) break;  // stopped; the reset below drops the rest
      if (woken != WAIT_OBJECT_0 + 1) {
        result = ZELNOR_E_DEVICE;
        break;
      }
      while (queued > 0 && blocks[oldest].Done()) {
        --queued;
        if (blocks[oldest].Queue(sequence, device_failed)) ++queued;
        oldest = (oldest + 1) % kQueuedBlocks;
      }
    }
    if (device_failed) result = ZELNOR_E_DEVICE;
    // Returns every queued block so the headers can be unprepared.
    ::waveOutReset(device);
    return result;
  } catch (...) {
    ::waveOutReset(device);
    return ZELNOR_E_OUT_OF_MEMORY;
  }
}

}  // namespace zelnor
