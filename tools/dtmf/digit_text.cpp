#include "tools/dtmf/digit_text.h"

#include <cstdio>
#include <iterator>

namespace dtmf_tool {

std::string DigitText(const ZelnorDigit& digit, uint32_t sample_rate, DigitFormat format,
                      bool several_channels) {
  const double start = static_cast<double>(digit.start_sample) / sample_rate;
  const double end = static_cast<double>(digit.end_sample) / sample_rate;
  const unsigned channel = digit.channel + 1;
  char text[96];
  switch (format) {
    case DigitFormat::kTimes:
      if (several_channels) {
        std::snprintf(text, std::size(text), "%.3f %.3f %c %u\n", start, end, digit.symbol,
                      channel);
      } else {
        std::snprintf(text, std::size(text), "%.3f %.3f %c\n", start, end, digit.symbol);
      }
      return text;
    case DigitFormat::kJson:
      std::snprintf(text, std::size(text),
                    "{\"digit\": \"%c\", \"start\": %.3f, \"end\": %.3f, \"channel\": %u}\n",
                    digit.symbol, start, end, channel);
      return text;
    default:
      return std::string(1, digit.symbol);
  }
}

}  // namespace dtmf_tool
