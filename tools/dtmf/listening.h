#pragma once
// dtmf --listen, whatever records: what is recorded fed to the library's
// receiver and each digit printed as it is heard (listening_win.cpp and
// listening_posix.cpp record).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/dtmf/command_line.h"

namespace dtmf_tool {

// Takes the samples recorded next; false once it wants no more.
using TakeSamples = std::function<bool(const int16_t* samples, size_t count)>;

// Opens the device, hands each stretch of 16-bit mono samples it records
// to `take` until `take` returns false or the user stops it (Ctrl+C), and
// closes it. Throws Failure (kExitDevice) when the device cannot record.
using Record = std::function<void(const TakeSamples& take)>;

// Prints the digits heard in what `record` records at `sample_rate` from
// the device named `device_name`, until it ends or command.until is heard;
// returns the exit status.
int PrintDigitsHeard(const Command& command, uint32_t sample_rate, const std::wstring& device_name,
                     const Record& record);

}  // namespace dtmf_tool
