#include "tools/dtmf/digit_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using dtmf_tool::DigitFormat;

TEST(DigitText, PrintsEachFormatInSecondsWithChannelsFromOne) {
  const ZelnorDigit digit{'#', 1, 8000, 8400};  // 1.000 s to 1.050 s at 8 kHz
  const struct {
    DigitFormat format;
    bool several_channels;
    const char* text;
  } cases[] = {
      {DigitFormat::kLine, true, "#"},
      {DigitFormat::kTimes, false, "1.000 1.050 #\n"},
      {DigitFormat::kTimes, true, "1.000 1.050 # 2\n"},
      {DigitFormat::kJson, false,
       "{\"digit\": \"#\", \"start\": 1.000, \"end\": 1.050, \"channel\": 2}\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dtmf_tool::DigitText(digit, 8000, c.format, c.several_channels), c.text);
  }
}

TEST(SpanText, PrintsTimesAndTheChannelButNeverADigit) {
  const ZelnorMaskedSpan span{1, 16000, 16832};  // 1.000 s to 1.052 s at 16 kHz
  EXPECT_EQ(dtmf_tool::SpanText(span, 16000, DigitFormat::kLine, false), "1.000 1.052\n");
  EXPECT_EQ(dtmf_tool::SpanText(span, 16000, DigitFormat::kLine, true), "1.000 1.052 2\n");
  EXPECT_EQ(dtmf_tool::SpanText(span, 16000, DigitFormat::kJson, false),
            "{\"start\": 1.000, \"end\": 1.052, \"channel\": 2}\n");
}

// Stereo with the same digits on both channels reads as one press each; a
// key pressed again later, or another key at the same time, stays.
TEST(DigitText, OneLineCountsAKeyHeardOnSeveralChannelsOnce) {
  const std::vector<ZelnorDigit> heard = {
      {'D', 0, 100, 500},   {'D', 1, 120, 480},   {'9', 1, 790, 1190}, {'9', 0, 800, 1200},
      {'9', 1, 1400, 1800}, {'5', 0, 2000, 2400}, {'6', 1, 2000, 2400}};
  std::string line;
  for (const ZelnorDigit& digit : dtmf_tool::OncePerPress(heard)) line += digit.symbol;
  EXPECT_EQ(line, "D9956");
}

}  // namespace
