#pragma once
// What dtmf says about a run: errors, -v's lines, and the library's
// results in words.

#include <string>

#include "tools/dtmf/command_line.h"
#include "zelnor.h"

namespace dtmf_tool {

// One line on standard error.
void PrintError(const std::wstring& line);

// PrintError for the last word: when even standard error cannot be
// written, the exit status alone says that the run failed.
void ReportError(const std::wstring& line) noexcept;

// `what` after "dtmf: " on standard error, with -v only.
void Say(const Command& command, const std::wstring& what);

// Throws Failure (kExitFailed) for any result the caller has not handled
// itself.
void Check(int result);

// "dtmf: zelnor.dll failed with error N" (the library's own name on each
// platform), as a Failure with kExitFailed.
[[noreturn]] void ThrowLibraryFailure(int result);

// What a --decode or --mask (`option`) run over `source` ("standard
// input", "'call.wav'") ends with: a recording that cannot be read is
// Failure (kExitUsage) with the reason, any other failed result Failure
// (kExitFailed); one cut off is a warning that the rest was `done`
// ("decoded") as far as it goes.
void CheckRecording(int result, const ZelnorWaveInfo& info, const std::wstring& option,
                    const std::wstring& source, const std::wstring& done);

// Seconds of sound the dial makes with these options.
double LengthSeconds(const std::string& dial, const ZelnorOptions& options);

// "1.20 s of 150 ms tones and 150 ms gaps at 48000 Hz".
std::wstring Describe(double seconds, const ZelnorOptions& options);

// ASCII text (the library's messages, digit lines) as the tool's text.
std::wstring Widen(const std::string& ascii);

}  // namespace dtmf_tool
