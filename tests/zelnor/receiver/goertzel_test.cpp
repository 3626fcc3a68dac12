#include "zelnor/receiver/goertzel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace zelnor {
namespace {

// The recurrence and the quarters' sum as written, a tone at a time.
void Plainly(const float* x, std::size_t part, const float* c, const GoertzelTurns& turns,
             float* re, float* im) {
  for (int k = 0; k < kGoertzelTones; ++k) {
    re[k] = im[k] = 0;
    for (int q = 0; q < kGoertzelParts; ++q) {
      float s1 = 0;
      float s2 = 0;
      for (std::size_t i = 0; i < part; ++i) {
        const float s0 = (x[q * part + i] - s2) + c[k] * s1;
        s2 = s1;
        s1 = s0;
      }
      re[k] = re[k] + (s1 * turns.s1_re[q][k] - s2 * turns.s2_re[q][k]);
      im[k] = im[k] + (s1 * turns.s1_im[q][k] - s2 * turns.s2_im[q][k]);
    }
  }
}

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
    Plainly(x.data(), part, c, turns, want_re, want_im);
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
