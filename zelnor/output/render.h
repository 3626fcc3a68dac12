#pragma once
// A whole sequence into the caller's memory, for rendering without a device.

#include <cstdint>

#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// RenderDTMF's contract (zelnor.h) once the dial has been read: sets
// sample_count to the sequence's length and, when `samples` is given and
// has room for all of it, writes the samples. Returns ZELNOR_OK or
// ZELNOR_E_BUFFER_TOO_SMALL.
int RenderSequence(DtmfSequence& sequence, int16_t* samples, uint64_t& sample_count);

}  // namespace zelnor
