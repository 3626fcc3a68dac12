// Any UTF-16 text as the interval field: the reader never crashes, and what
// it accepts behaves like a number.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dialler/dial/interval_conversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  const std::optional<double> number = ParseIntervalNumber(text);
  if (!number) return 0;
  if (std::isnan(*number)) std::abort();  // the grammar has no NaN

  const std::optional<std::int32_t> interval = RoundToInt32(*number);
  if (interval) {
    // Within half a unit, and an accepted value reads back to itself.
    if (std::fabs(*number - *interval) > 0.5) std::abort();
    if (ParseIntervalNumber(std::to_wstring(*interval)) != static_cast<double>(*interval)) {
      std::abort();
    }
    // Surrounding white space never changes the result.
    if (ParseIntervalNumber(L"\u3000 " + text + L"\t") != number) std::abort();
  } else if (std::fabs(*number) < 2147483647.0) {
    std::abort();  // rejected although it fits
  }
  return 0;
}
