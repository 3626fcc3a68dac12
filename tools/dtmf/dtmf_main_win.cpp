// dtmf.exe: plays a dial string through zelnor.dll or writes it to a WAV
// file; hears, or masks, the DTMF in a recording. Read the command line,
// turn it into zelnor's options, call.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/ansi_text_win.h"
#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console_input_win.h"
#include "tools/dtmf/console_win.h"
#include "tools/dtmf/device_choice.h"
#include "tools/dtmf/dial_waits.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/hearing_win.h"
#include "tools/dtmf/masking_win.h"
#include "tools/dtmf/progress_display_win.h"
#include "tools/dtmf/standard_streams_win.h"
#include "tools/dtmf/tel_uri.h"
#include "tools/dtmf/wave_in_capture_win.h"
#include "tools/dtmf/wave_out_devices_win.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

void PrintError(const std::wstring& line) { Print(STD_ERROR_HANDLE, line + L"\n"); }

// PrintError for the last word: when even standard error cannot be
// written, the exit status alone says that the run failed.
void ReportError(const std::wstring& line) {
  try {
    PrintError(line);
  } catch (const std::exception&) {
  }
}

std::wstring ZelnorErrorText(int result) {
  if (result == ZELNOR_E_OUT_OF_MEMORY) return SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);
  return L"zelnor.dll failed with error " + std::to_wstring(result);
}

// Any result the caller has not handled itself.
void Check(int result) {
  if (result != ZELNOR_OK) throw Failure(kExitFailed, L"dtmf: " + ZelnorErrorText(result));
}

// Seconds of sound the dial makes with these options.
double LengthSeconds(const std::string& dial, const ZelnorOptions& options) {
  uint64_t samples = 0;
  RenderDTMF(dial.c_str(), &options, nullptr, &samples);
  return static_cast<double>(samples) / options.sample_rate;
}

std::wstring Describe(double seconds, const ZelnorOptions& options) {
  wchar_t text[128];
  std::swprintf(text, std::size(text), L"%.2f s of %d ms tones and %d ms gaps at %u Hz", seconds,
                options.tone_ms, options.gap_ms, options.sample_rate);
  return text;
}

void Say(const Command& command, const std::wstring& what) {
  if (command.verbose) PrintError(L"dtmf: " + what);
}

int ListDevices() {
  const std::vector<std::wstring> names = WaveOutDeviceNames();
  if (names.empty()) {
    throw Failure(kExitDevice, L"dtmf: --list-devices: no output device: " +
                                   WaveOutErrorText(MMSYSERR_NODRIVER));
  }
  std::wstring lines;
  for (size_t id = 0; id < names.size(); ++id) {
    lines += std::to_wstring(id) + L"  " + names[id] + L"\n";
  }
  const std::vector<std::wstring> inputs = WaveInDeviceNames();
  for (size_t id = 0; id < inputs.size(); ++id) {
    lines += L"in " + std::to_wstring(id) + L"  " + inputs[id] + L"\n";
  }
  Print(STD_OUTPUT_HANDLE, lines);
  return 0;
}

struct Device {
  uint32_t id = ZELNOR_DEFAULT_DEVICE;
  std::wstring name = L"the default device";
};

// The device -d names among `names`, the output or the input devices
// (`kind` says which).
Device ChooseDevice(const std::optional<std::wstring>& wanted,
                    const std::vector<std::wstring>& names, const wchar_t* kind) {
  if (!wanted) return {};
  const std::vector<uint32_t> ids = MatchDevices(names, *wanted);
  if (ids.empty()) {
    throw UsageError(L"dtmf: -d: no " + std::wstring(kind) + L" device matches '" + *wanted +
                     L"' (dtmf --list-devices lists them)");
  }
  if (ids.size() > 1) {
    std::wstring matches;
    for (uint32_t id : ids) {
      matches += (matches.empty() ? L"" : L", ") + std::to_wstring(id) + L" " + names[id];
    }
    throw UsageError(L"dtmf: -d: '" + *wanted + L"' matches several devices: " + matches +
                     L"; give a number or more of the name");
  }
  const uint32_t id = ids.front();
  return {id, id < names.size() ? names[id] : L"device " + std::to_wstring(id)};
}

// Refuses a dial that holds a wait, saying why it cannot wait here.
void RefuseWaits(const std::wstring& dial, const std::wstring& why) {
  const auto wait = std::find_if(dial.begin(), dial.end(), IsWait);
  if (wait == dial.end()) return;
  throw UsageError(L"dtmf: SYMBOLS: '" + std::wstring(1, *wait) + L"' waits for Enter, " + why);
}

int Write(const Command& command, const std::wstring& dial) {
  RefuseWaits(dial, L"and a WAV file cannot wait");
  const std::string ansi = ToAnsiCodePage(dial);
  const bool to_output = command.output_path == kStandardOutputName;
  const int result =
      to_output ? WriteWaveToStandardOutput(ansi, command.options)
                : WriteDTMFWaveW(command.output_path.c_str(), ansi.c_str(), &command.options);
  const std::wstring target = to_output ? L"standard output" : L"'" + command.output_path + L"'";
  if (result == ZELNOR_E_FILE) {
    throw Failure(kExitFailed,
                  L"dtmf: -o: cannot write " + target + L": " + SystemErrorText(::GetLastError()));
  }
  if (result == ZELNOR_E_INVALID_ARGUMENT) {  // the options were checked here already
    throw Failure(kExitFailed, L"dtmf: -o: the dial is too long for a WAV file (4 GB at most)");
  }
  Check(result);
  Say(command,
      L"wrote " + target + L": " + Describe(LengthSeconds(ansi, command.options), command.options));
  return 0;
}

int Play(const Command& command, const std::wstring& dial) {
  const std::vector<std::wstring_view> parts = SplitAtWaits(dial);
  if (!IsConsole(STD_INPUT_HANDLE)) {
    RefuseWaits(dial, L"which needs a console, and standard input is not one");
  }
  const Device device = ChooseDevice(command.device, WaveOutDeviceNames(), L"output");
  ZelnorOptions options = command.options;
  options.device = device.id;
  ProgressDisplay progress(dial);
  double seconds = 0;
  for (const std::wstring_view part : parts) {
    const size_t start = static_cast<size_t>(part.data() - dial.data());
    if (start > 0) {
      const std::wstring rest = dial.substr(start);
      if (rest.empty()) break;
      PrintError(L"waiting: press Enter to send " + rest + L", Ctrl+C to stop");
      if (!WaitForEnter()) {
        throw Failure(kExitFailed, L"dtmf: stopped at '" + std::wstring(1, dial[start - 1]) +
                                       L"': input ended; not sent: " + rest);
      }
    }
    const std::string ansi = ToAnsiCodePage(part);
    if (!command.quiet) progress.Follow(options, ansi, start);
    const int result = PlayDTMFEx(ansi.c_str(), &options, 0);
    progress.EndLine();
    if (result == ZELNOR_E_NO_DEVICE || result == ZELNOR_E_DEVICE) {
      throw Failure(kExitDevice, L"dtmf: cannot play on " + device.name + L": " +
                                     WaveOutFailureText(options.device, options.sample_rate));
    }
    Check(result);
    seconds += LengthSeconds(ansi, options);
  }
  Say(command, L"played " + Describe(seconds, options) + L" on " + device.name);
  return 0;
}

std::wstring Trimmed(const std::wstring& text) {
  const auto is_space = [](wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); };
  const auto first = std::find_if_not(text.begin(), text.end(), is_space);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), is_space).base();
  return first < last ? std::wstring(first, last) : std::wstring();
}

int Run(const std::vector<std::wstring>& arguments) {
  if (arguments.empty()) {
    Print(STD_ERROR_HANDLE, UsageText());
    return kExitUsage;
  }
  const Command command = ParseCommandLine(arguments);
  switch (command.action) {
    case Action::kHelp:
      Print(STD_OUTPUT_HANDLE, UsageText());
      return 0;
    case Action::kVersion:
      Print(STD_OUTPUT_HANDLE, L"dtmf " DTMF_VERSION L"\n");
      return 0;
    case Action::kListDevices:
      return ListDevices();
    case Action::kDecode:
      return DecodeRecording(command);
    case Action::kMask:
      return MaskRecording(command);
    case Action::kListen: {
      const Device device = ChooseDevice(command.device, WaveInDeviceNames(), L"input");
      return Listen(command, device.id, device.name);
    }
    case Action::kPlay:
    case Action::kWrite:
      break;
  }
  const std::wstring typed =
      Trimmed(command.symbols_from_stdin ? ReadStandardInputText() : command.symbols);
  const std::wstring dial = IsTelUri(typed) ? DialFromTelUri(typed) : typed;
  Say(command, L"dialling " + dial);
  return command.action == Action::kWrite ? Write(command, dial) : Play(command, dial);
}

}  // namespace
}  // namespace dtmf_tool

int wmain(int argc, wchar_t** argv) {
  using namespace dtmf_tool;
  try {
    return Run(std::vector<std::wstring>(argv + 1, argv + argc));
  } catch (const UsageError& error) {
    ReportError(error.message() + L" (see dtmf --help)");
    return kExitUsage;
  } catch (const Failure& failure) {
    ReportError(failure.message());
    return failure.exit_status();
  } catch (const std::bad_alloc&) {
    ReportError(L"dtmf: " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    return kExitFailed;
  } catch (const std::length_error&) {  // a vector longer than the address space
    ReportError(L"dtmf: " + SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
    return kExitFailed;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dtmf: %s\n", error.what());
    return kExitFailed;
  }
}
