#include "tools/dtmf/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/dtmf/dial_waits.h"

namespace {

using dtmf_tool::Action;
using dtmf_tool::Command;

// What a command line does, in a few words: the action, then every field
// that differs from a bare "dtmf SYMBOLS"; or the argument it is refused for.
std::wstring Outcome(const std::vector<std::wstring>& arguments) {
  Command command;
  try {
    command = dtmf_tool::ParseCommandLine(arguments);
  } catch (const dtmf_tool::UsageError& error) {
    const std::wstring& message = error.message();
    if (message.find(L'\n') != std::wstring::npos) return L"refused on two lines";
    const size_t named_end = message.find(L": ", 6);
    return L"refused " + message.substr(6, named_end - 6);
  }
  const Command plain;
  const ZelnorOptions& options = command.options;
  const ZelnorOptions& defaults = plain.options;
  std::wstring outcome = command.action == Action::kHelp          ? L"help"
                         : command.action == Action::kVersion     ? L"version"
                         : command.action == Action::kListDevices ? L"list devices"
                         : command.action == Action::kWrite       ? L"write"
                         : command.action == Action::kDecode      ? L"decode " + command.recording
                         : command.action == Action::kListen      ? L"listen"
                         : command.action == Action::kMask        ? L"mask " + command.recording
                                                                  : L"play";
  const auto field = [&outcome](bool differs, const std::wstring& text) {
    if (differs) outcome += L" " + text;
  };
  field(command.action == Action::kWrite || command.action == Action::kMask,
        L"to " + command.output_path);
  field(command.replacement != ZELNOR_MASK_SILENCE,
        L"with " + std::to_wstring(command.replacement));
  field(!command.symbols.empty(), L"'" + command.symbols + L"'");
  field(command.symbols_from_stdin, L"stdin");
  field(options.tone_ms != defaults.tone_ms, L"tone " + std::to_wstring(options.tone_ms));
  field(options.gap_ms != options.tone_ms, L"gap " + std::to_wstring(options.gap_ms));
  field(options.sample_rate != defaults.sample_rate,
        L"rate " + std::to_wstring(options.sample_rate));
  field(options.level_db10 != defaults.level_db10, L"level " + std::to_wstring(options.level_db10));
  field(options.twist_db10 != defaults.twist_db10, L"twist " + std::to_wstring(options.twist_db10));
  field(options.lead_in_ms != defaults.lead_in_ms,
        L"lead-in " + std::to_wstring(options.lead_in_ms));
  field(options.tail_ms != defaults.tail_ms, L"tail " + std::to_wstring(options.tail_ms));
  field(options.pause_ms != defaults.pause_ms, L"pause " + std::to_wstring(options.pause_ms));
  field(command.device.has_value(), L"device " + command.device.value_or(L""));
  field(command.verbose, L"verbose");
  field(command.quiet, L"quiet");
  field(command.digit_format == dtmf_tool::DigitFormat::kTimes, L"times");
  field(command.digit_format == dtmf_tool::DigitFormat::kJson, L"json");
  field(command.until != '\0', L"until " + std::wstring(1, command.until));
  return outcome;
}

TEST(DtmfCommandLine, ReadsEachCommandLineIntoWhatToDoOrRefusesItNamingTheArgument) {
  const struct {
    std::vector<std::wstring> arguments;
    std::wstring outcome;
  } cases[] = {
      {{L"123#"}, L"play '123#'"},
      {{L"-"}, L"play stdin"},
      {{L"/?"}, L"help"},
      {{L"-?"}, L"help"},
      {{L"-h"}, L"help"},
      {{L"/help"}, L"help"},
      {{L"1", L"-t", L"x", L"--help"}, L"help"},  // asking for help is never a mistake
      {{L"--", L"--help"}, L"play '--help'"},
      {{L"--version"}, L"version"},
      {{L"--list-devices"}, L"list devices"},
      {{L"-t", L"80", L"-r16000", L"-v", L"-o", L"out.wav", L"9"},
       L"write to out.wav '9' tone 80 rate 16000 verbose"},
      {{L"-g", L"400", L"-dUSB Head", L"-q", L"--", L"-5"},
       L"play '-5' gap 400 device USB Head quiet"},
      {{L"-o", L"-", L"1"}, L"write to - '1'"},
      {{L"-l", L"-20", L"1"}, L"play '1' level -200"},
      {{L"-l-20.5", L"1"}, L"play '1' level -205"},
      {{L"-l", L"-60", L"1"}, L"play '1' level -600"},
      {{L"--twist", L"-8", L"1"}, L"play '1' twist -80"},
      {{L"--twist=+4", L"1"}, L"play '1' twist 40"},
      {{L"--twist", L"0", L"1"}, L"play '1' twist 0"},
      {{L"--lead-in", L"300", L"--tail=10000", L"--pause", L"500", L"1"},
       L"play '1' lead-in 300 tail 10000 pause 500"},
      {{L"-o", L"-v", L"123"}, L"refused -o"},  // a forgotten value, not a file named -v
      {{L"-o-v", L"123"}, L"write to -v '123'"},
      {{L"--tail", L"-5", L"1"}, L"refused --tail"},
      {{L"--lead-in", L"10001", L"1"}, L"refused --lead-in"},
      {{L"--pause", L"39", L"1"}, L"refused --pause"},
      {{L"--pause", L"--tail=5", L"1"}, L"refused --pause"},
      {{L"-l", L"0.1", L"1"}, L"refused -l"},
      {{L"-l", L"-60.1", L"1"}, L"refused -l"},
      {{L"-l", L"-20.55", L"1"}, L"refused -l"},
      {{L"--twist", L"4.1", L"1"}, L"refused --twist"},
      {{L"--twist", L"-8.5", L"1"}, L"refused --twist"},
      {{L"-t", L"39", L"1"}, L"refused -t"},
      {{L"-t", L"10001", L"1"}, L"refused -t"},
      {{L"-g", L"-50", L"1"}, L"refused -g"},
      {{L"-t", L"4x", L"1"}, L"refused -t"},
      {{L"-t", L"99999999999", L"1"}, L"refused -t"},
      {{L"-r", L"22050", L"1"}, L"refused -r"},
      {{L"-t"}, L"refused -t"},
      {{L"-o", L"", L"1"}, L"refused -o"},
      {{L"-x", L"1"}, L"refused -x"},
      {{L"--tone=5", L"1"}, L"refused --tone=5"},
      {{L"--pauses=5", L"1"}, L"refused --pauses=5"},
      {{}, L"refused SYMBOLS"},
      {{L"-v"}, L"refused SYMBOLS"},
      {{L"12", L"34"}, L"refused 34"},
      {{L"-o", L"a.wav", L"-d", L"0", L"1"}, L"refused -d"},
      {{L"--decode", L"-"}, L"decode -"},
      {{L"--decode", L"call.wav", L"--times"}, L"decode call.wav times"},
      {{L"--listen", L"-d", L"2", L"--until", L"#", L"--json"}, L"listen device 2 json until #"},
      {{L"--listen", L"--until=d"}, L"listen until D"},
      {{L"--listen", L"--until", L"12"}, L"refused --until"},
      {{L"--decode", L"a.wav", L"--until", L"1"}, L"refused --until"},
      {{L"--times", L"123"}, L"refused --times"},
      {{L"--decode", L"a.wav", L"123"}, L"refused 123"},
      {{L"--decode", L"a.wav", L"-d", L"0"}, L"refused -d"},
      {{L"--listen", L"-o", L"a.wav"}, L"refused -o"},
      {{L"--mask", L"call.wav", L"-o", L"call.wav", L"-q"}, L"mask call.wav to call.wav quiet"},
      {{L"--mask=-", L"-o-", L"--mask-with", L"beep", L"--json"}, L"mask - to - with 2 json"},
      {{L"--mask", L"a.wav"}, L"refused --mask"},
      {{L"--mask", L"a.wav", L"-o", L"b.wav", L"--mask-with", L"hiss"}, L"refused --mask-with"},
      {{L"--mask", L"a.wav", L"-o", L"b.wav", L"--times"}, L"refused --times"},
      {{L"--mask", L"a.wav", L"-o", L"b.wav", L"-d", L"1"}, L"refused -d"},
      {{L"--mask-with", L"noise", L"123"}, L"refused --mask-with"},
      {{L"--decode", L"a.wav", L"--listen"}, L"refused --listen"},
      {{L"--decode", L"a.wav", L"--mask", L"b.wav"}, L"refused --mask"},
      {{L"-t", L"80", L"--decode", L"a.wav"}, L"refused -t"},
      {{L"--listen", L"-q"}, L"refused -q"},
  };
  for (const auto& [arguments, outcome] : cases) {
    EXPECT_EQ(Outcome(arguments), outcome) << (arguments.empty() ? L"" : arguments[0]).c_str();
  }
}

// The README shows `dtmf --help` in a fenced block after the line that
// names it; it must read exactly as the program prints it.
TEST(DtmfCommandLine, ReadmeShowsTheHelpAsTheProgramPrintsIt) {
  std::ifstream readme(DIALLER_README);
  ASSERT_TRUE(readme) << DIALLER_README;
  std::stringstream whole;
  whole << readme.rdbuf();
  const std::string text = whole.str();
  const size_t named = text.find("`dtmf --help`:");
  ASSERT_NE(named, std::string::npos);
  const size_t start = text.find("```\n", named) + 4;
  const std::string block = text.substr(start, text.find("```", start) - start);
  EXPECT_EQ(std::wstring(block.begin(), block.end()), dtmf_tool::UsageText());
}

TEST(DtmfDialWaits, ASemicolonInEitherWidthEndsAPart) {
  using Parts = std::vector<std::wstring_view>;
  EXPECT_EQ(dtmf_tool::SplitAtWaits(L"0312,,5678"), Parts({L"0312,,5678"}));
  EXPECT_EQ(dtmf_tool::SplitAtWaits(L"12;34\uFF1B#"), Parts({L"12", L"34", L"#"}));
  EXPECT_EQ(dtmf_tool::SplitAtWaits(L";1;"), Parts({L"", L"1", L""}));
}

}  // namespace
