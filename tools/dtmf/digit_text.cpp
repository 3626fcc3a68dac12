#include "tools/dtmf/digit_text.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

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

std::string SpanText(const ZelnorMaskedSpan& span, uint32_t sample_rate, DigitFormat format,
                     bool several_channels) {
  const double start = static_cast<double>(span.start_sample) / sample_rate;
  const double end = static_cast<double>(span.end_sample) / sample_rate;
  const unsigned channel = span.channel + 1;
  char text[96];
  if (format == DigitFormat::kJson) {
    std::snprintf(text, std::size(text), "{\"start\": %.3f, \"end\": %.3f, \"channel\": %u}\n",
                  start, end, channel);
  } else if (several_channels) {
    std::snprintf(text, std::size(text), "%.3f %.3f %u\n", start, end, channel);
  } else {
    std::snprintf(text, std::size(text), "%.3f %.3f\n", start, end);
  }
  return text;
}

std::vector<ZelnorDigit> OncePerPress(const std::vector<ZelnorDigit>& digits) {
  std::vector<ZelnorDigit> presses;
  // The latest digit each channel heard, kept or not.
  std::map<uint32_t, ZelnorDigit> latest;
  for (const ZelnorDigit& digit : digits) {
    const bool heard_elsewhere =
        std::any_of(latest.begin(), latest.end(), [&digit](const auto& entry) {
          const ZelnorDigit& other = entry.second;
          return entry.first != digit.channel && other.symbol == digit.symbol &&
                 other.start_sample < digit.end_sample && digit.start_sample < other.end_sample;
        });
    if (!heard_elsewhere) presses.push_back(digit);
    latest[digit.channel] = digit;
  }
  return presses;
}

}  // namespace dtmf_tool
