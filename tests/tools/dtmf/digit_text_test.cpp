#include "tools/dtmf/digit_text.h"

#include <gtest/gtest.h>

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

}  // namespace
