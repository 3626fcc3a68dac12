#include "zelnor/exports/masker_options.h"

#include <iterator>

#include "zelnor/zelnor_error.h"

namespace zelnor {

static_assert(ZELNOR_MIN_MASKER_RATE == kMaskerMinRate && ZELNOR_MAX_MASKER_RATE == kMaskerMaxRate,
              "the public rate range is the masker's");

MaskerSettings ToMaskerSettings(const ZelnorMaskerOptions* options, bool check_rate) {
  const auto refuse = [] { return ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "bad masker options"); };
  if (options == nullptr || options->cbSize != sizeof(ZelnorMaskerOptions)) throw refuse();
  constexpr Replacement kReplacements[] = {Replacement::kSilence, Replacement::kNoise,
                                           Replacement::kBeep};
  static_assert(ZELNOR_MASK_SILENCE == 0 && ZELNOR_MASK_NOISE == 1 && ZELNOR_MASK_BEEP == 2,
                "the public replacements index the masker's");
  if (options->replacement >= std::size(kReplacements)) throw refuse();
  if (check_rate &&
      (options->sample_rate < kMaskerMinRate || options->sample_rate > kMaskerMaxRate)) {
    throw refuse();
  }
  MaskerSettings settings{check_rate ? options->sample_rate : kMaskerMinRate};
  settings.replacement = kReplacements[options->replacement];
  return settings;
}

}  // namespace zelnor
