#pragma once
// A caller's dial text and options as the sequence to play or render: the
// one road from the exported calls to the samples.

#include "zelnor.h"
#include "zelnor/signal/dtmf_sequence.h"

namespace zelnor {

// Reads `dial` as ReadDialSymbols does (zelnor/input/dial_text.h). Throws ZelnorError
// (ZELNOR_E_INVALID_ARGUMENT) for a null dial or invalid options.
DtmfSequence SequenceForDial(const char* dial, const ZelnorOptions* options);

}  // namespace zelnor
