#include "zelnor/input/options.h"

#include "zelnor/signal/interval.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

SequenceOptions ToSequenceOptions(const ZelnorOptions* options) {
  if (options == nullptr || options->cbSize != sizeof(ZelnorOptions) ||
      !IsSupportedSampleRate(options->sample_rate)) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "invalid options");
  }
  const SequenceOptions converted{options->tone_ms, options->gap_ms, options->sample_rate,
                                  options->level_db10 / 10.0};
  if (!IsInRange(converted)) throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "invalid options");
  return converted;
}

ZelnorOptions PlayDtmfOptions(int32_t interval_ms) {
  return ZELNOR_OPTIONS_FOR_INTERVAL(ClampIntervalMs(interval_ms));
}

}  // namespace zelnor
