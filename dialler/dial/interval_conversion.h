#pragma once
// The interval field's text as the dial command reads it: first to a double,
// then to a signed 32-bit integer of milliseconds.

#include <cstdint>
#include <optional>
#include <string_view>

// Reads a decimal number: optional sign, digits with an optional fraction
// (".5" and "5." too), optional exponent. Surrounding white space (every
// Unicode space, the no-break and ideographic ones included) is ignored;
// full-width digits, signs, decimal point and exponent letters read as their
// ASCII forms. Anything else, the empty text included, is not a number.
std::optional<double> ParseIntervalNumber(std::wstring_view text);

// Rounds to the nearest integer, ties to even; empty when the result lies
// outside the int32 range (infinities included).
std::optional<std::int32_t> RoundToInt32(double value);
