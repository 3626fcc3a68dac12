#pragma once
// The one sample format zelnor.dll plays, and dtmf.exe asks a device about:
// 16-bit mono PCM.

#include <windows.h>

#include <mmsystem.h>

#include <cstdint>

inline WAVEFORMATEX MonoPcm16Format(uint32_t sample_rate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = sample_rate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = format.nChannels * format.wBitsPerSample / 8;
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  return format;
}
