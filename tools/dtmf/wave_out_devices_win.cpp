#include "tools/dtmf/wave_out_devices_win.h"

#include "common/mono_pcm_format_win.h"
#include "tools/dtmf/wave_devices_win.h"

namespace dtmf_tool {

std::wstring WaveOutErrorText(MMRESULT result) {
  return WaveErrorText(result, ::waveOutGetErrorTextW);
}

std::vector<std::wstring> WaveOutDeviceNames() {
  return WaveDeviceNames(::waveOutGetNumDevs, ::waveOutGetDevCapsW);
}

std::wstring WaveOutFailureText(UINT device, uint32_t sample_rate) {
  if (::waveOutGetNumDevs() == 0) return WaveOutErrorText(MMSYSERR_NODRIVER);
  const WAVEFORMATEX format = MonoPcm16Format(sample_rate);
  const MMRESULT query = ::waveOutOpen(nullptr, device, &format, 0, 0, WAVE_FORMAT_QUERY);
  // The device takes the format now: it failed while playing.
  return WaveOutErrorText(query != MMSYSERR_NOERROR ? query : MMSYSERR_ERROR);
}

}  // namespace dtmf_tool
