#include "tools/dtmf/wave_out_devices_win.h"

#include "common/mono_pcm_format_win.h"

namespace dtmf_tool {

std::wstring WaveOutErrorText(MMRESULT result) {
  wchar_t text[MAXERRORLENGTH] = {};
  if (::waveOutGetErrorTextW(result, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) {
    return L"error " + std::to_wstring(result);
  }
  return text;
}

std::vector<std::wstring> WaveOutDeviceNames() {
  std::vector<std::wstring> names;
  const UINT count = ::waveOutGetNumDevs();
  for (UINT id = 0; id < count; ++id) {
    WAVEOUTCAPSW caps{};
    const bool known = ::waveOutGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR;
    names.push_back(known ? caps.szPname : L"");
  }
  return names;
}

std::wstring WaveOutFailureText(UINT device, uint32_t sample_rate) {
  if (::waveOutGetNumDevs() == 0) return WaveOutErrorText(MMSYSERR_NODRIVER);
  const WAVEFORMATEX format = MonoPcm16Format(sample_rate);
  const MMRESULT query = ::waveOutOpen(nullptr, device, &format, 0, 0, WAVE_FORMAT_QUERY);
  // The device takes the format now: it failed while playing.
  return WaveOutErrorText(query != MMSYSERR_NOERROR ? query : MMSYSERR_ERROR);
}

}  // namespace dtmf_tool
