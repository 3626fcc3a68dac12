#include "tools/dtmf/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dtmf_tool::Action;
using dtmf_tool::Command;
using dtmf_tool::ParseCommandLine;
using dtmf_tool::UsageError;

// The error line for a command line that must be refused, or "" if taken.
std::wstring Refusal(const std::vector<std::wstring>& arguments) {
  try {
    ParseCommandLine(arguments);
    return L"";
  } catch (const UsageError& error) {
    return error.message();
  }
}

TEST(DtmfCommandLine, PlaysWithTheDefaultsWhenOnlySymbolsAreGiven) {
  const Command command = ParseCommandLine({L"123#"});
  EXPECT_EQ(command.action, Action::kPlay);
  EXPECT_EQ(command.symbols, L"123#");
  EXPECT_FALSE(command.symbols_from_stdin);
  EXPECT_EQ(command.tone_ms, 150);
  EXPECT_EQ(command.gap_ms, 150);
  EXPECT_EQ(command.sample_rate, 48000u);
  EXPECT_FALSE(command.device);
  EXPECT_FALSE(command.verbose);
}

TEST(DtmfCommandLine, TakesOptionValuesSeparateOrAttachedAndTheGapFollowsTheTone) {
  Command command = ParseCommandLine({L"-t", L"80", L"-r16000", L"-v", L"-o", L"out.wav", L"9"});
  EXPECT_EQ(command.action, Action::kWrite);
  EXPECT_EQ(command.output_path, L"out.wav");
  EXPECT_EQ(command.tone_ms, 80);
  EXPECT_EQ(command.gap_ms, 80);
  EXPECT_EQ(command.sample_rate, 16000u);
  EXPECT_TRUE(command.verbose);

  command = ParseCommandLine({L"-g", L"400", L"-dUSB Head", L"--", L"-5"});
  EXPECT_EQ(command.gap_ms, 400);
  EXPECT_EQ(command.tone_ms, 150);
  EXPECT_EQ(*command.device, L"USB Head");
  EXPECT_EQ(command.symbols, L"-5");  // after --, not an option
  EXPECT_FALSE(command.symbols_from_stdin);

  EXPECT_TRUE(ParseCommandLine({L"-"}).symbols_from_stdin);
  EXPECT_EQ(ParseCommandLine({L"--list-devices"}).action, Action::kListDevices);
  EXPECT_EQ(ParseCommandLine({L"1", L"-t", L"x", L"--help"}).action, Action::kHelp);
}

TEST(DtmfCommandLine, RefusesBadArgumentsInOneLineNamingTheArgument) {
  const struct {
    std::vector<std::wstring> arguments;
    std::wstring named;
  } cases[] = {
      {{L"-t", L"39", L"1"}, L"-t"},
      {{L"-t", L"10001", L"1"}, L"-t"},
      {{L"-g", L"-50", L"1"}, L"-g"},
      {{L"-t", L"4x", L"1"}, L"-t"},
      {{L"-t", L"99999999999", L"1"}, L"-t"},
      {{L"-r", L"22050", L"1"}, L"-r"},
      {{L"-t"}, L"-t"},
      {{L"-o", L"", L"1"}, L"-o"},
      {{L"-x", L"1"}, L"-x"},
      {{L"--tone=5", L"1"}, L"--tone=5"},
      {{}, L"SYMBOLS"},
      {{L"-v"}, L"SYMBOLS"},
      {{L"12", L"34"}, L"34"},
      {{L"-o", L"a.wav", L"-d", L"0", L"1"}, L"-d"},
  };
  for (const auto& [arguments, named] : cases) {
    const std::wstring message = Refusal(arguments);
    EXPECT_EQ(message.rfind(L"dtmf: " + named + L": ", 0), 0u) << message.c_str();
    EXPECT_EQ(message.find(L'\n'), std::wstring::npos);
  }
}

}  // namespace
