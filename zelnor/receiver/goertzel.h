#pragma once
// The Goertzel recurrence s = (x - s2) + c s1 over a block, for the eight
// keypad frequencies at once, giving each frequency's correlation with the
// block. The block is run as four quarters side by side, each an
// independent chain, so that a processor keeps several in flight instead of
// waiting on each sample's result; each quarter's last two states, turned
// by the phase of its start, give its share of the correlation.
//
// Two versions, chosen at run time: the baseline every processor runs, and
// one for AVX. They give the same sums bit for bit (the same operations in
// the same order, only grouped into registers differently), so what is
// heard never depends on the processor.
//
// Only declarations and plain data here: the AVX version is compiled for
// AVX, and nothing it includes may leave behind an inline function that
// other code could end up using.

#include <cstddef>

namespace zelnor {

inline constexpr int kGoertzelTones = 8;
inline constexpr int kGoertzelParts = 4;

// Per quarter and frequency, how its last two states turn into its share of
// the correlation: s1 (s1_re + j s1_im) less s2 (s2_re + j s2_im).
struct GoertzelTurns {
  float s1_re[kGoertzelParts][kGoertzelTones];
  float s1_im[kGoertzelParts][kGoertzelTones];
  float s2_re[kGoertzelParts][kGoertzelTones];
  float s2_im[kGoertzelParts][kGoertzelTones];
};

// Writes the correlations (`re`, `im`, kGoertzelTones each) of the block at
// `x`: kGoertzelParts quarters of `part` samples; `c` holds each frequency's
// coefficient 2 cos w.
using Correlator = void (*)(const float* x, std::size_t part, const float* c,
                            const GoertzelTurns& turns, float* re, float* im);

// The fastest version this processor runs.
Correlator ChooseCorrelator();

// The versions ChooseCorrelator chooses between, for the test that they
// agree: the baseline (SSE2 on x86, else CorrelatePlainly), and AVX where
// CanCorrelateWithAvx says the processor and system run it.
void CorrelateOnBaseline(const float* x, std::size_t part, const float* c,
                         const GoertzelTurns& turns, float* re, float* im);
bool CanCorrelateWithAvx();
void CorrelateWithAvx(const float* x, std::size_t part, const float* c, const GoertzelTurns& turns,
                      float* re, float* im);
// The recurrence and the quarters' sum as written, a frequency at a time:
// what every version must match bit for bit.
void CorrelatePlainly(const float* x, std::size_t part, const float* c, const GoertzelTurns& turns,
                      float* re, float* im);

}  // namespace zelnor
