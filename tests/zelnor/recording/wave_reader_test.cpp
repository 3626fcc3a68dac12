#include "zelnor/recording/wave_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/memory_streams.h"

namespace {

using zelnor_test::MemorySource;

// Bytes a read hands out, a few at a time as a pipe would.
constexpr size_t kPiece = 7;

using Bytes = std::vector<uint8_t>;

void Put(Bytes& bytes, uint64_t value, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& bytes, const char* text) { bytes.insert(bytes.end(), text, text + 4); }

// A fmt chunk; with `extensible` the tag moves into the subformat GUID.
Bytes FormatChunk(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits,
                  bool extensible = false) {
  Bytes chunk;
  PutText(chunk, "fmt ");
  Put(chunk, extensible ? 40 : 16, 4);
  Put(chunk, extensible ? 0xFFFE : tag, 2);
  Put(chunk, channels, 2);
  Put(chunk, rate, 4);
  const uint16_t align = static_cast<uint16_t>(channels * ((bits + 7) / 8));
  Put(chunk, uint64_t{rate} * align, 4);
  Put(chunk, align, 2);
  Put(chunk, bits, 2);
  if (extensible) {
    Put(chunk, 22, 2);
    Put(chunk, bits, 2);
    Put(chunk, 0, 4);  // channel mask
    Put(chunk, tag, 2);
    for (const int b : {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}) {
      chunk.push_back(static_cast<uint8_t>(b));
    }
  }
  return chunk;
}

Bytes Wave(const Bytes& format, const Bytes& data, uint32_t claimed_size) {
  Bytes file;
  PutText(file, "RIFF");
  Put(file, 4 + format.size() + 8 + data.size(), 4);
  PutText(file, "WAVE");
  file.insert(file.end(), format.begin(), format.end());
  PutText(file, "data");
  Put(file, claimed_size, 4);
  file.insert(file.end(), data.begin(), data.end());
  return file;
}

Bytes Wave(const Bytes& format, const Bytes& data) {
  return Wave(format, data, static_cast<uint32_t>(data.size()));
}

std::vector<float> ReadAll(zelnor::WaveReader& reader) {
  std::vector<float> all;
  std::vector<float> some(5 * reader.format().channels);
  while (const size_t frames = reader.Read(some.data(), 5)) {
    all.insert(all.end(), some.begin(), some.begin() + frames * reader.format().channels);
  }
  return all;
}

struct Form {
  const char* name;
  uint16_t tag;
  uint16_t bits;
  bool extensible;
  Bytes data;  // full scale up, half scale down, silence
  std::vector<float> heard;
};

Bytes Le(std::initializer_list<uint64_t> values, size_t bytes) {
  Bytes out;
  for (const uint64_t v : values) Put(out, v, bytes);
  return out;
}

// Samples as the machine (little-endian, IEEE) holds them.
template <typename Sample>
Bytes Raw(std::initializer_list<Sample> values) {
  Bytes out(values.size() * sizeof(Sample));
  std::memcpy(out.data(), values.begin(), out.size());
  return out;
}

const std::vector<float> kExact = {-1.0f, -0.5f, 0.0f};
const std::vector<Form> kForms = {
    {"pcm8", 1, 8, false, {0x00, 0x40, 0x80}, kExact},
    {"pcm16", 1, 16, false, Le({0x8000, 0xC000, 0}, 2), kExact},
    {"pcm24", 1, 24, false, Le({0x800000, 0xC00000, 0}, 3), kExact},
    {"pcm32", 1, 32, false, Le({0x80000000, 0xC0000000, 0}, 4), kExact},
    {"pcm24_extensible", 1, 24, true, Le({0x800000, 0xC00000, 0}, 3), kExact},
    {"float32", 3, 32, false, Raw({-1.0f, -0.5f, 0.0f}), kExact},
    {"float64_extensible", 3, 64, true, Raw({-1.0, -0.5, 0.0}), kExact},
    // Overs clip to full scale, NaN is silence.
    {"float32_overs", 3, 32, false, Raw({-3.0f, 2.0f, std::nanf("")}), {-1.0f, 1.0f, 0.0f}},
    // G.711's largest codes and its smallest step either side of zero.
    {"mu_law", 7, 8, false, {0x00, 0x80, 0xFF}, {-32124 / 32768.0f, 32124 / 32768.0f, 0.0f}},
    {"a_law", 6, 8, true, {0x2A, 0xAA, 0xD5}, {-32256 / 32768.0f, 32256 / 32768.0f, 8 / 32768.0f}},
};

TEST(WaveReader, DecodesEachSampleForm) {
  for (const Form& form : kForms) {
    MemorySource source(Wave(FormatChunk(form.tag, 1, 8000, form.bits, form.extensible), form.data),
                        kPiece);
    zelnor::WaveReader reader(source);
    EXPECT_EQ(reader.format().format_tag, form.tag) << form.name;
    EXPECT_EQ(ReadAll(reader), form.heard) << form.name;
    EXPECT_FALSE(reader.truncated()) << form.name;
  }
}

TEST(WaveReader, KeepsChannelsInterleavedAndSkipsOtherChunks) {
  Bytes format;
  PutText(format, "LIST");  // odd-sized, so padded to an even length
  Put(format, 3, 4);
  format.insert(format.end(), {'a', 'b', 'c', 0});
  const Bytes fmt = FormatChunk(1, 3, 48000, 16);
  format.insert(format.end(), fmt.begin(), fmt.end());
  MemorySource source(Wave(format, Le({0x4000, 0xC000, 0, 0, 0x4000, 0xC000}, 2)), kPiece);
  zelnor::WaveReader reader(source);
  EXPECT_EQ(reader.format().channels, 3);
  EXPECT_EQ(ReadAll(reader), (std::vector<float>{0.5f, -0.5f, 0, 0, 0.5f, -0.5f}));
}

TEST(WaveReader, DecodesWhatThereIsOfACutOffRecordingAndSaysSo) {
  // 2 frames claimed as 100, and an incomplete frame at the end.
  MemorySource source(Wave(FormatChunk(1, 2, 8000, 16), Le({1, 2, 3, 4, 5}, 2), 400), kPiece);
  zelnor::WaveReader reader(source);
  EXPECT_EQ(ReadAll(reader).size(), 4u);
  EXPECT_TRUE(reader.truncated());
}

TEST(WaveReader, ReadsAStreamOfUnknownSizeToTheEnd) {
  MemorySource source(Wave(FormatChunk(1, 1, 8000, 16), Le({1, 2, 3}, 2), 0xFFFFFFFF), kPiece);
  zelnor::WaveReader reader(source);
  EXPECT_EQ(ReadAll(reader).size(), 3u);
  EXPECT_FALSE(reader.truncated());
}

struct Refusal {
  const char* name;
  Bytes file;
  uint32_t problem;
  uint32_t value;
  const char* message;
};

Bytes Without(Bytes file, const char* id) {
  const auto at = std::search(file.begin(), file.end(), id, id + 4);
  *at = 'x';
  return file;
}

const Bytes kPcm16 = Wave(FormatChunk(1, 1, 8000, 16), Le({1, 2}, 2));

const std::vector<Refusal> kRefusals = {
    {"empty", {}, ZELNOR_WAVE_NOT_RIFF, 0, "not a WAV file (no RIFF/WAVE header)"},
    {"not_wave", Without(kPcm16, "WAVE"), ZELNOR_WAVE_NOT_RIFF, 0, nullptr},
    {"no_fmt", Without(kPcm16, "fmt "), ZELNOR_WAVE_NO_FORMAT, 0, nullptr},
    {"no_data", Without(kPcm16, "data"), ZELNOR_WAVE_NO_DATA, 0, "no 'data' chunk"},
    {"mp3", Wave(FormatChunk(0x55, 1, 8000, 16), {}), ZELNOR_WAVE_UNSUPPORTED_FORMAT, 0x55,
     "format 0x0055 (MPEG Layer 3) is not supported"},
    {"unnamed_tag", Wave(FormatChunk(0x1234, 1, 8000, 16), {}), ZELNOR_WAVE_UNSUPPORTED_FORMAT,
     0x1234, "format 0x1234 is not supported"},
    {"float16", Wave(FormatChunk(3, 1, 8000, 16), {}), ZELNOR_WAVE_UNSUPPORTED_BITS, 16,
     "16-bit samples are not supported in this format"},
    {"no_channels", Wave(FormatChunk(1, 0, 8000, 16), {}), ZELNOR_WAVE_NO_CHANNELS, 0, nullptr},
    {"too_many_channels", Wave(FormatChunk(1, 1025, 8000, 16), {}), ZELNOR_WAVE_BAD_SIZE, 1025,
     nullptr},
    {"rate_low", Wave(FormatChunk(1, 1, 7999, 16), {}), ZELNOR_WAVE_RATE_OUT_OF_RANGE, 7999,
     "sample rate 7999 Hz is outside 8000..48000 Hz"},
    {"rate_high", Wave(FormatChunk(1, 1, 48001, 16), {}), ZELNOR_WAVE_RATE_OUT_OF_RANGE, 48001,
     nullptr},
};

TEST(WaveReader, RefusesWhatItCannotDecodeNamingTheReason) {
  for (const Refusal& refusal : kRefusals) {
    MemorySource source(refusal.file, kPiece);
    try {
      zelnor::WaveReader reader(source);
      ADD_FAILURE() << refusal.name << " was read";
    } catch (const zelnor::WaveError& error) {
      EXPECT_EQ(error.problem(), refusal.problem) << refusal.name;
      EXPECT_EQ(error.value(), refusal.value) << refusal.name;
      if (refusal.message == nullptr) continue;
      char text[128];
      zelnor::DescribeWaveProblem(error.problem(), error.value(), text, sizeof text);
      EXPECT_STREQ(text, refusal.message) << refusal.name;
    }
  }
}

}  // namespace
