// dtmf.exe: plays a dial string through zelnor.dll or writes it to a WAV
// file. Read the command line, turn it into zelnor's options, call.

#include <windows.h>

#include <cstdio>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "tools/dtmf/command_line.h"
#include "tools/dtmf/console_win.h"
#include "tools/dtmf/device_choice.h"
#include "tools/dtmf/wave_out_devices_win.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDevice = 3;

void PrintError(const std::wstring& line) { Print(STD_ERROR_HANDLE, line + L"\n"); }

std::wstring ZelnorErrorText(int result) {
  if (result == ZELNOR_E_OUT_OF_MEMORY) return SystemErrorText(ERROR_NOT_ENOUGH_MEMORY);
  return L"zelnor.dll failed with error " + std::to_wstring(result);
}

// Seconds of sound the dial makes with these options.
double LengthSeconds(const std::string& dial, const ZelnorOptions& options) {
  uint64_t samples = 0;
  RenderDTMF(dial.c_str(), &options, nullptr, &samples);
  return static_cast<double>(samples) / options.sample_rate;
}

std::wstring Describe(const std::string& dial, const ZelnorOptions& options) {
  wchar_t text[128];
  std::swprintf(text, std::size(text), L"%.2f s of %d ms tones and %d ms gaps at %u Hz",
                LengthSeconds(dial, options), options.tone_ms, options.gap_ms, options.sample_rate);
  return text;
}

int ListDevices() {
  const std::vector<std::wstring> names = WaveOutDeviceNames();
  for (size_t id = 0; id < names.size(); ++id) {
    Print(STD_OUTPUT_HANDLE, std::to_wstring(id) + L"  " + names[id] + L"\n");
  }
  return 0;
}

// The end both actions share: any other failure, or the line -v asks for.
int Finished(int result, bool verbose, const std::wstring& done) {
  if (result != ZELNOR_OK) {
    PrintError(L"dtmf: " + ZelnorErrorText(result));
    return kExitFailed;
  }
  if (verbose) Print(STD_OUTPUT_HANDLE, L"dtmf: " + done + L"\n");
  return 0;
}

int Write(const Command& command, const std::string& dial, const ZelnorOptions& options) {
  const int result = WriteDTMFWaveW(command.output_path.c_str(), dial.c_str(), &options);
  if (result == ZELNOR_E_FILE) {
    PrintError(L"dtmf: -o: cannot write '" + command.output_path + L"': " +
               SystemErrorText(::GetLastError()));
    return kExitFailed;
  }
  if (result == ZELNOR_E_INVALID_ARGUMENT) {  // the options were checked here already
    PrintError(L"dtmf: -o: the dial is too long for a WAV file (4 GB at most)");
    return kExitFailed;
  }
  return Finished(result, command.verbose,
                  L"wrote " + command.output_path + L": " + Describe(dial, options));
}

int Play(const Command& command, const std::string& dial, ZelnorOptions options) {
  std::wstring device_name = L"the default device";
  if (command.device) {
    const std::vector<std::wstring> names = WaveOutDeviceNames();
    const std::optional<uint32_t> id = ChooseDevice(names, *command.device);
    if (!id) {
      PrintError(L"dtmf: -d: no output device matches '" + *command.device +
                 L"' (see dtmf --list-devices)");
      return kExitUsage;
    }
    options.device = *id;
    device_name = names[*id];
  }
  const int result = PlayDTMFEx(dial.c_str(), &options, 0);
  if (result == ZELNOR_E_NO_DEVICE || result == ZELNOR_E_DEVICE) {
    PrintError(L"dtmf: cannot play on " + device_name + L": " +
               WaveOutFailureText(options.device, options.sample_rate));
    return kExitDevice;
  }
  return Finished(result, command.verbose,
                  L"played " + Describe(dial, options) + L" on " + device_name);
}

int Run(const std::vector<std::wstring>& arguments) {
  Command command;
  try {
    command = ParseCommandLine(arguments);
  } catch (const UsageError& error) {
    PrintError(error.message());
    return kExitUsage;
  }
  if (command.action == Action::kHelp) {
    Print(STD_OUTPUT_HANDLE, kUsage);
    return 0;
  }
  if (command.action == Action::kListDevices) return ListDevices();

  const std::wstring dial_text =
      command.symbols_from_stdin ? ReadStandardInputText() : command.symbols;
  const std::string dial = ToAnsi(dial_text);
  const ZelnorOptions options{
      sizeof(ZelnorOptions), command.tone_ms,           command.gap_ms,
      command.sample_rate,   ZELNOR_DEFAULT_LEVEL_DB10, ZELNOR_DEFAULT_DEVICE};
  if (command.action == Action::kWrite) return Write(command, dial, options);
  return Play(command, dial, options);
}

}  // namespace
}  // namespace dtmf_tool

int wmain(int argc, wchar_t** argv) {
  try {
    return dtmf_tool::Run(std::vector<std::wstring>(argv + 1, argv + argc));
  } catch (const dtmf_tool::UsageError& error) {  // standard input that is not text
    dtmf_tool::Print(STD_ERROR_HANDLE, error.message() + L"\n");
    return dtmf_tool::kExitUsage;
  } catch (const std::bad_alloc&) {
    dtmf_tool::Print(STD_ERROR_HANDLE,
                     L"dtmf: " + dtmf_tool::SystemErrorText(ERROR_NOT_ENOUGH_MEMORY) + L"\n");
    return dtmf_tool::kExitFailed;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dtmf: %s\n", error.what());
    return 1;
  }
}
