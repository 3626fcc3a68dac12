#pragma once
// Streams a DTMF sequence into an open waveOut device a few short blocks at
// a time, so memory stays the same whatever the length of the string.

#include <windows.h>
#include <mmsystem.h>

#include "zelnor/dtmf_sequence.h"

namespace zelnor {

inline constexpr unsigned kBlockMs = 20;
inline constexpr unsigned kQueuedBlocks = 4;

// The device must have been opened with CALLBACK_EVENT on block_done.
// Returns once the last block has been played (ZELNOR_OK), once stop is
// signalled (ZELNOR_OK, the device reset), or when the device fails or
// stalls (ZELNOR_E_DEVICE). Never throws.
int StreamToWaveOut(HWAVEOUT device, HANDLE block_done, HANDLE stop, DtmfSequence& sequence) noexcept;

}  // namespace zelnor
