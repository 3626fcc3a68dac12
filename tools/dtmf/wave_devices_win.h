#pragma once
// What waveOut and waveIn share: their devices by name and the system's
// words for a result, each family through its own calls.

#include <windows.h>

#include <mmsystem.h>

#include <string>
#include <vector>

namespace dtmf_tool {

// The family's device names in device-id order; "" for one that does not
// answer.
template <typename Caps>
std::vector<std::wstring> WaveDeviceNames(UINT(WINAPI* count)(),
                                          MMRESULT(WINAPI* caps_of)(UINT_PTR, Caps*, UINT)) {
  std::vector<std::wstring> names;
  const UINT devices = count();
  for (UINT id = 0; id < devices; ++id) {
    Caps caps{};
    const bool known = caps_of(id, &caps, sizeof caps) == MMSYSERR_NOERROR;
    names.push_back(known ? caps.szPname : L"");
  }
  return names;
}

// The system's text for a result, by the family's own call.
inline std::wstring WaveErrorText(MMRESULT result,
                                  MMRESULT(WINAPI* text_of)(MMRESULT, LPWSTR, UINT)) {
  wchar_t text[MAXERRORLENGTH] = {};
  if (text_of(result, text, MAXERRORLENGTH) != MMSYSERR_NOERROR) {
    return L"error " + std::to_wstring(result);
  }
  return text;
}

}  // namespace dtmf_tool
