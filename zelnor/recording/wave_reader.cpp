#include "zelnor/recording/wave_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "zelnor/heard_samples.h"
#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/recording/sample_formats.h"
#include "zelnor/wave_format.h"

namespace zelnor {
namespace {

// Tags people meet in WAV files, so a refusal can name what the file holds.
struct TagName {
  uint16_t tag;
  const char* name;
};
constexpr TagName kTagNames[] = {
    {0x0002, "Microsoft ADPCM"},     {0x0011, "IMA ADPCM"},
    {0x0022, "TrueSpeech"},          {0x0031, "GSM 6.10"},
    {0x0040, "G.721 ADPCM"},         {0x0050, "MPEG"},
    {0x0055, "MPEG Layer 3"},        {0x0064, "G.726 ADPCM"},
    {0x0065, "G.722 ADPCM"},         {0x00FF, "AAC"},
    {0x0161, "Windows Media Audio"}, {0x1610, "HE-AAC"},
    {0x2000, "Dolby AC-3"},          {0xF1AC, "FLAC"},
};

// KSDATAFORMAT_SUBTYPE_* GUIDs are the format tag followed by these 14 bytes.
constexpr uint8_t kSubformatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

// A fmt chunk longer than this is not a WAV header.
constexpr uint32_t kMaxFormatBytes = 1024;
// A data size a writer that could not seek back leaves in the header.
constexpr uint32_t kUnknownSize = 0xFFFFFFFF;
// Bytes read from the source at a time, so memory stays flat in the length.
constexpr size_t kReadBytes = 32768;

// One place that throws, rather than an exception built at every check.
[[noreturn]] void Refuse(uint32_t problem, uint32_t value) { throw WaveError(problem, value); }

uint32_t Little(const uint8_t* at, size_t bytes) {
  uint32_t value = 0;
  for (size_t i = bytes; i-- > 0;) value = value << 8 | at[i];
  return value;
}

// Reads past `count` bytes; false when the source ends first.
bool Skip(ByteSource& source, uint64_t count, std::vector<uint8_t>& scratch) {
  while (count > 0) {
    const size_t step = static_cast<size_t>(std::min<uint64_t>(count, scratch.size()));
    if (ReadFully(source, scratch.data(), step) != step) return false;
    count -= step;
  }
  return true;
}

// Full scale of the 16-bit samples decoded on the fast path.
constexpr float kInt16Scale = 1.0f / 32768;

// How each sample of a frame is held, for a format the reader decodes.
const SampleFormat& SampleFormatOf(const WaveFormat& format) {
  if (format.channels == 0) Refuse(ZELNOR_WAVE_NO_CHANNELS, 0);
  if (format.channels > kMaxWaveChannels) {
    Refuse(ZELNOR_WAVE_BAD_SIZE, format.channels);
  }
  if (format.sample_rate < kReceiverMinRate || format.sample_rate > kReceiverMaxRate) {
    Refuse(ZELNOR_WAVE_RATE_OUT_OF_RANGE, format.sample_rate);
  }
  const size_t bytes = format.block_align / format.channels;
  const bool fits =
      format.block_align % format.channels == 0 && (format.bits_per_sample + 7u) / 8u == bytes;
  if (!IsKnownSampleTag(format.format_tag)) {
    Refuse(ZELNOR_WAVE_UNSUPPORTED_FORMAT, format.format_tag);
  }
  if (!fits) Refuse(ZELNOR_WAVE_BAD_SIZE, format.block_align);
  const SampleFormat* sample_format = FindSampleFormat(format.format_tag, bytes);
  if (sample_format == nullptr) Refuse(ZELNOR_WAVE_UNSUPPORTED_BITS, format.bits_per_sample);
  return *sample_format;
}

WaveFormat ReadFormat(const uint8_t* chunk, uint32_t size) {
  if (size < 16) Refuse(ZELNOR_WAVE_BAD_SIZE, size);
  WaveFormat format;
  format.format_tag = static_cast<uint16_t>(Little(chunk, 2));
  format.channels = static_cast<uint16_t>(Little(chunk + 2, 2));
  format.sample_rate = Little(chunk + 4, 4);
  format.block_align = static_cast<uint16_t>(Little(chunk + 12, 2));
  format.bits_per_sample = static_cast<uint16_t>(Little(chunk + 14, 2));
  if (format.format_tag == kWaveFormatExtensible) {
    // cbSize, valid bits and channel mask come before the subformat GUID.
    if (size < 40) Refuse(ZELNOR_WAVE_BAD_SIZE, size);
    const uint8_t* subformat = chunk + 24;
    format.format_tag = static_cast<uint16_t>(Little(subformat, 2));
    if (Little(subformat + 2, 2) != 0 ||
        std::memcmp(subformat + 2, kSubformatTail, sizeof kSubformatTail) != 0) {
      Refuse(ZELNOR_WAVE_UNSUPPORTED_FORMAT, kWaveFormatExtensible);
    }
  }
  return format;
}

}  // namespace

size_t ReadFully(ByteSource& source, uint8_t* bytes, size_t count) {
  size_t got = 0;
  while (got < count) {
    const size_t read = source.Read(bytes + got, count - got);
    if (read == 0) break;
    got += read;
  }
  return got;
}

WaveReader::WaveReader(ByteSource& source) : source_(source), bytes_(kReadBytes) {
  uint8_t header[12];
  if (ReadFully(source_, header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "WAVE", 4) != 0) {
    Refuse(ZELNOR_WAVE_NOT_RIFF, 0);
  }
  bool have_format = false;
  for (;;) {
    uint8_t chunk[8];
    if (ReadFully(source_, chunk, 8) != 8) {
      Refuse(have_format ? ZELNOR_WAVE_NO_DATA : ZELNOR_WAVE_NO_FORMAT, 0);
    }
    const uint32_t size = Little(chunk + 4, 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size > kMaxFormatBytes) Refuse(ZELNOR_WAVE_BAD_SIZE, size);
      uint8_t body[kMaxFormatBytes + 1];
      const uint32_t padded = size + (size & 1);
      if (ReadFully(source_, body, padded) != padded) Refuse(ZELNOR_WAVE_NO_DATA, 0);
      format_ = ReadFormat(body, size);
      sample_format_ = &SampleFormatOf(format_);
      have_format = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!have_format) Refuse(ZELNOR_WAVE_NO_FORMAT, 0);
      to_the_end_ = size == kUnknownSize;
      data_left_ = size;
      break;
    } else if (!Skip(source_, size + (size & 1ull), bytes_)) {
      Refuse(have_format ? ZELNOR_WAVE_NO_DATA : ZELNOR_WAVE_NO_FORMAT, 0);
    }
  }
  // A frame of the widest format must fit in one read.
  bytes_.resize(std::max<size_t>(kReadBytes, format_.block_align));
}

size_t WaveReader::ReadBytes(uint8_t* bytes, size_t max_frames) {
  const size_t frame_bytes = format_.block_align;
  size_t want = max_frames * frame_bytes;
  if (!to_the_end_) want = std::min<size_t>(want, data_left_ - data_left_ % frame_bytes);
  if (want == 0) return 0;
  const size_t got = ReadFully(source_, bytes, want);
  if (got < want) {
    // Nothing more will come.
    truncated_ = !to_the_end_;
    to_the_end_ = false;
    data_left_ = 0;
  } else if (!to_the_end_) {
    data_left_ -= static_cast<uint32_t>(got);
  }
  return got;
}

size_t WaveReader::Read(float* samples, size_t max_frames) {
  const size_t frame_bytes = format_.block_align;
  const size_t got = ReadBytes(bytes_.data(), std::min(max_frames, bytes_.size() / frame_bytes));
  const size_t frames = got / frame_bytes;
  const size_t sample_bytes = frame_bytes / format_.channels;
  const size_t count = frames * format_.channels;
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
  constexpr bool kLittleEndian = false;
#else
  constexpr bool kLittleEndian = true;
#endif
  // 16-bit PCM, by far the commonest, straight from the bytes: they are the
  // host's own samples (the buffer is aligned for them).
  if (kLittleEndian && sample_bytes == 2) {
    Int16ToFloats(reinterpret_cast<const int16_t*>(bytes_.data()), count, kInt16Scale, samples);
    return frames;
  }
  for (size_t i = 0; i < count; ++i) {
    samples[i] = SignalValue(sample_format_->decode(&bytes_[i * sample_bytes]));
  }
  return frames;
}

void DescribeWaveProblem(uint32_t problem, uint32_t value, char* text, size_t size) {
  // Built by hand: the C library's formatted printing would double the
  // DLL's share of this reader.
  std::string_view pieces[5];
  char number[12];
  const auto decimal = [&] {
    size_t at = sizeof number;
    do number[--at] = static_cast<char>('0' + value % 10);
    while ((value /= 10) != 0);
    return std::string_view(number + at, sizeof number - at);
  };
  const auto hex = [&] {
    for (int i = 0; i < 4; ++i) number[i] = "0123456789ABCDEF"[(value >> (12 - 4 * i)) & 0xF];
    return std::string_view(number, 4);
  };
  switch (problem) {
    case ZELNOR_WAVE_TRUNCATED:
      pieces[0] = "the data ends before the size its header gives";
      break;
    case ZELNOR_WAVE_NOT_RIFF:
      pieces[0] = "not a WAV file (no RIFF/WAVE header)";
      break;
    case ZELNOR_WAVE_NO_FORMAT:
      pieces[0] = "no 'fmt ' chunk before the samples";
      break;
    case ZELNOR_WAVE_NO_DATA:
      pieces[0] = "no 'data' chunk";
      break;
    case ZELNOR_WAVE_UNSUPPORTED_FORMAT:
      pieces[0] = "format 0x";
      pieces[1] = hex();
      pieces[2] = " is not supported";
      for (const TagName& tag : kTagNames) {
        if (tag.tag != value) continue;
        pieces[2] = " (";
        pieces[3] = tag.name;
        pieces[4] = ") is not supported";
      }
      break;
    case ZELNOR_WAVE_UNSUPPORTED_BITS:
      pieces[0] = decimal();
      pieces[1] = "-bit samples are not supported in this format";
      break;
    case ZELNOR_WAVE_NO_CHANNELS:
      pieces[0] = "the header gives 0 channels";
      break;
    case ZELNOR_WAVE_BAD_SIZE:
      pieces[0] = "the header gives an impossible size (";
      pieces[1] = decimal();
      pieces[2] = ")";
      break;
    case ZELNOR_WAVE_UNREADABLE:
      pieces[0] = "the recording could not be read (system error ";
      pieces[1] = decimal();
      pieces[2] = ")";
      break;
    case ZELNOR_WAVE_RATE_OUT_OF_RANGE:
      pieces[0] = "sample rate ";
      pieces[1] = decimal();
      pieces[2] = " Hz is outside 8000..48000 Hz";
      break;
    default:
      break;
  }
  if (size == 0) return;
  size_t at = 0;
  for (const std::string_view piece : pieces) {
    at += piece.copy(text + at, size - 1 - at);
  }
  text[at] = '\0';
}

}  // namespace zelnor
