#include "zelnor/signal/phase_sine.h"

namespace zelnor {
namespace {

constexpr double kHalfPi = 1.57079632679489661923;
constexpr uint32_t kQuarterTurn = 1u << 30;

// Taylor series to x^23 and x^22: on [0, pi/4] the first term left out is
// below 1e-23.
double SineNearZero(double x) {
  const double x2 = x * x;
  double sum = 0;
  for (int n = 23; n > 1; n -= 2) sum = (sum + 1) * x2 / -(n * (n - 1));
  return x * (sum + 1);
}

double CosineNearZero(double x) {
  const double x2 = x * x;
  double sum = 0;
  for (int n = 22; n > 0; n -= 2) sum = (sum + 1) * x2 / -(n * (n - 1));
  return sum + 1;
}

}  // namespace

double SineOfPhase(uint32_t phase) {
  const uint32_t quadrant = phase >> 30;
  const uint32_t within = phase & (kQuarterTurn - 1);
  // Folded to [0, 1/8 turn], where both series converge fastest.
  const bool upper_half = within > kQuarterTurn / 2;
  const uint32_t folded = upper_half ? kQuarterTurn - within : within;
  const double x = folded * (kHalfPi / kQuarterTurn);
  const double along = upper_half ? CosineNearZero(x) : SineNearZero(x);
  const double across = upper_half ? SineNearZero(x) : CosineNearZero(x);
  switch (quadrant) {
    case 0:
      return along;
    case 1:
      return across;
    case 2:
      return -along;
    default:
      return -across;
  }
}

}  // namespace zelnor
