#include "zelnor/recording/sample_formats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "zelnor/wave_format.h"

namespace {

struct Coding {
  const char* name;
  uint16_t tag;
  uint16_t bytes;
};

const std::vector<Coding> kCodings = {
    {"pcm8", kWaveFormatPcm, 1},          {"pcm16", kWaveFormatPcm, 2},
    {"pcm24", kWaveFormatPcm, 3},         {"pcm32", kWaveFormatPcm, 4},
    {"float32", kWaveFormatIeeeFloat, 4}, {"float64", kWaveFormatIeeeFloat, 8},
    {"a_law", kWaveFormatALaw, 1},        {"mu_law", kWaveFormatMuLaw, 1},
};

bool IsNan(const Coding& coding, const uint8_t* at) {
  if (coding.tag != kWaveFormatIeeeFloat) return false;
  return std::isnan(zelnor::FindSampleFormat(coding.tag, coding.bytes)->decode(at));
}

// Every sample of up to 16 bits, and a fixed sample of random ones above;
// NaN, which no writer means, aside.
TEST(SampleFormats, EncodeGivesBackTheBytesDecoded) {
  std::mt19937_64 random(1);
  for (const Coding& coding : kCodings) {
    const zelnor::SampleFormat* format = zelnor::FindSampleFormat(coding.tag, coding.bytes);
    ASSERT_NE(format, nullptr) << coding.name;
    const bool every = coding.bytes <= 2;
    const uint64_t count = every ? uint64_t{1} << (8 * coding.bytes) : 1000000;
    for (uint64_t i = 0; i < count; ++i) {
      const uint64_t bits = every ? i : random();
      uint8_t sample[8];
      for (size_t b = 0; b < coding.bytes; ++b) sample[b] = static_cast<uint8_t>(bits >> (8 * b));
      if (IsNan(coding, sample)) continue;
      uint8_t back[8] = {};
      format->encode(format->decode(sample), back);
      ASSERT_EQ(std::memcmp(sample, back, coding.bytes), 0) << coding.name << " " << bits;
    }
  }
}

struct Encoding {
  const char* name;
  uint16_t tag;
  uint16_t bytes;
  double value;
  uint64_t code;
};

// Overs clip to the end codes, NaN is silence, values round to the nearest.
const std::vector<Encoding> kEncodings = {
    {"pcm8_over", kWaveFormatPcm, 1, 2.0, 0xFF},
    {"pcm16_over", kWaveFormatPcm, 2, -3.0, 0x8000},
    {"pcm16_nan", kWaveFormatPcm, 2, std::nan(""), 0},
    {"pcm16_rounds", kWaveFormatPcm, 2, 1.6 / 32768, 2},
    {"pcm24_over", kWaveFormatPcm, 3, 1.0, 0x7FFFFF},
    {"pcm32_over", kWaveFormatPcm, 4, -1.5, 0x80000000},
    {"a_law_over", kWaveFormatALaw, 1, 1.0, 0xAA},
    {"mu_law_over", kWaveFormatMuLaw, 1, -1.0, 0x00},
    {"mu_law_zero", kWaveFormatMuLaw, 1, 0.0, 0xFF},
};

TEST(SampleFormats, EncodesOversAndBetweenValuesToTheNearestCode) {
  for (const Encoding& encoding : kEncodings) {
    uint8_t sample[8] = {};
    zelnor::FindSampleFormat(encoding.tag, encoding.bytes)->encode(encoding.value, sample);
    uint64_t code = 0;
    for (size_t b = encoding.bytes; b-- > 0;) code = code << 8 | sample[b];
    EXPECT_EQ(code, encoding.code) << encoding.name;
  }
}

}  // namespace
