#include "zelnor/player/wave_out_device_win.h"

#include <algorithm>

#include "common/mono_pcm_format_win.h"
#include "zelnor.h"
#include "zelnor/player/win32_signal_win.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

int OpenError(MMRESULT result) {
  switch (result) {
    case MMSYSERR_BADDEVICEID:
    case MMSYSERR_NODRIVER:
      return ZELNOR_E_NO_DEVICE;
    case MMSYSERR_NOMEM:
      return ZELNOR_E_OUT_OF_MEMORY;
    default:
      return ZELNOR_E_DEVICE;
  }
}

// The driver sets WHDR_DONE on its own thread; read it fresh each time.
bool Done(const WAVEHDR& header) {
  return (static_cast<const volatile DWORD&>(header.dwFlags) & WHDR_DONE) != 0;
}

}  // namespace

WaveOutDevice::~WaveOutDevice() {
  if (!device_) return;
  // Freeing a block the device still holds would hand it freed memory.
  const bool all_back = AllBlocksBack();
  for (size_t block = 0; all_back && block < prepared_; ++block) {
    WAVEHDR& header = (*blocks_)[block].header;
    ::waveOutUnprepareHeader(device_, &header, sizeof header);
  }
  // A device that failed to close still holds the event, and maybe blocks.
  if (::waveOutClose(device_) != MMSYSERR_NOERROR || !all_back) {
    static_cast<void>(blocks_.release());
    static_cast<void>(block_done_.release());
  }
}

uint32_t WaveOutDevice::DeviceCount() { return ::waveOutGetNumDevs(); }

int WaveOutDevice::Open(uint32_t id, uint32_t sample_rate, Signal& block_done) {
  // Every Signal of this platform is a Win32Signal.
  const HANDLE process = ::GetCurrentProcess();
  HANDLE event = nullptr;
  if (!::DuplicateHandle(process, static_cast<Win32Signal&>(block_done).get(), process, &event, 0,
                         FALSE, DUPLICATE_SAME_ACCESS)) {
    throw ZelnorError(ZELNOR_E_SYSTEM, "DuplicateHandle failed");
  }
  block_done_.reset(event);
  const WAVEFORMATEX format = MonoPcm16Format(sample_rate);
  // What a failed open leaves in the handle is not defined.
  HWAVEOUT device = nullptr;
  const MMRESULT opened =
      ::waveOutOpen(&device, id, &format, reinterpret_cast<DWORD_PTR>(event), 0, CALLBACK_EVENT);
  if (opened != MMSYSERR_NOERROR) return OpenError(opened);
  device_ = device;
  const size_t block_samples = size_t{sample_rate} * kBlockMs / 1000;
  for (Block& block : *blocks_) {
    block.samples.resize(block_samples);
    block.header.lpData = reinterpret_cast<LPSTR>(block.samples.data());
    block.header.dwBufferLength = static_cast<DWORD>(block_samples * sizeof(int16_t));
    if (::waveOutPrepareHeader(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) {
      return ZELNOR_E_DEVICE;
    }
    ++prepared_;
  }
  return ZELNOR_OK;
}

bool WaveOutDevice::Write(const int16_t* samples, size_t count) {
  if (written_ - done_ >= kQueuedBlocks) return false;
  Block& block = (*blocks_)[written_ % kQueuedBlocks];
  count = std::min(count, block.samples.size());
  std::copy(samples, samples + count, block.samples.begin());
  block.header.dwBufferLength = static_cast<DWORD>(count * sizeof(int16_t));
  block.header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  if (::waveOutWrite(device_, &block.header, sizeof block.header) != MMSYSERR_NOERROR) return false;
  ++written_;
  return true;
}

uint64_t WaveOutDevice::BlocksDone() {
  while (done_ < written_ && Done((*blocks_)[done_ % kQueuedBlocks].header)) ++done_;
  return done_;
}

std::optional<uint32_t> WaveOutDevice::SamplesPlayed() {
  MMTIME position{};
  position.wType = TIME_SAMPLES;
  if (::waveOutGetPosition(device_, &position, sizeof position) != MMSYSERR_NOERROR) {
    return std::nullopt;
  }
  // A driver may answer in another unit than the one asked for.
  switch (position.wType) {
    case TIME_SAMPLES:
      return position.u.sample;
    case TIME_BYTES:
      return position.u.cb / static_cast<uint32_t>(sizeof(int16_t));
    default:
      return std::nullopt;
  }
}

void WaveOutDevice::Pause() { ::waveOutPause(device_); }

void WaveOutDevice::Restart() { ::waveOutRestart(device_); }

void WaveOutDevice::Reset() { ::waveOutReset(device_); }

bool WaveOutDevice::AllBlocksBack() {
  for (uint64_t block = done_; block < written_; ++block) {
    if (!Done((*blocks_)[block % kQueuedBlocks].header)) return false;
  }
  return true;
}

}  // namespace zelnor
