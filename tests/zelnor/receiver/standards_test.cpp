// The receiver against the standards' conditions for DTMF receivers, and
// our aims beyond them: each condition just inside and just outside its
// limit, for every symbol, at several block alignments and phases.

#include <gtest/gtest.h>

#include <string>

#include "standard_conditions.h"

namespace {

using zelnor_test::Condition;
using zelnor_test::LineTrial;

TEST(Standards, EachConditionHeardAsRequired) {
  for (const uint32_t rate : {8000u, 16000u, 48000u}) {
    for (const Condition& condition : zelnor_test::StandardConditions()) {
      for (const char symbol : std::string("123A456B789C*0#D")) {
        for (uint32_t seed = 0; seed < 2; ++seed) {
          LineTrial trial = condition.trial;
          trial.symbol = symbol;
          const std::string heard = zelnor_test::Symbols(
              zelnor_test::Hear(zelnor_test::MakeLine(trial, rate, seed).samples, rate, 160));
          const int count = static_cast<int>(heard.size());
          EXPECT_TRUE(count >= condition.fewest && count <= condition.most &&
                      heard == zelnor_test::ExpectedDigits(trial).substr(0, heard.size()))
              << condition.name << ", " << symbol << " at " << rate << " Hz, seed " << seed
              << ": heard \"" << heard << "\"";
        }
      }
    }
  }
}

}  // namespace
