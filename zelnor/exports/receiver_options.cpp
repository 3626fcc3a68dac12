#include "zelnor/exports/receiver_options.h"

#include "zelnor/zelnor_error.h"

namespace zelnor {

static_assert(ZELNOR_MIN_RECEIVER_RATE == kReceiverMinRate &&
                  ZELNOR_MAX_RECEIVER_RATE == kReceiverMaxRate,
              "the public rate range is the receiver's");
static_assert(ZELNOR_MIN_RECEIVER_LEVEL_DB10 == kReceiverLowestLevelDbm0 * 10 &&
                  ZELNOR_MAX_RECEIVER_LEVEL_DB10 == kReceiverHighestLevelDbm0 * 10 &&
                  ZELNOR_DEFAULT_RECEIVER_LEVEL_DB10 == kDefaultMinimumLevelDbm0 * 10,
              "the public level range is the receiver's");

ReceiverSettings ToReceiverSettings(const ZelnorReceiverOptions* options, bool check_rate) {
  const auto refuse = [] { return ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "bad receiver options"); };
  if (options == nullptr || options->cbSize != sizeof(ZelnorReceiverOptions)) throw refuse();
  if (options->digit == nullptr) throw refuse();
  if (options->reports == 0 || (options->reports & ~(ZELNOR_REPORT_STARTS | ZELNOR_REPORT_ENDS))) {
    throw refuse();
  }
  if (options->minimum_level_db10 < ZELNOR_MIN_RECEIVER_LEVEL_DB10 ||
      options->minimum_level_db10 > ZELNOR_MAX_RECEIVER_LEVEL_DB10) {
    throw refuse();
  }
  if (check_rate && (options->sample_rate < ZELNOR_MIN_RECEIVER_RATE ||
                     options->sample_rate > ZELNOR_MAX_RECEIVER_RATE)) {
    throw refuse();
  }
  ReceiverSettings settings{check_rate ? options->sample_rate : kReceiverMinRate};
  settings.minimum_level_dbm0 = options->minimum_level_db10 / 10.0;
  return settings;
}

}  // namespace zelnor
