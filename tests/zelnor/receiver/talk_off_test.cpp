// Talk-off: speech and music must never sound like a digit. Real recordings
// from Debian's Asterisk prompt and music-on-hold packages, and espeak-ng
// voices rendered here, go through sox as raw samples into hear_raw.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string Shell(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
  }
  return output;
}

// Each WAV under the folders, through the sox `effects` (none: at its own
// rate; else at 8 kHz); every digit heard is printed after the file's name.
std::string DigitsIn(const std::string& folders, const std::string& effects = "") {
  const std::string rate = effects.empty() ? "$(soxi -r \"$f\")" : "8000";
  const std::string to_rate = effects.empty() ? "" : " -r 8000";
  return Shell("for f in $(find " + folders + " -name '*.wav' | sort); do sox \"$f\"" + to_rate +
               " -t raw -e signed -b 16 -c 1 - " + effects + " | " HEAR_RAW " " + rate +
               " | sed \"s|^|$f |\"; done");
}

TEST(TalkOff, NoDigitInPromptsOrMusic) {
  const std::string files =
      Shell("find /usr/share/asterisk/sounds /usr/share/asterisk/moh -name '*.wav' | wc -l");
  ASSERT_GT(std::stoi(files), 300) << "asterisk-core-sounds-en-wav and asterisk-moh-opsound-wav";
  EXPECT_EQ(DigitsIn("/usr/share/asterisk/sounds /usr/share/asterisk/moh"), "");
}

// Music on hold a semitone up or down puts partials near keypad pairs
// (832 and 1665 Hz, 2.3 % and 1.9 % off C's), as a badly tuned player does.
TEST(TalkOff, NoDigitInMusicShiftedASemitone) {
  for (const char* shift : {"pitch 100", "pitch -100"}) {
    EXPECT_EQ(DigitsIn("/usr/share/asterisk/moh", shift), "") << shift;
  }
}

TEST(TalkOff, NoDigitInSynthesisedVoices) {
  const std::string folder = testing::TempDir() + "talk_off_voices";
  const char* const kTexts[] = {
      "Please enter your account number, followed by the pound key.",
      "One two three four five six seven eight nine zero, star, hash.",
      "The quick brown fox jumps over the lazy dog; she sells sea shells.",
  };
  Shell("mkdir -p " + folder);
  int index = 0;
  for (const char* voice : {"en", "en-us", "de", "fr", "es", "en+f3", "en+m7"}) {
    for (const char* text : kTexts) {
      Shell("espeak-ng -v " + std::string(voice) + " -w " + folder + "/" + std::to_string(index++) +
            ".wav \"" + text + "\"");
    }
  }
  EXPECT_EQ(DigitsIn(folder), "");
}

}  // namespace
