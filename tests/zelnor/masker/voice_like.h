#pragma once
// A voice-like signal for the masker's tests and benches: the harmonics of
// a pitch gliding about 90-240 Hz, shaped by two moving formants, in
// syllables four times a second. Now and then a harmonic crosses a keypad
// frequency.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelnor_test {

// `count` samples at `rate` with the power of a sine at `dbm0`; `seed`
// moves the glides and the syllables.
std::vector<int16_t> VoiceLike(size_t count, uint32_t rate, double dbm0, double seed);

}  // namespace zelnor_test
