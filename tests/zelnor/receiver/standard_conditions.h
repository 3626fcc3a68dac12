#pragma once
// The conditions a DTMF receiver is judged by (ITU-T Q.24, ETSI ES 201 235-3)
// and our aims beyond them, each just inside or just outside its limit,
// with how many digits a receiver should hear in one trial of it.

#include <vector>

#include "line_signals.h"

namespace zelnor_test {

struct Condition {
  const char* name;
  LineTrial trial;  // the symbol is set per trial
  int fewest;       // digits heard
  int most;
  const char* requirement;  // which line of the standards or of our aims
};

const std::vector<Condition>& StandardConditions();

}  // namespace zelnor_test
