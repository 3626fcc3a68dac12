#include "zelnor/options.h"

#include "zelnor/interval.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

SequenceOptions ToSequenceOptions(const ZelnorOptions* options) {
  if (options == nullptr || options->cbSize != sizeof(ZelnorOptions) ||
      !IsLengthInRange(options->tone_ms) || !IsLengthInRange(options->gap_ms) ||
      !IsSupportedSampleRate(options->sample_rate) || options->level_db10 < ZELNOR_MIN_LEVEL_DB10 ||
      options->level_db10 > ZELNOR_MAX_LEVEL_DB10) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "invalid options");
  }
  return {options->tone_ms, options->gap_ms, options->sample_rate, options->level_db10 / 10.0};
}

ZelnorOptions PlayDtmfOptions(int32_t interval_ms) {
  return ZELNOR_OPTIONS_FOR_INTERVAL(ClampIntervalMs(interval_ms));
}

}  // namespace zelnor
