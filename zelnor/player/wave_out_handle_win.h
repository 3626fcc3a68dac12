#pragma once
// Ownership of an open waveOut device.

#include <windows.h>

#include <mmsystem.h>

#include "common/unique_handle.h"

// Closing fails while buffers are still queued, so the device is reset first.
inline void ResetAndCloseWaveOut(HWAVEOUT device) noexcept {
  ::waveOutReset(device);
  ::waveOutClose(device);
}

using UniqueWaveOut = UniqueHandle<HWAVEOUT, &ResetAndCloseWaveOut>;
