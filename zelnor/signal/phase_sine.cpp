#include "zelnor/signal/phase_sine.h"

#include <cstddef>

namespace zelnor {
namespace {

constexpr double kHalfPi = 1.57079632679489661923;
constexpr uint32_t kQuarterTurn = 1u << 30;

// Taylor series to x^23 and x^22, as Horner factors 1 / (n (n - 1)): on
// [0, pi/4] the first term left out is below 1e-23.
constexpr size_t kTerms = 11;
constexpr double kSineFactors[kTerms] = {1.0 / (3 * 2),   1.0 / (5 * 4),   1.0 / (7 * 6),
                                         1.0 / (9 * 8),   1.0 / (11 * 10), 1.0 / (13 * 12),
                                         1.0 / (15 * 14), 1.0 / (17 * 16), 1.0 / (19 * 18),
                                         1.0 / (21 * 20), 1.0 / (23 * 22)};
constexpr double kCosineFactors[kTerms] = {1.0 / (2 * 1),   1.0 / (4 * 3),   1.0 / (6 * 5),
                                           1.0 / (8 * 7),   1.0 / (10 * 9),  1.0 / (12 * 11),
                                           1.0 / (14 * 13), 1.0 / (16 * 15), 1.0 / (18 * 17),
                                           1.0 / (20 * 19), 1.0 / (22 * 21)};

// 1 - f0 x2 (1 - f1 x2 (1 - ...)).
double Series(const double (&factors)[kTerms], double x2) {
  double sum = 1;
  for (size_t k = kTerms; k-- > 0;) sum = 1 - factors[k] * x2 * sum;
  return sum;
}

}  // namespace

SineAndCosine SineAndCosineOfPhase(uint32_t phase) {
  const uint32_t quadrant = phase >> 30;
  const uint32_t within = phase & (kQuarterTurn - 1);
  // Folded to [0, 1/8 turn], where both series converge fastest.
  const bool upper_half = within > kQuarterTurn / 2;
  const uint32_t folded = upper_half ? kQuarterTurn - within : within;
  const double x = folded * (kHalfPi / kQuarterTurn);
  const double sine = x * Series(kSineFactors, x * x);
  const double cosine = Series(kCosineFactors, x * x);
  // sin and cos of the angle within its quadrant.
  const double along = upper_half ? cosine : sine;
  const double across = upper_half ? sine : cosine;
  switch (quadrant) {
    case 0:
      return {along, across};
    case 1:
      return {across, -along};
    case 2:
      return {-along, -across};
    default:
      return {-across, along};
  }
}

}  // namespace zelnor
