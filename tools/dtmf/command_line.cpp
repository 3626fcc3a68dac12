#include "tools/dtmf/command_line.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string_view>

namespace dtmf_tool {
namespace {

constexpr uint32_t kSampleRates[] = {ZELNOR_SAMPLE_RATES};
constexpr std::wstring_view kHelpRequests[] = {L"--help", L"-h", L"-?", L"/?", L"/help"};

[[noreturn]] void Refuse(const std::wstring& argument, const std::wstring& why) {
  throw UsageError(L"dtmf: " + argument + L": " + why);
}

std::wstring RatesText() {
  std::wstring text;
  for (size_t i = 0; i < std::size(kSampleRates); ++i) {
    if (i > 0) text += i + 1 == std::size(kSampleRates) ? L" or " : L", ";
    text += std::to_wstring(kSampleRates[i]);
  }
  return text;
}

// Tenths of a dB as people write them: "-20", "-20.5", "+4".
std::wstring DecibelText(int32_t db10, bool with_plus) {
  const std::wstring sign = db10 < 0 ? L"-" : (with_plus && db10 > 0 ? L"+" : L"");
  const int32_t magnitude = std::abs(db10);
  std::wstring text = sign + std::to_wstring(magnitude / 10);
  if (magnitude % 10 != 0) text += L"." + std::to_wstring(magnitude % 10);
  return text;
}

// Digits only, no sign or spaces; nothing for anything else or an overflow.
std::optional<int32_t> ParseDecimal(std::wstring_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int32_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + (c - L'0');
  }
  return value;
}

// An optional sign, digits and at most one decimal, in tenths.
std::optional<int32_t> ParseTenths(std::wstring_view text) {
  const bool negative = !text.empty() && text[0] == L'-';
  if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) text.remove_prefix(1);
  const size_t point = text.find(L'.');
  std::wstring_view fraction;
  if (point != std::wstring_view::npos) {
    fraction = text.substr(point + 1);
    text = text.substr(0, point);
    if (fraction.size() != 1) return std::nullopt;
  }
  const std::optional<int32_t> whole = ParseDecimal(text);
  const std::optional<int32_t> tenth = fraction.empty() ? 0 : ParseDecimal(fraction);
  if (!whole || !tenth || *whole > 100000) return std::nullopt;
  const int32_t value = *whole * 10 + *tenth;
  return negative ? -value : value;
}

int32_t ParseMilliseconds(const std::wstring& option, const std::wstring& text, int32_t lowest,
                          int32_t highest) {
  const std::optional<int32_t> ms = ParseDecimal(text);
  if (!ms || *ms < lowest || *ms > highest) {
    Refuse(option, L"expected milliseconds from " + std::to_wstring(lowest) + L" to " +
                       std::to_wstring(highest) + L", not '" + text + L"'");
  }
  return *ms;
}

int32_t ParseLength(const std::wstring& option, const std::wstring& text) {
  return ParseMilliseconds(option, text, ZELNOR_MIN_INTERVAL_MS, ZELNOR_MAX_INTERVAL_MS);
}

int32_t ParseSilence(const std::wstring& option, const std::wstring& text) {
  return ParseMilliseconds(option, text, ZELNOR_MIN_SILENCE_MS, ZELNOR_MAX_SILENCE_MS);
}

int32_t ParseDecibels(const std::wstring& option, const std::wstring& text, const wchar_t* unit,
                      int32_t lowest, int32_t highest) {
  const std::optional<int32_t> db10 = ParseTenths(text);
  if (!db10 || *db10 < lowest || *db10 > highest) {
    const bool signed_range = lowest < 0 && highest > 0;
    Refuse(option, std::wstring(L"expected ") + unit + L" from " +
                       DecibelText(lowest, signed_range) + L" to " +
                       DecibelText(highest, signed_range) + L" in steps of 0.1, not '" + text +
                       L"'");
  }
  return *db10;
}

uint32_t ParseRate(const std::wstring& option, const std::wstring& text) {
  const std::optional<int32_t> rate = ParseDecimal(text);
  const auto* found = std::find(std::begin(kSampleRates), std::end(kSampleRates),
                                static_cast<uint32_t>(rate.value_or(0)));
  if (found == std::end(kSampleRates)) {
    Refuse(option, L"expected " + RatesText() + L", not '" + text + L"'");
  }
  return *found;
}

// The command so far, and whether -g has set the gap apart from the tone.
struct Reading {
  Command command;
  bool gap_given = false;
};

// An option's name as written and the value given to it.
struct Value {
  const std::wstring& name;
  const std::wstring& text;
};

// What an option with a value does with it.
struct ValueOption {
  std::wstring_view name;
  void (*apply)(Reading& reading, const Value& value);
};

const ValueOption kValueOptions[] = {
    {L"-o",
     [](Reading& r, const Value& v) {
       if (v.text.empty()) Refuse(v.name, L"needs a file name, or - for standard output");
       r.command.output_path = v.text;
     }},
    {L"-t",
     [](Reading& r, const Value& v) { r.command.options.tone_ms = ParseLength(v.name, v.text); }},
    {L"-g",
     [](Reading& r, const Value& v) {
       r.command.options.gap_ms = ParseLength(v.name, v.text);
       r.gap_given = true;
     }},
    {L"-r",
     [](Reading& r, const Value& v) { r.command.options.sample_rate = ParseRate(v.name, v.text); }},
    {L"-d",
     [](Reading& r, const Value& v) {
       if (v.text.empty()) Refuse(v.name, L"needs a device number or name");
       r.command.device = v.text;
     }},
    {L"-l",
     [](Reading& r, const Value& v) {
       r.command.options.level_db10 =
           ParseDecibels(v.name, v.text, L"dBFS", ZELNOR_MIN_LEVEL_DB10, ZELNOR_MAX_LEVEL_DB10);
     }},
    {L"--twist",
     [](Reading& r, const Value& v) {
       r.command.options.twist_db10 =
           ParseDecibels(v.name, v.text, L"dB", ZELNOR_MIN_TWIST_DB10, ZELNOR_MAX_TWIST_DB10);
     }},
    {L"--lead-in",
     [](Reading& r, const Value& v) {
       r.command.options.lead_in_ms = ParseSilence(v.name, v.text);
     }},
    {L"--tail",
     [](Reading& r, const Value& v) { r.command.options.tail_ms = ParseSilence(v.name, v.text); }},
    {L"--pause",
     [](Reading& r, const Value& v) { r.command.options.pause_ms = ParseLength(v.name, v.text); }},
};

// One line of the option list, the descriptions in one column.
std::wstring Row(std::wstring_view flag, const std::wstring& description) {
  constexpr size_t kColumn = 18;
  std::wstring row = L"  " + std::wstring(flag);
  row.resize(std::max(row.size() + 1, kColumn), L' ');
  return row + description + L"\n";
}

bool IsLong(std::wstring_view name) { return name.size() > 2 && name[1] == L'-'; }

// The value written into the argument itself (-t100, --tail=300): taken as
// it stands, even when it starts with '-'.
std::optional<std::wstring> AttachedValue(std::wstring_view name, const std::wstring& argument) {
  if (argument.size() <= name.size() || argument.compare(0, name.size(), name) != 0) {
    return std::nullopt;
  }
  if (!IsLong(name)) return argument.substr(name.size());
  if (argument[name.size()] != L'=') return std::nullopt;
  return argument.substr(name.size() + 1);
}

// "-v" is an option; "-", "-20" and "-.5" are values.
bool LooksLikeAnOption(const std::wstring& text) {
  return text.size() > 1 && text[0] == L'-' && !(text[1] >= L'0' && text[1] <= L'9') &&
         text[1] != L'.';
}

std::wstring NextValue(const std::vector<std::wstring>& arguments, size_t& i,
                       const std::wstring& name) {
  if (++i == arguments.size()) Refuse(name, L"needs a value");
  const std::wstring& value = arguments[i];
  if (LooksLikeAnOption(value)) {
    const std::wstring written = IsLong(name) ? name + L"=" + value : name + value;
    Refuse(name, L"needs a value, not the option '" + value + L"'; write " + written +
                     L" if that is the value");
  }
  return value;
}

std::optional<Action> Request(const std::vector<std::wstring>& arguments) {
  for (const std::wstring& argument : arguments) {
    if (argument == L"--") break;
    if (std::find(std::begin(kHelpRequests), std::end(kHelpRequests), argument) !=
        std::end(kHelpRequests)) {
      return Action::kHelp;
    }
  }
  for (const std::wstring& argument : arguments) {
    if (argument == L"--") break;
    if (argument == L"--version") return Action::kVersion;
  }
  return std::nullopt;
}

}  // namespace

std::wstring UsageText() {
  const std::wstring lengths = std::to_wstring(ZELNOR_MIN_INTERVAL_MS) + L" to " +
                               std::to_wstring(ZELNOR_MAX_INTERVAL_MS) + L" ms";
  const std::wstring silences = std::to_wstring(ZELNOR_MIN_SILENCE_MS) + L" to " +
                                std::to_wstring(ZELNOR_MAX_SILENCE_MS) + L" ms (default 0)";
  return L"Usage: dtmf [options] SYMBOLS\n"
         L"Plays SYMBOLS as DTMF tones and returns once they have been played.\n"
         L"SYMBOLS: 0-9, A-D, * and # dial, ',' is a pause, ';' waits for Enter,\n"
         L"anything else is skipped. A tel: link dials its number; - reads SYMBOLS\n"
         L"from standard input.\n"
         L"\n" +
         Row(L"-o FILE.wav", L"write the tones to a WAV file instead of playing them") +
         Row(L"", L"(-o - writes it to standard output)") +
         Row(L"-t MS", L"length of each tone, " + lengths + L" (default " +
                           std::to_wstring(kDefaultToneMs) + L")") +
         Row(L"-g MS", L"silence after each tone, " + lengths + L" (default: as -t)") +
         Row(L"--pause MS", L"silence each ',' stands for, " + lengths + L" (default " +
                                std::to_wstring(ZELNOR_DEFAULT_PAUSE_MS) + L")") +
         Row(L"--lead-in MS", L"silence before the first tone, " + silences) +
         Row(L"--tail MS", L"silence after the last tone, " + silences) +
         Row(L"-r RATE", L"sample rate: " + RatesText() + L" (default " +
                             std::to_wstring(ZELNOR_DEFAULT_SAMPLE_RATE) + L")") +
         Row(L"-l DBFS", L"peak level, " + DecibelText(ZELNOR_MIN_LEVEL_DB10, false) + L" to " +
                             DecibelText(ZELNOR_MAX_LEVEL_DB10, false) + L" dBFS (default " +
                             DecibelText(ZELNOR_DEFAULT_LEVEL_DB10, false) + L")") +
         Row(L"--twist DB", L"high group over low group, " +
                                DecibelText(ZELNOR_MIN_TWIST_DB10, true) + L" to " +
                                DecibelText(ZELNOR_MAX_TWIST_DB10, true) + L" dB (default " +
                                DecibelText(ZELNOR_DEFAULT_TWIST_DB10, true) + L")") +
         Row(L"-d DEVICE", L"output device: its number or part of its name (default: the") +
         Row(L"", L"system's choice)") +
         Row(L"--list-devices", L"list the output devices with their numbers") +
         Row(L"-q", L"show no progress while playing") +
         Row(L"-v", L"say what is dialled and what was done") +
         Row(L"-h, --help, /?", L"show this text") + Row(L"--version", L"show the version") +
         L"\n"
         L"A value that looks like an option is taken only when attached (-o-v,\n"
         L"--pause=...); numbers such as -20 and a lone - are values.\n"
         L"\n"
         L"Exit status: 0 done, 1 failed (file, memory), 2 bad arguments, 3 device error.\n";
}

Command ParseCommandLine(const std::vector<std::wstring>& arguments) {
  Reading reading;
  Command& command = reading.command;
  if (const std::optional<Action> request = Request(arguments)) {
    command.action = *request;
    return command;
  }
  std::optional<std::wstring> symbols;
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
      continue;
    }
    if (argument == L"--list-devices") {
      command.action = Action::kListDevices;
      continue;
    }
    if (argument == L"-v" || argument == L"-q") {
      (argument == L"-v" ? command.verbose : command.quiet) = true;
      continue;
    }
    const auto* option = std::find_if(
        std::begin(kValueOptions), std::end(kValueOptions), [&](const ValueOption& candidate) {
          return argument == candidate.name || AttachedValue(candidate.name, argument);
        });
    if (option == std::end(kValueOptions)) Refuse(argument, L"unknown option");
    const std::wstring name(option->name);
    const std::wstring value =
        argument == name ? NextValue(arguments, i, name) : *AttachedValue(option->name, argument);
    option->apply(reading, Value{name, value});
  }
  if (!reading.gap_given) command.options.gap_ms = command.options.tone_ms;
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
