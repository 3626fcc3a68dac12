#pragma once
// A WAV recording read as it arrives (a file or a pipe, never seeked), in
// bounded memory, its samples handed out as floats in -1.0..+1.0.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "zelnor.h"
#include "zelnor/byte_streams.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

// Fills all of `count` unless the source ends first; returns what it got.
size_t ReadFully(ByteSource& source, uint8_t* bytes, size_t count);

// What a WAV header says, with WAVE_FORMAT_EXTENSIBLE's subformat in place
// of its tag.
struct WaveFormat {
  uint16_t format_tag = 0;
  uint16_t channels = 0;
  uint32_t sample_rate = 0;
  uint16_t bits_per_sample = 0;
  uint16_t block_align = 0;
};

// What a whole recording held, once read to its end.
struct WaveSummary {
  WaveFormat format;
  uint64_t frames = 0;     // per channel
  bool truncated = false;  // the data ended before its header's size
};

// A recording the reader refuses: one of ZELNOR_WAVE_* and the value at
// fault (a format tag, a channel count, a rate or a size).
class WaveError : public ZelnorError {
 public:
  WaveError(uint32_t problem, uint32_t value)
      : ZelnorError(ZELNOR_E_BAD_WAVE, "unreadable WAV"), problem_(problem), value_(value) {}
  [[nodiscard]] uint32_t problem() const noexcept { return problem_; }
  [[nodiscard]] uint32_t value() const noexcept { return value_; }

 private:
  uint32_t problem_;
  uint32_t value_;
};

// Most channels a recording may have: each gets a receiver of its own.
inline constexpr uint16_t kMaxWaveChannels = 1024;

struct SampleFormat;

class WaveReader {
 public:
  // Reads the header up to the first sample. Throws WaveError for a
  // recording it cannot decode, ZelnorError when the source fails.
  explicit WaveReader(ByteSource& source);

  [[nodiscard]] const WaveFormat& format() const noexcept { return format_; }

  // Up to `max_frames` frames, interleaved by channel, into `samples`
  // (room for max_frames * channels). Returns the frames read, 0 at the end
  // of the data; an incomplete frame at the end is dropped.
  size_t Read(float* samples, size_t max_frames);

  // The bytes of up to `max_frames` frames, as the file holds them (room
  // for max_frames * block_align at `bytes`). Returns how many bytes it
  // read: 0 at the end of the data, and an incomplete last frame's only
  // where the data ends before its header's size or a stream ends.
  size_t ReadBytes(uint8_t* bytes, size_t max_frames);

  // Whether the data ended before the size its header gave.
  [[nodiscard]] bool truncated() const noexcept { return truncated_; }

 private:
  ByteSource& source_;
  WaveFormat format_;
  const SampleFormat* sample_format_ = nullptr;
  uint32_t data_left_ = 0;   // the header's size is 32 bits
  bool to_the_end_ = false;  // a stream's header that could not know the size
  bool truncated_ = false;
  std::vector<uint8_t> bytes_;
};

// The problem in one English sentence (NUL-terminated, cut to `size`).
void DescribeWaveProblem(uint32_t problem, uint32_t value, char* text, size_t size);

}  // namespace zelnor
