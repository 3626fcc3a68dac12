#pragma once
// The jobs that need a sound device: playing (playing.cpp, through the
// library), listing and listening (sound_win.cpp: waveOut and waveIn;
// sound_posix.cpp: a PulseAudio server).

#include <string>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Plays `dial` (waits included) on the device -d names; returns the exit
// status. Throws Failure (kExitDevice) when it cannot play.
int Play(const Command& command, const std::wstring& dial);

// dtmf --listen: prints the digits heard on the input device -d names.
int Listen(const Command& command);

// dtmf --list-devices: the output devices, then the input devices.
int ListDevices();

}  // namespace dtmf_tool
