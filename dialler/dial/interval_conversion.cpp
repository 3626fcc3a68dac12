#include "dialler/dial/interval_conversion.h"

#include <cmath>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/full_width.h"

namespace {

// Unicode's space separators (Zs), the line and paragraph separators and the
// control characters that count as white space: what a paste from a web page
// or a word processor may leave around a number.
constexpr std::wstring_view kWhiteSpace =
    L" \t\n\v\f\r\u0085\u00A0\u1680\u2000\u2001\u2002\u2003\u2004\u2005\u2006\u2007"
    L"\u2008\u2009\u200A\u2028\u2029\u202F\u205F\u3000";

bool IsSpace(wchar_t c) { return kWhiteSpace.find(c) != std::wstring_view::npos; }

// The characters a Japanese input method types in full-width mode, folded to
// ASCII; every other character is returned unchanged.
wchar_t FoldFullWidth(wchar_t c) {
  if (c == L'\u2212') return L'-';  // MINUS SIGN, which some IMEs produce for '-'
  return FoldFullWidthForm(c);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Checks the grammar over folded ASCII and returns the text for strtod, or
// an empty string when it is not a number.
std::string ValidNumberText(std::wstring_view text) {
  std::string ascii;
  ascii.reserve(text.size());
  for (wchar_t c : text) {
    const wchar_t folded = FoldFullWidth(c);
    if (folded > 0x7F) return {};
    ascii.push_back(static_cast<char>(folded));
  }

  size_t i = 0;
  if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
  size_t digits = 0;
  while (i < ascii.size() && IsDigit(ascii[i])) ++i, ++digits;
  if (i < ascii.size() && ascii[i] == '.') {
    ++i;
    while (i < ascii.size() && IsDigit(ascii[i])) ++i, ++digits;
  }
  if (digits == 0) return {};
  if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
    ++i;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < ascii.size() && IsDigit(ascii[i])) ++i, ++exponent_digits;
    if (exponent_digits == 0) return {};
  }
  if (i != ascii.size()) return {};
  return ascii;
}

}  // namespace

std::optional<double> ParseIntervalNumber(std::wstring_view text) {
  while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);

  const std::string number = ValidNumberText(text);
  if (number.empty()) return std::nullopt;
  // The grammar above admits nothing locale-dependent but the decimal point,
  // and the program never leaves the "C" locale, so strtod reads it exactly.
  // Overflow gives an infinity and underflow a zero, both as they should.
  return std::strtod(number.c_str(), nullptr);
}

std::optional<std::int32_t> RoundToInt32(double value) {
  const double rounded = std::nearbyint(value);  // default rounding: ties to even
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return std::nullopt;
  return static_cast<std::int32_t>(rounded);
}
