#include "zelnor/player/wave_out_device_win.h"

#include <algorithm>

#include "common/mono_pcm_format_win.h"
#include "zelnor.h"
#include "zelnor/player/player_platform.h"

namespace zelnor {
namespace {

// How long a reset device may take to hand back blocks it had already
// finished with but not yet marked done.
constexpr uint32_t kBlocksBackMs = 2000;

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
  ::waveOutClose(device_);
  if (!all_back) static_cast<void>(blocks_.release());
}

uint32_t WaveOutDevice::DeviceCount() { return ::waveOutGetNumDevs(); }

int WaveOutDevice::Open(uint32_t id, uint32_t sample_rate, Signal& block_done) {
  block_done_ = &block_done;
  const WAVEFORMATEX format = MonoPcm16Format(sample_rate);
  // What a failed open leaves in the handle is not defined.
  HWAVEOUT device = nullptr;
  const MMRESULT opened =
      ::waveOutOpen(&device, id, &format, reinterpret_cast<DWORD_PTR>(&WaveOutDevice::BlockDone),
                    reinterpret_cast<DWORD_PTR>(&block_done), CALLBACK_FUNCTION);
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

void WaveOutDevice::Pause() { ::waveOutPause(device_); }

void WaveOutDevice::Restart() { ::waveOutRestart(device_); }

void WaveOutDevice::Reset() {
  ::waveOutReset(device_);
  // Wine marks reset blocks done one by one, outside its lock, after the
  // reset has returned.
  for (uint32_t waited = 0; !AllBlocksBack() && waited < kBlocksBackMs; waited += 10) {
    block_done_->Wait(10);
  }
}

bool WaveOutDevice::AllBlocksBack() {
  for (uint64_t block = done_; block < written_; ++block) {
    if (!Done((*blocks_)[block % kQueuedBlocks].header)) return false;
  }
  return true;
}

void CALLBACK WaveOutDevice::BlockDone(HWAVEOUT, UINT message, DWORD_PTR signal, DWORD_PTR,
                                       DWORD_PTR) {
  // Only SetEvent and a few other calls are allowed here.
  if (message == WOM_DONE) reinterpret_cast<Signal*>(signal)->Set();
}

}  // namespace zelnor
