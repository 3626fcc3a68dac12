#include "zelnor/exports/play_options.h"

#include "zelnor/signal/interval.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

SequenceOptions ToSequenceOptions(const ZelnorOptions* options) {
  if (options == nullptr ||
      (options->cbSize != sizeof(ZelnorOptions) && options->cbSize != ZELNOR_OPTIONS_V1_SIZE) ||
      !IsSupportedSampleRate(options->sample_rate)) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "invalid options");
  }
  SequenceOptions converted{options->tone_ms, options->gap_ms, options->sample_rate,
                            options->level_db10};
  // A first-layout caller's struct ends before these fields.
  if (options->cbSize == sizeof(ZelnorOptions)) {
    converted.pause_ms = options->pause_ms;
    converted.twist_db10 = options->twist_db10;
    converted.lead_in_ms = options->lead_in_ms;
    converted.tail_ms = options->tail_ms;
  }
  // The ranges are the generator's to check, once, as it is built.
  return converted;
}

ZelnorOptions PlayDtmfOptions(int32_t interval_ms) {
  return ZELNOR_OPTIONS_FOR_INTERVAL(ClampIntervalMs(interval_ms));
}

}  // namespace zelnor
