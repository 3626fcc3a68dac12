#pragma once
// Ownership of an open waveOut device. Closing fails while buffers are still
// queued, so the release resets the device first.

#include <windows.h>
#include <mmsystem.h>

#include "common/unique_handle.h"

namespace handle_traits {

struct WaveOut {
  using Handle = HWAVEOUT;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept {
    ::waveOutReset(h);
    ::waveOutClose(h);
  }
};

}  // namespace handle_traits

using UniqueWaveOut = UniqueHandle<handle_traits::WaveOut>;
