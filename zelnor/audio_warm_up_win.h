#pragma once
// The first waveOut call in a process loads and enumerates the audio
// drivers, which takes tens of milliseconds. Doing it on a thread of its
// own as soon as the DLL loads keeps that delay off the first dial.

#include <windows.h>

namespace zelnor {

// Safe from DllMain: it only creates a thread, which runs after the loader
// lock is released, and never waits for it.
void StartAudioWarmUp(HMODULE self) noexcept;

}  // namespace zelnor
