#include "tools/dtmf/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include "zelnor/signal/keypad.h"

namespace dtmf_tool {
namespace {

constexpr uint32_t kSampleRates[] = {ZELNOR_SAMPLE_RATES};

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

// The jobs dtmf does, one per run, as bits: which an option belongs to.
enum Job : unsigned {
  kDial = 1,         // play SYMBOLS, or write them with -o
  kDecode = 2,       // --decode
  kListen = 4,       // --listen
  kMask = 8,         // --mask
  kListDevices = 16  // --list-devices
};

struct Option;

// The command so far, and what the reading has seen.
struct Reading {
  Command command;
  bool gap_given = false;              // -g has set the gap apart from the tone
  const Option* job_option = nullptr;  // the option that chose the job; none: dialling
  std::vector<const Option*> given;    // every option on the line, in order
};

// What an option takes, which decides how its value is read, checked and
// described in the help.
enum class Kind {
  kFlag,          // no value
  kRequest,       // no value, and it wins over everything else on the line
  kText,          // any non-empty text
  kMilliseconds,  // whole milliseconds within [lowest, highest]
  kLevel,         // dB in tenths within [lowest, highest], written without a plus
  kGain,          // dB in tenths within [lowest, highest], written with a plus
  kRate,          // one of ZELNOR_SAMPLE_RATES
};

// A value as read: the text as given and, for a number, its value.
struct Value {
  const std::wstring& text;
  int32_t number;
};

using Apply = void (*)(Reading& reading, const Value& value);

// A number's range and default.
struct Range {
  int32_t lowest = 0;
  int32_t highest = 0;
  int32_t fallback = 0;
};

// One option of dtmf.exe: everything the parser and the help know of it.
struct Option {
  std::wstring_view names;  // as the help lists them, ", " between
  std::wstring_view value;  // the value's name in the help; empty for none
  Kind kind;
  unsigned jobs;                    // the jobs it may be given with (Job bits)
  unsigned chooses;                 // the job it chooses, if it chooses one
  Range range;                      // kMilliseconds, kLevel, kGain, kRate
  std::wstring_view fallback_text;  // a default said in words instead
  std::wstring_view help;           // a '\n' starts a new line
  Apply apply;
};

// The rows of the table, by what they take.
Option Flag(std::wstring_view names, unsigned jobs, std::wstring_view help, Apply apply) {
  return {names, L"", Kind::kFlag, jobs, 0, {}, L"", help, apply};
}
Option Text(std::wstring_view names, std::wstring_view value, unsigned jobs, std::wstring_view help,
            Apply apply, std::wstring_view fallback_text = L"") {
  return {names, value, Kind::kText, jobs, 0, {}, fallback_text, help, apply};
}
// A number that shapes the dialled sound.
Option Number(std::wstring_view names, std::wstring_view value, Kind kind, Range range,
              std::wstring_view help, Apply apply, std::wstring_view fallback_text = L"") {
  return {names, value, kind, kDial, 0, range, fallback_text, help, apply};
}
// An option that chooses the job, with FILE (or no value).
Option Job(std::wstring_view names, std::wstring_view value, unsigned job, std::wstring_view help,
           Apply apply) {
  return {names, value, value.empty() ? Kind::kFlag : Kind::kText, job, job, {}, L"", help, apply};
}
Option Request(std::wstring_view names, std::wstring_view help, Apply apply) {
  return {names, L"", Kind::kRequest, ~0u, 0, {}, L"", help, apply};
}

// What --mask-with takes, in the library's order.
constexpr std::wstring_view kReplacements[] = {L"silence", L"noise", L"beep"};
static_assert(ZELNOR_MASK_SILENCE == 0 && ZELNOR_MASK_NOISE == 1 && ZELNOR_MASK_BEEP == 2);

// Each option once. The help lists them in this order; the ranges and
// defaults are the library's.
const Option kOptions[] = {
    Text(L"-o", L"FILE.wav", kDial | kMask,
         L"write the tones (with --mask: the masked recording) to a WAV file instead of playing "
         L"them\n(-o - writes it to standard output)",
         [](Reading& r, const Value& v) { r.command.output_path = v.text; }),
    Number(L"-t", L"MS", Kind::kMilliseconds,
           {ZELNOR_MIN_INTERVAL_MS, ZELNOR_MAX_INTERVAL_MS, kDefaultToneMs}, L"length of each tone",
           [](Reading& r, const Value& v) { r.command.options.tone_ms = v.number; }),
    Number(
        L"-g", L"MS", Kind::kMilliseconds, {ZELNOR_MIN_INTERVAL_MS, ZELNOR_MAX_INTERVAL_MS},
        L"silence after each tone",
        [](Reading& r, const Value& v) {
          r.command.options.gap_ms = v.number;
          r.gap_given = true;
        },
        L"as -t"),
    Number(L"--pause", L"MS", Kind::kMilliseconds,
           {ZELNOR_MIN_INTERVAL_MS, ZELNOR_MAX_INTERVAL_MS, ZELNOR_DEFAULT_PAUSE_MS},
           L"silence each ',' stands for",
           [](Reading& r, const Value& v) { r.command.options.pause_ms = v.number; }),
    Number(L"--lead-in", L"MS", Kind::kMilliseconds, {ZELNOR_MIN_SILENCE_MS, ZELNOR_MAX_SILENCE_MS},
           L"silence before the first tone",
           [](Reading& r, const Value& v) { r.command.options.lead_in_ms = v.number; }),
    Number(L"--tail", L"MS", Kind::kMilliseconds, {ZELNOR_MIN_SILENCE_MS, ZELNOR_MAX_SILENCE_MS},
           L"silence after the last tone",
           [](Reading& r, const Value& v) { r.command.options.tail_ms = v.number; }),
    Number(L"-r", L"RATE", Kind::kRate, {0, 0, ZELNOR_DEFAULT_SAMPLE_RATE}, L"sample rate",
           [](Reading& r, const Value& v) {
             r.command.options.sample_rate = static_cast<uint32_t>(v.number);
           }),
    Number(L"-l", L"DBFS", Kind::kLevel,
           {ZELNOR_MIN_LEVEL_DB10, ZELNOR_MAX_LEVEL_DB10, ZELNOR_DEFAULT_LEVEL_DB10}, L"peak level",
           [](Reading& r, const Value& v) { r.command.options.level_db10 = v.number; }),
    Number(L"--twist", L"DB", Kind::kGain,
           {ZELNOR_MIN_TWIST_DB10, ZELNOR_MAX_TWIST_DB10, ZELNOR_DEFAULT_TWIST_DB10},
           L"high group over low group",
           [](Reading& r, const Value& v) { r.command.options.twist_db10 = v.number; }),
    Job(L"--decode", L"FILE", kDecode,
        L"print the DTMF digits heard in a WAV file (- reads standard input)",
        [](Reading& r, const Value& v) {
          r.command.action = Action::kDecode;
          r.command.recording = v.text;
        }),
    Job(L"--listen", L"", kListen,
        L"print the DTMF digits heard on an input device as they come, until Ctrl+C",
        [](Reading& r, const Value&) { r.command.action = Action::kListen; }),
    Text(L"--until", L"SYMBOL", kListen, L"with --listen: stop once SYMBOL is heard",
         [](Reading& r, const Value& v) {
           const wchar_t typed = v.text[0];
           const char symbol = typed < 0x80 ? static_cast<char>(std::toupper(typed)) : '\0';
           if (v.text.size() != 1 || !zelnor::TonesFor(symbol)) {
             Refuse(L"--until", L"expected one of 0-9, A-D, * and #, not '" + v.text + L"'");
           }
           r.command.until = symbol;
         }),
    Flag(L"--times", kDecode | kListen,
         L"print a line per digit heard: start and end in seconds, the digit, and the channel "
         L"(from 1) when there are several",
         [](Reading& r, const Value&) { r.command.digit_format = DigitFormat::kTimes; }),
    Flag(L"--json", kDecode | kListen | kMask,
         L"print a JSON object per digit heard (with --mask: per span masked)",
         [](Reading& r, const Value&) { r.command.digit_format = DigitFormat::kJson; }),
    Job(L"--mask", L"FILE", kMask,
        L"write a WAV file (-o) with the DTMF tones taken out, the same in every other way, and "
        L"print each span masked: start and end in seconds (and the channel); never the digit",
        [](Reading& r, const Value& v) {
          r.command.action = Action::kMask;
          r.command.recording = v.text;
        }),
    Text(
        L"--mask-with", L"HOW", kMask, L"with --mask: silence, noise or beep",
        [](Reading& r, const Value& v) {
          const auto found = std::find(std::begin(kReplacements), std::end(kReplacements), v.text);
          if (found == std::end(kReplacements)) {
            Refuse(L"--mask-with", L"expected silence, noise or beep, not '" + v.text + L"'");
          }
          r.command.replacement = static_cast<uint32_t>(found - std::begin(kReplacements));
        },
        L"silence"),
    Text(
        L"-d", L"DEVICE", kDial | kListen,
        L"output device (input device with --listen): its number or part of its name",
        [](Reading& r, const Value& v) { r.command.device = v.text; }, L"the system's choice"),
    Job(L"--list-devices", L"", kListDevices,
        L"list the output devices with their numbers, then the input devices (\"in 0\", ...)",
        [](Reading& r, const Value&) { r.command.action = Action::kListDevices; }),
    Flag(L"-q", kDial | kMask, L"show no progress while playing (with --mask: print nothing)",
         [](Reading& r, const Value&) { r.command.quiet = true; }),
    Flag(L"-v", kDial | kListen | kMask, L"say what is dialled and what was done",
         [](Reading& r, const Value&) { r.command.verbose = true; }),
    Request(L"-h, --help, /?, -?, /help", L"show this text",
            [](Reading& r, const Value&) { r.command.action = Action::kHelp; }),
    Request(L"--version", L"show the version",
            [](Reading& r, const Value&) { r.command.action = Action::kVersion; }),
};

// The names the help shows: the first three at most; the rest are
// accepted spellings (-? and /help for people used to other tools).
constexpr size_t kShownNames = 3;

std::vector<std::wstring_view> Names(const Option& option) {
  std::vector<std::wstring_view> names;
  std::wstring_view rest = option.names;
  while (!rest.empty()) {
    const size_t comma = rest.find(L", ");
    names.push_back(rest.substr(0, comma));
    rest = comma == std::wstring_view::npos ? std::wstring_view() : rest.substr(comma + 2);
  }
  return names;
}

bool Named(const Option& option, std::wstring_view name) {
  const std::vector<std::wstring_view> names = Names(option);
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The range an option's value must lie in, as the help and a refusal say it.
std::wstring RangeText(const Option& option) {
  switch (option.kind) {
    case Kind::kMilliseconds:
      return std::to_wstring(option.range.lowest) + L" to " +
             std::to_wstring(option.range.highest) + L" ms";
    case Kind::kLevel:
    case Kind::kGain: {
      const bool plus = option.kind == Kind::kGain;
      return DecibelText(option.range.lowest, plus) + L" to " +
             DecibelText(option.range.highest, plus) + (plus ? L" dB" : L" dBFS");
    }
    case Kind::kRate:
      return RatesText();
    default:
      return L"";
  }
}

// A number an option takes, as it is written on the command line.
std::wstring ValueText(const Option& option, int32_t number) {
  const bool decibels = option.kind == Kind::kLevel || option.kind == Kind::kGain;
  return decibels ? DecibelText(number, option.kind == Kind::kGain) : std::to_wstring(number);
}

// Reads `text` as the value `option` takes, or refuses it under `name`.
Value Read(const Option& option, const std::wstring& name, const std::wstring& text) {
  switch (option.kind) {
    case Kind::kText:
      if (text.empty()) Refuse(name, L"needs a value (" + std::wstring(option.value) + L")");
      return {text, 0};
    case Kind::kMilliseconds:
      if (const std::optional<int32_t> ms = ParseDecimal(text);
          ms && *ms >= option.range.lowest && *ms <= option.range.highest) {
        return {text, *ms};
      }
      Refuse(name, L"expected milliseconds from " + std::to_wstring(option.range.lowest) + L" to " +
                       std::to_wstring(option.range.highest) + L", not '" + text + L"'");
    case Kind::kLevel:
    case Kind::kGain: {
      if (const std::optional<int32_t> db10 = ParseTenths(text);
          db10 && *db10 >= option.range.lowest && *db10 <= option.range.highest) {
        return {text, *db10};
      }
      const bool plus = option.kind == Kind::kGain;
      Refuse(name, std::wstring(L"expected ") + (plus ? L"dB" : L"dBFS") + L" from " +
                       DecibelText(option.range.lowest, plus) + L" to " +
                       DecibelText(option.range.highest, plus) + L" in steps of 0.1, not '" + text +
                       L"'");
    }
    case Kind::kRate: {
      const std::optional<int32_t> rate = ParseDecimal(text);
      if (std::find(std::begin(kSampleRates), std::end(kSampleRates),
                    static_cast<uint32_t>(rate.value_or(0))) != std::end(kSampleRates)) {
        return {text, *rate};
      }
      Refuse(name, L"expected " + RatesText() + L", not '" + text + L"'");
    }
    default:
      return {text, 0};
  }
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

// --help and --version anywhere before "--" win over the rest of the line,
// which is not read: help first.
const Option* Request(const std::vector<std::wstring>& arguments) {
  const auto end = std::find(arguments.begin(), arguments.end(), L"--");
  for (const Option& option : kOptions) {
    if (option.kind != Kind::kRequest) continue;
    if (std::any_of(arguments.begin(), end,
                    [&](const std::wstring& argument) { return Named(option, argument); })) {
      return &option;
    }
  }
  return nullptr;
}

// The option an argument names, and the name as written; none for an
// unknown option.
std::pair<const Option*, std::wstring_view> Find(const std::wstring& argument) {
  for (const Option& option : kOptions) {
    for (std::wstring_view name : Names(option)) {
      const bool takes_value = !option.value.empty();
      if (argument == name || (takes_value && AttachedValue(name, argument))) {
        return {&option, name};
      }
    }
  }
  return {nullptr, {}};
}

// An option's help, filled out with its range and default and folded into
// the description column.
std::wstring HelpRows(const Option& option) {
  constexpr size_t kColumn = 18;
  constexpr size_t kWidth = 78;
  const std::vector<std::wstring_view> names = Names(option);
  std::wstring flag;
  for (size_t i = 0; i < std::min(names.size(), kShownNames); ++i) {
    flag += (i > 0 ? L", " : L"") + std::wstring(names[i]);
  }
  if (!option.value.empty()) flag += L" " + std::wstring(option.value);
  std::wstring text(option.help);
  const std::wstring range = RangeText(option);
  if (!range.empty()) text += (option.kind == Kind::kRate ? L": " : L", ") + range;
  if (!option.fallback_text.empty()) {
    text += L" (default: " + std::wstring(option.fallback_text) + L")";
  } else if (!range.empty()) {
    text += L" (default " + ValueText(option, option.range.fallback) + L")";
  }
  std::wstring rows = L"  " + flag;
  rows.resize(std::max(rows.size() + 1, kColumn), L' ');
  size_t line_start = rows.size() - kColumn;  // where the line being filled begins
  bool line_empty = true;
  const auto new_line = [&] {
    rows += L"\n";
    line_start = rows.size();
    rows += std::wstring(kColumn, L' ');
    line_empty = true;
  };
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find_first_of(L" \n", start), text.size());
    const std::wstring_view word = std::wstring_view(text).substr(start, end - start);
    if (!line_empty && rows.size() + 1 + word.size() > line_start + kWidth) new_line();
    rows += (line_empty ? L"" : L" ") + std::wstring(word);
    line_empty = false;
    if (end < text.size() && text[end] == L'\n') new_line();
    start = end + 1;
  }
  return rows + L"\n";
}

// The option's first name, as refusals call it.
std::wstring FirstName(const Option& option) { return std::wstring(Names(option).front()); }

// Keeps `option` as given, and the job it chooses: one job per run.
void Choose(Reading& reading, const Option& option) {
  reading.given.push_back(&option);
  if (option.chooses == 0) return;
  if (reading.job_option != nullptr && reading.job_option != &option) {
    Refuse(FirstName(option), L"cannot be used with " + FirstName(*reading.job_option));
  }
  reading.job_option = &option;
}

// Refuses an option given for a job it has no part in, by its first name:
// "-t: cannot be used with --decode", "--until: only with --listen".
void RequireJobs(const Reading& reading) {
  const unsigned job = reading.job_option != nullptr ? reading.job_option->chooses : kDial;
  for (const Option* option : reading.given) {
    if ((option->jobs & job) != 0) continue;
    if (reading.job_option != nullptr) {
      Refuse(FirstName(*option), L"cannot be used with " + FirstName(*reading.job_option));
    }
    std::vector<std::wstring> choosers;
    for (const Option& chooser : kOptions) {
      if ((chooser.chooses & option->jobs) != 0) choosers.push_back(FirstName(chooser));
    }
    std::wstring listed;
    for (size_t i = 0; i < choosers.size(); ++i) {
      listed += (i == 0 ? L"" : i + 1 == choosers.size() ? L" or " : L", ") + choosers[i];
    }
    Refuse(FirstName(*option), L"only with " + listed);
  }
}

}  // namespace

std::wstring UsageText() {
  std::wstring rows;
  for (const Option& option : kOptions) rows += HelpRows(option);
  return L"Usage: dtmf [options] SYMBOLS\n"
         L"       dtmf --decode FILE [--times | --json]\n"
         L"       dtmf --listen [-d DEVICE] [--until SYMBOL] [--times | --json]\n"
         L"       dtmf --mask FILE -o FILE.wav [--mask-with HOW] [--json | -q]\n"
         L"Plays SYMBOLS as DTMF tones and returns once they have been played.\n"
         L"SYMBOLS: 0-9, A-D, * and # dial, ',' is a pause, ';' waits for Enter,\n"
         L"anything else is skipped. A tel: link dials its number; - reads SYMBOLS\n"
         L"from standard input. --decode and --listen hear DTMF instead of making it;\n"
         L"--mask takes it out of a recording.\n"
         L"\n" +
         rows +
         L"\n"
         L"A value that looks like an option is taken only when attached (-o-v,\n"
         L"--pause=...); numbers such as -20 and a lone - are values.\n"
         L"\n"
         L"--decode and --mask read PCM (8 to 32-bit), float, A-law and mu-law WAV\n"
         L"files of any rate from 8000 to 48000 Hz, each channel on its own; --mask\n"
         L"writes the recording's own format back, every other chunk as it was.\n"
         L"\n"
         L"Exit status: 0 done, 1 failed (file, memory), 2 bad arguments or WAV, 3 device.\n";
}

Command ParseCommandLine(const std::vector<std::wstring>& arguments) {
  Reading reading;
  Command& command = reading.command;
  if (const Option* request = Request(arguments)) {
    request->apply(reading, Value{L"", 0});
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
    const auto [option, name_view] = Find(argument);
    if (!option) Refuse(argument, L"unknown option");
    const std::wstring name(name_view);
    Choose(reading, *option);
    if (option->value.empty()) {
      option->apply(reading, Value{argument, 0});
      continue;
    }
    const std::wstring text =
        argument == name ? NextValue(arguments, i, name) : *AttachedValue(name, argument);
    option->apply(reading, Read(*option, name, text));
  }
  if (!reading.gap_given) command.options.gap_ms = command.options.tone_ms;
  RequireJobs(reading);
  const bool hearing = command.action == Action::kDecode || command.action == Action::kListen;
  if (hearing || command.action == Action::kMask) {
    if (symbols) Refuse(*symbols, L"unexpected argument: nothing is dialled here");
  }
  if (command.action == Action::kMask && command.output_path.empty()) {
    Refuse(L"--mask", L"needs -o FILE.wav for the masked recording (-o - for standard output)");
  }
  if (command.action != Action::kPlay) return command;
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
