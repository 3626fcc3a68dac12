#include "zelnor/dtmf_tool/wave_out_devices_win.h"

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
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = sample_rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = 2;
  format.nAvgBytesPerSec = sample_rate * 2;
  const MMRESULT query = ::waveOutOpen(nullptr, device, &format, 0, 0, WAVE_FORMAT_QUERY);
  // The device takes the format now: it failed while playing.
  return ErrorText(query != MMSYSERR_NOERROR ? query : MMSYSERR_ERROR);
}

}  // namespace dtmf_tool
