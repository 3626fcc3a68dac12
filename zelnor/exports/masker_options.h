#pragma once
// A caller's ZelnorMaskerOptions checked and turned into the masker's
// settings.

#include "zelnor.h"
#include "zelnor/masker/dtmf_masker.h"

namespace zelnor {

// Throws ZelnorError (ZELNOR_E_INVALID_ARGUMENT) for a null pointer, a
// wrong cbSize, an unknown replacement or a rate out of range. With
// `check_rate` false the rate is left for the recording to set. The span
// callback is the caller's business, not the masker's.
MaskerSettings ToMaskerSettings(const ZelnorMaskerOptions* options, bool check_rate);

}  // namespace zelnor
