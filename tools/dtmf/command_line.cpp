#include "tools/dtmf/command_line.h"

#include "zelnor/input/options.h"
#include "zelnor/signal/interval.h"

namespace dtmf_tool {

const wchar_t kUsage[] =
    L"Usage: dtmf [options] SYMBOLS\n"
    L"Plays SYMBOLS (0-9, A-D, * and #; anything else is skipped) as DTMF tones\n"
    L"and returns once they have been played. SYMBOLS - reads them from standard input.\n"
    L"\n"
    L"  -o FILE.wav     write the tones to a WAV file instead of playing them\n"
    L"  -t MS           length of each tone, 40 to 10000 ms (default 150)\n"
    L"  -g MS           silence after each tone, 40 to 10000 ms (default: the tone length)\n"
    L"  -r RATE         sample rate: 8000, 16000, 44100 or 48000 (default 48000)\n"
    L"  -d DEVICE       output device: its number or part of its name (default: the\n"
    L"                  system's choice)\n"
    L"  --list-devices  list the output devices with their numbers\n"
    L"  -v              say what was done\n"
    L"  --help          show this text\n"
    L"\n"
    L"Exit status: 0 done, 1 failed (a file, memory), 2 bad arguments, 3 device error.\n";

namespace {

[[noreturn]] void Refuse(const std::wstring& argument, const std::wstring& why) {
  throw UsageError(L"dtmf: " + argument + L": " + why);
}

// Digits only, no sign or spaces; nothing for anything else or an overflow.
std::optional<uint32_t> ParseDecimal(const std::wstring& text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  uint32_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint32_t>(c - L'0');
  }
  return value;
}

int32_t ParseLength(const std::wstring& option, const std::wstring& text) {
  const std::optional<uint32_t> ms = ParseDecimal(text);
  if (!ms || !zelnor::IsLengthInRange(static_cast<int32_t>(*ms))) {
    Refuse(option, L"expected milliseconds from 40 to 10000, not '" + text + L"'");
  }
  return static_cast<int32_t>(*ms);
}

uint32_t ParseRate(const std::wstring& option, const std::wstring& text) {
  const std::optional<uint32_t> rate = ParseDecimal(text);
  if (!rate || !zelnor::IsSupportedSampleRate(*rate)) {
    Refuse(option, L"expected 8000, 16000, 44100 or 48000, not '" + text + L"'");
  }
  return *rate;
}

bool TakesValue(const std::wstring& option) {
  return option == L"-o" || option == L"-t" || option == L"-g" || option == L"-r" ||
         option == L"-d";
}

}  // namespace

Command ParseCommandLine(const std::vector<std::wstring>& arguments) {
  Command command;
  // Asking for help is never a mistake, whatever else is on the line.
  for (const std::wstring& argument : arguments) {
    if (argument == L"--") break;
    if (argument == L"--help" || argument == L"-h") {
      command.action = Action::kHelp;
      return command;
    }
  }
  std::optional<std::wstring> symbols;
  std::optional<int32_t> gap_ms;
  bool options_ended = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::wstring& argument = arguments[i];
    const bool is_option = !options_ended && argument.size() > 1 && argument[0] == L'-';
    if (!is_option) {
      if (symbols) Refuse(argument, L"unexpected argument: SYMBOLS are already given");
      symbols = argument;
      continue;
    }
    if (argument == L"--") {
      options_ended = true;
    } else if (argument == L"--list-devices") {
      command.action = Action::kListDevices;
    } else if (argument == L"-v") {
      command.verbose = true;
    } else if (TakesValue(argument.substr(0, 2))) {
      const std::wstring option = argument.substr(0, 2);
      std::wstring value = argument.substr(2);  // -t100 as well as -t 100
      if (value.empty()) {
        if (++i == arguments.size()) Refuse(option, L"needs a value");
        value = arguments[i];
      }
      if (option == L"-o") {
        if (value.empty()) Refuse(option, L"needs a file name");
        command.output_path = value;
      } else if (option == L"-t") {
        command.tone_ms = ParseLength(option, value);
      } else if (option == L"-g") {
        gap_ms = ParseLength(option, value);
      } else if (option == L"-r") {
        command.sample_rate = ParseRate(option, value);
      } else {
        if (value.empty()) Refuse(option, L"needs a device number or name");
        command.device = value;
      }
    } else {
      Refuse(argument, L"unknown option (see dtmf --help)");
    }
  }
  command.gap_ms = gap_ms.value_or(command.tone_ms);
  if (command.action == Action::kListDevices) return command;
  if (!symbols) throw UsageError(L"dtmf: SYMBOLS: missing (the keys to dial, or - to read them)");
  command.symbols_from_stdin = *symbols == L"-";
  if (!command.symbols_from_stdin) command.symbols = *symbols;
  if (!command.output_path.empty()) {
    if (command.device) Refuse(L"-d", L"cannot be used with -o: a file has no device");
    command.action = Action::kWrite;
  }
  return command;
}

}  // namespace dtmf_tool
