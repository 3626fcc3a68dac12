#include "zelnor/recording/wave_masker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "line_signals.h"
#include "tests/support/memory_streams.h"
#include "zelnor/recording/sample_formats.h"
#include "zelnor/recording/wave_decoder.h"
#include "zelnor/wave_format.h"

namespace {

using zelnor_test::MemorySink;
using zelnor_test::MemorySource;

using Bytes = std::vector<uint8_t>;

void Put(Bytes& bytes, uint64_t value, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutChunk(Bytes& bytes, const char* id, const Bytes& body) {
  bytes.insert(bytes.end(), id, id + 4);
  Put(bytes, body.size(), 4);
  bytes.insert(bytes.end(), body.begin(), body.end());
  if (body.size() % 2 != 0) bytes.push_back(0);
}

struct Form {
  const char* name;
  uint16_t tag;
  uint16_t bytes;  // per sample
  bool extensible;
  uint16_t channels;
  uint32_t rate;
};

const std::vector<Form> kForms = {
    {"pcm8", kWaveFormatPcm, 1, false, 1, 8000},
    {"pcm16", kWaveFormatPcm, 2, false, 1, 8000},
    {"pcm16_stereo_48k", kWaveFormatPcm, 2, false, 2, 48000},
    {"pcm24_stereo_extensible", kWaveFormatPcm, 3, true, 2, 8000},
    {"pcm32_48k", kWaveFormatPcm, 4, false, 1, 48000},
    {"float32", kWaveFormatIeeeFloat, 4, false, 1, 8000},
    {"float64_stereo_extensible", kWaveFormatIeeeFloat, 8, true, 2, 8000},
    {"a_law", kWaveFormatALaw, 1, false, 1, 8000},
    {"mu_law_stereo", kWaveFormatMuLaw, 1, false, 2, 8000},
};

Bytes FormatBody(const Form& form) {
  Bytes body;
  const auto align = static_cast<uint16_t>(form.channels * form.bytes);
  Put(body, form.extensible ? kWaveFormatExtensible : form.tag, 2);
  Put(body, form.channels, 2);
  Put(body, form.rate, 4);
  Put(body, uint64_t{form.rate} * align, 4);
  Put(body, align, 2);
  Put(body, 8u * form.bytes, 2);
  if (form.extensible) {
    Put(body, 22, 2);
    Put(body, 8u * form.bytes, 2);
    Put(body, 0, 4);  // channel mask
    Put(body, form.tag, 2);
    for (const int b : {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71}) {
      body.push_back(static_cast<uint8_t>(b));
    }
  }
  return body;
}

// A recording of `channels` (interleaved, full scale 32768) with chunks
// around the data as editors leave them, and where its samples start.
struct Recording {
  Bytes bytes;
  size_t data_at;
  size_t data_size;
};

Recording MakeRecording(const Form& form, const std::vector<std::vector<int16_t>>& channels) {
  Bytes data;
  const zelnor::SampleFormat& sample = *zelnor::FindSampleFormat(form.tag, form.bytes);
  for (size_t n = 0; n < channels[0].size(); ++n) {
    for (const std::vector<int16_t>& channel : channels) {
      uint8_t at[8];
      sample.encode(channel[n] / 32768.0, at);
      data.insert(data.end(), at, at + form.bytes);
    }
  }
  Bytes body;
  body.insert(body.end(), {'W', 'A', 'V', 'E'});
  PutChunk(body, "LIST", Bytes{'I', 'N', 'F', 'O', 'x'});  // odd: padded
  PutChunk(body, "fmt ", FormatBody(form));
  PutChunk(body, "bext", Bytes(32, 0x5A));
  const size_t data_at = body.size() + 16;
  PutChunk(body, "data", data);
  PutChunk(body, "cue ", Bytes{1, 0, 0, 0, 9, 9});
  Bytes file{'R', 'I', 'F', 'F'};
  Put(file, body.size(), 4);
  file.insert(file.end(), body.begin(), body.end());
  return {file, data_at, data.size()};
}

struct Masked {
  Bytes bytes;
  zelnor::WaveSummary result;
  std::vector<zelnor::MaskedWaveSpan> spans;
};

Masked Mask(const Bytes& file, size_t step = 4093) {
  MemorySource source(file, step);
  MemorySink sink;
  Masked masked;
  masked.result = zelnor::MaskWave(
      source, sink, {8000},
      [](void* context, const zelnor::MaskedWaveSpan& span) {
        static_cast<Masked*>(context)->spans.push_back(span);
      },
      &masked);
  masked.bytes = std::move(sink.written);
  return masked;
}

std::string Heard(const Bytes& file) {
  MemorySource source(file, 4093);
  std::string digits;
  zelnor::DecodeWave(
      source, {8000, -60},
      [](void* context, const zelnor::HeardDigit& digit, uint32_t, bool ended) {
        if (ended) *static_cast<std::string*>(context) += digit.symbol;
      },
      &digits);
  return digits;
}

// Quiet hum and hiss under everything, so that no two samples' bytes are
// alike by chance; no keypad pair in it.
std::vector<int16_t> Background(size_t count, uint32_t rate, uint32_t seed) {
  std::vector<int16_t> x(count);
  uint32_t state = seed;
  for (size_t n = 0; n < count; ++n) {
    state = state * 1664525u + 1013904223u;
    const double hiss = static_cast<double>(state >> 20) - 2048;
    x[n] = static_cast<int16_t>(std::lround(
        600 * std::sin(2 * 3.14159265358979 * 150.0 * static_cast<double>(n) / rate) + 0.2 * hiss));
  }
  return x;
}

// Each channel's tones: '5' on the first, '#' twice on the second.
struct Toned {
  std::vector<std::vector<int16_t>> channels;
  std::vector<zelnor_test::LineSignal> lines;
};

Toned MakeToned(const Form& form) {
  Toned toned;
  for (uint16_t c = 0; c < form.channels; ++c) {
    zelnor_test::LineTrial trial;
    trial.symbol = c == 0 ? '5' : '#';
    trial.pause_ms = c == 0 ? 0 : 200;
    toned.lines.push_back(zelnor_test::MakeLine(trial, form.rate, c + 1));
  }
  size_t length = 0;
  for (const auto& line : toned.lines) length = std::max(length, line.samples.size());
  length += form.rate / 3;
  for (uint16_t c = 0; c < form.channels; ++c) {
    std::vector<int16_t> x = Background(length, form.rate, c + 7);
    const std::vector<int16_t>& tones = toned.lines[c].samples;
    for (size_t n = 0; n < tones.size(); ++n) {
      x[n] = static_cast<int16_t>(std::clamp(x[n] + tones[n], -32768, 32767));
    }
    toned.channels.push_back(std::move(x));
  }
  return toned;
}

TEST(MaskWave, GivesBackARecordingWithoutTonesByteForByte) {
  for (const Form& form : kForms) {
    std::vector<std::vector<int16_t>> channels;
    for (uint16_t c = 0; c < form.channels; ++c) {
      channels.push_back(Background(form.rate / 2 + 7, form.rate, c + 3));
    }
    const Recording recording = MakeRecording(form, channels);
    const Masked masked = Mask(recording.bytes);
    EXPECT_EQ(masked.bytes, recording.bytes) << form.name;
    EXPECT_TRUE(masked.spans.empty()) << form.name;
    EXPECT_EQ(masked.result.frames, channels[0].size()) << form.name;
    EXPECT_FALSE(masked.result.truncated) << form.name;
  }
}

TEST(MaskWave, TakesOutEveryToneAndLeavesTheRestAsItWas) {
  for (const Form& form : kForms) {
    const Toned toned = MakeToned(form);
    const Recording recording = MakeRecording(form, toned.channels);
    ASSERT_FALSE(Heard(recording.bytes).empty()) << form.name;
    const Masked masked = Mask(recording.bytes);
    ASSERT_EQ(masked.bytes.size(), recording.bytes.size()) << form.name;
    const auto data = recording.bytes.begin() + static_cast<std::ptrdiff_t>(recording.data_at);
    const auto data_end = data + static_cast<std::ptrdiff_t>(recording.data_size);
    EXPECT_TRUE(std::equal(recording.bytes.begin(), data, masked.bytes.begin())) << form.name;
    EXPECT_TRUE(std::equal(data_end, recording.bytes.end(),
                           masked.bytes.end() - (recording.bytes.end() - data_end)))
        << form.name;
    EXPECT_EQ(Heard(masked.bytes), "") << form.name;

    // Each tone inside a span of its own channel, and every sample 100 ms
    // from all tones as it was.
    const size_t far = form.rate / 10;
    for (uint16_t c = 0; c < form.channels; ++c) {
      const zelnor_test::LineSignal& line = toned.lines[c];
      for (size_t t = 0; t < line.tone_starts.size(); ++t) {
        EXPECT_TRUE(std::any_of(masked.spans.begin(), masked.spans.end(),
                                [&](const auto& span) {
                                  return span.channel == c &&
                                         span.start_frame <= line.tone_starts[t] &&
                                         span.end_frame >= line.tone_ends[t];
                                }))
            << form.name << " channel " << c << " tone " << t;
      }
      size_t changed_far = 0;
      for (size_t n = 0; n < toned.channels[c].size(); ++n) {
        bool near = false;
        for (size_t t = 0; t < line.tone_starts.size(); ++t) {
          near = near || (n + far >= line.tone_starts[t] && n < line.tone_ends[t] + far);
        }
        const size_t at = recording.data_at + (n * form.channels + c) * form.bytes;
        if (!near &&
            !std::equal(recording.bytes.begin() + static_cast<std::ptrdiff_t>(at),
                        recording.bytes.begin() + static_cast<std::ptrdiff_t>(at + form.bytes),
                        masked.bytes.begin() + static_cast<std::ptrdiff_t>(at))) {
          ++changed_far;
        }
      }
      EXPECT_EQ(changed_far, 0u) << form.name << " channel " << c;
    }
  }
}

TEST(MaskWave, MasksACutOffRecordingAsFarAsItGoesAndSaysSo) {
  for (const Form& form : kForms) {
    const Recording recording = MakeRecording(form, MakeToned(form).channels);
    const Masked whole = Mask(recording.bytes);
    // Cut halfway through the data, inside a frame.
    const size_t cut = recording.data_at + recording.data_size / 2 / form.bytes * form.bytes + 1;
    const Bytes cut_off(recording.bytes.begin(),
                        recording.bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    const Masked masked = Mask(cut_off);
    EXPECT_TRUE(masked.result.truncated) << form.name;
    ASSERT_EQ(masked.bytes.size(), cut) << form.name;
    // The masker decides a sample on the 40 ms after it: before that, the
    // whole recording's output; in the incomplete frame, the input.
    const size_t same = cut - 1 - form.rate / 10 * form.channels * form.bytes;
    EXPECT_TRUE(std::equal(masked.bytes.begin(),
                           masked.bytes.begin() + static_cast<std::ptrdiff_t>(same),
                           whole.bytes.begin()))
        << form.name;
    EXPECT_EQ(masked.bytes.back(), cut_off.back()) << form.name;
  }
}

TEST(MaskWave, OutputIsTheSameHoweverTheSourceHandsOutItsBytes) {
  const Form& form = kForms[3];  // stereo, 3-byte samples: reads split samples and frames
  const Recording recording = MakeRecording(form, MakeToned(form).channels);
  const Masked expected = Mask(recording.bytes, recording.bytes.size());
  for (const size_t step : {size_t{1}, size_t{7}, size_t{1000}, size_t{65537}}) {
    EXPECT_EQ(Mask(recording.bytes, step).bytes, expected.bytes) << step;
  }
}

}  // namespace
