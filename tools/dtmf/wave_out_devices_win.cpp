#include "tools/dtmf/wave_out_devices_win.h"

#include "zelnor/player/mono_pcm_format_win.h"

namespace dtmf_tool {
namespace {

std::wstring ErrorText(MMRESULT result) {
  wchar_t text[MAXERRORLENGTH] = {};
  if (::waveOutGetErrorTextW(result, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) {
    return L"error " + std::to_wstring(result);
  }
  return text;
}

}  // namespace

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
  if (::waveOutGetNumDevs() == 0) return ErrorText(MMSYSERR_NODRIVER);
  const WAVEFORMATEX format = zelnor::MonoPcm16Format(sample_rate);
  const MMRESULT query = ::waveOutOpen(nullptr, device, &format, 0, 0, WAVE_FORMAT_QUERY);
  // The device takes the format now: it failed while playing.
  return ErrorText(query != MMSYSERR_NOERROR ? query : MMSYSERR_ERROR);
}

}  // namespace dtmf_tool
