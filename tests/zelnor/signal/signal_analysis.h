#pragma once
// Measuring helpers for the tone tests: what the generator produced, looked
// at the way a receiver would.

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor_test {

// The whole sequence of a dial written in ASCII (commas pause); the first
// form plays tone and gap for one interval each.
std::vector<int16_t> Render(const std::string& symbols, int32_t interval_ms, uint32_t rate);
std::vector<int16_t> Render(const std::string& symbols, const zelnor::SequenceOptions& options);

// Hann-windowed correlation with a complex tone at `hz`, phase referenced to
// sample `first` of the whole signal; |result| is the tone's peak amplitude.
std::complex<double> ToneAt(const std::vector<int16_t>& x, size_t first, size_t count, double hz,
                            double rate);

// The strongest component of x[first, first + 2^k) farther than 80 Hz from
// both tones, in dB relative to `reference` (an amplitude): Kaiser window,
// beta 20, so the window's own leakage stays below a 16-bit signal's floor.
double WorstUnwantedDb(const std::vector<int16_t>& x, size_t first, size_t count_power_of_two,
                       double rate, double low_hz, double high_hz, double reference);

double Db(double ratio);

// Adds white Gaussian noise `snr_db` below `signal_power`; fixed seed.
std::vector<int16_t> AddNoise(const std::vector<int16_t>& x, double signal_power, double snr_db);
// Fourth-order Butterworth high-pass at 300 Hz then low-pass at 3400 Hz.
std::vector<int16_t> TelephoneBand(const std::vector<int16_t>& x, double rate);

}  // namespace zelnor_test
