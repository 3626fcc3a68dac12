#include "zelnor/receiver/goertzel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace zelnor {
namespace {

// Every version gives the plain sums bit for bit, so what is heard never
// depends on the processor; whatever a quarter's length modulo four (8 kHz
// makes quarters of 8, 11,025 Hz of 11, 48 kHz of 48).
TEST(Goertzel, EveryVersionGivesThePlainSumsExactly) {
  std::mt19937 random(7);
  std::normal_distribution<float> noise(0, 0.3f);
  const float c[kGoertzelTones] = {1.70f, 1.64f, 1.56f, 1.47f, 1.16f, 0.99f, 0.79f, 0.56f};
  GoertzelTurns turns;
  for (float* table :
       {&turns.s1_re[0][0], &turns.s1_im[0][0], &turns.s2_re[0][0], &turns.s2_im[0][0]}) {
    for (int i = 0; i < kGoertzelParts * kGoertzelTones; ++i) table[i] = noise(random);
  }
  for (const std::size_t part : {8, 9, 10, 11, 12, 22, 48}) {
    std::vector<float> x(kGoertzelParts * part);
    for (float& v : x) v = noise(random);
    float want_re[kGoertzelTones];
    float want_im[kGoertzelTones];
    CorrelatePlainly(x.data(), part, c, turns, want_re, want_im);
    const auto expect_same = [&](const char* version, auto correlate) {
      float re[kGoertzelTones];
      float im[kGoertzelTones];
      correlate(x.data(), part, c, turns, re, im);
      EXPECT_EQ(std::memcmp(re, want_re, sizeof re), 0) << version << ", quarters of " << part;
      EXPECT_EQ(std::memcmp(im, want_im, sizeof im), 0) << version << ", quarters of " << part;
    };
    expect_same("baseline", CorrelateOnBaseline);
    expect_same("chosen", ChooseCorrelator());
    if (CanCorrelateWithAvx()) expect_same("AVX", CorrelateWithAvx);
  }
}

}  // namespace
}  // namespace zelnor
