#include "dialler/dial/interval_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

enum class Outcome { kValue, kNotANumber, kOutOfRange };

struct Case {
  const wchar_t* text;
  Outcome outcome;
  std::int32_t value;  // when kValue
};

constexpr Outcome V = Outcome::kValue;
constexpr Outcome NaN = Outcome::kNotANumber;
constexpr Outcome Range = Outcome::kOutOfRange;

// Both steps together, as the dial command applies them.
const Case kCases[] = {
    // Plain and signed.
    {L"150", V, 150},
    {L"0", V, 0},
    {L"-5", V, -5},
    {L"+42", V, 42},
    {L"-0", V, 0},
    {L"007", V, 7},
    // Fractions round to nearest, ties to even.
    {L"1.4", V, 1},
    {L"1.6", V, 2},
    {L"0.5", V, 0},
    {L"1.5", V, 2},
    {L"2.5", V, 2},
    {L"-2.5", V, -2},
    {L"-3.5", V, -4},
    {L".5", V, 0},
    {L"5.", V, 5},
    {L"149.9999", V, 150},
    // Exponents.
    {L"1.5e2", V, 150},
    {L"15E1", V, 150},
    {L"1e-400", V, 0},
    {L"2e+3", V, 2000},
    {L"1e400", Range, 0},
    {L"-1e400", Range, 0},
    {L"1e9", V, 1000000000},
    {L"1e10", Range, 0},
    // The int32 edges, half a unit either side.
    {L"2147483647", V, 2147483647},
    {L"2147483647.4", V, 2147483647},
    {L"2147483647.5", Range, 0},  // ties to even: 2147483648
    {L"2147483648", Range, 0},
    {L"-2147483648", V, INT32_MIN},
    {L"-2147483648.5", V, INT32_MIN},  // ties to even stays in range
    {L"-2147483648.6", Range, 0},
    {L"-2147483649", Range, 0},
    // Full-width forms, as a Japanese input method types them.
    {L"\uFF11\uFF15\uFF10", V, 150},
    {L"\uFF0D\uFF15", V, -5},
    {L"\uFF11\uFF0E\uFF15\uFF45\uFF12", V, 150},
    {L"\uFF11\uFF25\uFF12", V, 100},
    {L"\u22127", V, -7},
    // White space around: ASCII, ideographic, no-break and the other Unicode spaces.
    {L"  150\t", V, 150},
    {L"\u3000150\u3000", V, 150},
    {L"\r\n8\n", V, 8},
    {L"\u00A0150\u00A0", V, 150},
    {L"\u2002\u2009\u202F150\u205F\u200A\u1680", V, 150},
    {L"\v\f\u0085\u2028150\u2029", V, 150},
    // Not numbers.
    {L"", NaN, 0},
    {L"   ", NaN, 0},
    {L"abc", NaN, 0},
    {L"15 0", NaN, 0},
    {L"150ms", NaN, 0},
    {L"0x10", NaN, 0},
    {L"&H10", NaN, 0},
    {L"NaN", NaN, 0},
    {L"Infinity", NaN, 0},
    {L"inf", NaN, 0},
    {L"1e", NaN, 0},
    {L"e5", NaN, 0},
    {L".", NaN, 0},
    {L"+", NaN, 0},
    {L"--5", NaN, 0},
    {L"1,000", NaN, 0},
    {L"1.2.3", NaN, 0},
    {L"\u0661\u0665\u0660", NaN, 0},  // Arabic-Indic digits are not ours to read
    {L"1\u00A050", NaN, 0},           // a space inside still splits the number
    {L"\u200B150", NaN, 0},           // zero-width space is not white space
};

std::string Describe(const wchar_t* text) {
  std::string out;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < 0x80) {
      out += static_cast<char>(*p);
    } else {
      char buffer[16];
      std::snprintf(buffer, sizeof(buffer), "\\u%04X", static_cast<unsigned>(*p));
      out += buffer;
    }
  }
  return "\"" + out + "\"";
}

}  // namespace

TEST(IntervalConversionTest, ReadsTheTableOfTexts) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(Describe(c.text));
    const std::optional<double> number = ParseIntervalNumber(c.text);
    if (c.outcome == NaN) {
      EXPECT_FALSE(number.has_value());
      continue;
    }
    ASSERT_TRUE(number.has_value());
    const std::optional<std::int32_t> interval = RoundToInt32(*number);
    if (c.outcome == Range) {
      EXPECT_FALSE(interval.has_value());
    } else {
      ASSERT_TRUE(interval.has_value());
      EXPECT_EQ(*interval, c.value);
    }
  }
}

TEST(IntervalConversionTest, RoundingRejectsInfinitiesAndNaN) {
  EXPECT_FALSE(RoundToInt32(HUGE_VAL));
  EXPECT_FALSE(RoundToInt32(-HUGE_VAL));
  EXPECT_FALSE(RoundToInt32(std::nan("")));
  EXPECT_EQ(RoundToInt32(-0.0), 0);
}

TEST(IntervalConversionTest, AVeryLongTextOfDigitsIsReadNotRejected) {
  const std::wstring many_zeros = L"1" + std::wstring(400, L'0') + L"e-398";
  EXPECT_EQ(RoundToInt32(*ParseIntervalNumber(many_zeros)), 100);
  EXPECT_FALSE(RoundToInt32(*ParseIntervalNumber(std::wstring(5000, L'9'))));
}
