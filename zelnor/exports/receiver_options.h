#pragma once
// A caller's ZelnorReceiverOptions checked and turned into the receiver's
// settings.

#include "zelnor.h"
#include "zelnor/receiver/dtmf_receiver.h"

namespace zelnor {

// Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for a null pointer, a
// wrong cbSize, no digit callback, no report asked for, or a field out of
// range. With `check_rate` false the rate is left for the recording to set.
ReceiverSettings ToReceiverSettings(const ZelnorReceiverOptions* options, bool check_rate);

}  // namespace zelnor
