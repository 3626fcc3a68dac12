#pragma once
// What every exported call that reads a whole WAV recording does with the
// caller's ZelnorWaveInfo: checks it, fills it from what was read, and
// turns a refused recording or a failed read into the call's result.

#include "zelnor.h"
#include "zelnor/exports/caller_streams.h"
#include "zelnor/exports/system_error.h"
#include "zelnor/recording/wave_reader.h"

namespace zelnor {

inline void DescribeProblem(ZelnorWaveInfo& info, uint32_t problem, uint32_t value) {
  info.problem = problem;
  info.value = value;
  DescribeWaveProblem(problem, value, info.message, sizeof info.message);
}

// A source that could not be opened or read: ZELNOR_E_FILE, and the
// system's reason in the last error (errno) and in `info`.
inline int Unreadable(ZelnorWaveInfo& info, uint32_t error) {
  if (error == 0) error = ReadFaultError();  // never leave the caller at 0
  DescribeProblem(info, ZELNOR_WAVE_UNREADABLE, error);
  SetLastSystemError(error);
  return ZELNOR_E_FILE;
}

// Calls `read(info, summary)` with `info` checked (null allowed) and
// cleared; `read` returns a result and fills `summary` on ZELNOR_OK.
template <typename ReadWave>
int WaveCall(ZelnorWaveInfo* info, ReadWave&& read) {
  ZelnorWaveInfo ignored{};
  ignored.cbSize = sizeof ignored;
  if (info == nullptr) info = &ignored;
  if (info->cbSize != sizeof(ZelnorWaveInfo)) return ZELNOR_E_INVALID_ARGUMENT;
  *info = ZelnorWaveInfo{};
  info->cbSize = sizeof *info;
  WaveSummary summary;
  int result = ZELNOR_OK;
  try {
    result = read(*info, summary);
  } catch (const WaveError& error) {
    DescribeProblem(*info, error.problem(), error.value());
    return ZELNOR_E_BAD_WAVE;
  } catch (const ReadFailure& failure) {
    return Unreadable(*info, failure.error);
  }
  if (result != ZELNOR_OK) return result;
  info->format_tag = summary.format.format_tag;
  info->channels = summary.format.channels;
  info->sample_rate = summary.format.sample_rate;
  info->bits_per_sample = summary.format.bits_per_sample;
  info->frames = summary.frames;
  if (summary.truncated) DescribeProblem(*info, ZELNOR_WAVE_TRUNCATED, 0);
  return ZELNOR_OK;
}

}  // namespace zelnor
