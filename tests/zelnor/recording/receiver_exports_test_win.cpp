// zelnor.dll's receiver calls, through the DLL itself: what the library
// renders is heard back exactly, fed directly, from a WAV file or from a
// caller's reads; what they refuse, and why.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "zelnor.h"

namespace {

struct Heard {
  std::string symbols;
  std::vector<ZelnorDigit> digits;
};

void ZELNOR_CALL Keep(void* context, const ZelnorDigit* digit) {
  auto& heard = *static_cast<Heard*>(context);
  heard.symbols += digit->symbol;
  heard.digits.push_back(*digit);
}

ZelnorReceiverOptions Listening(uint32_t rate, Heard& heard) {
  return ZELNOR_RECEIVER_OPTIONS(rate, &Keep, &heard);
}

ZelnorWaveInfo WaveInfo() {
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  return info;
}

constexpr char kDial[] = "0123456789ABCD*#";

struct Sound {
  const char* name;
  int32_t level_db10;
  int32_t twist_db10;
};

// The generator's loudest and quietest levels a receiver should hear, and
// both ends of its twist range.
const Sound kSounds[] = {
    {"default", ZELNOR_DEFAULT_LEVEL_DB10, ZELNOR_DEFAULT_TWIST_DB10},
    {"quiet", -300, 0},
    {"normal_twist", -60, ZELNOR_MIN_TWIST_DB10},
    {"reverse_twist", -60, ZELNOR_MAX_TWIST_DB10},
};

ZelnorOptions Shortest(uint32_t rate, const Sound& sound) {
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(ZELNOR_MIN_INTERVAL_MS);
  options.sample_rate = rate;
  options.level_db10 = sound.level_db10;
  options.twist_db10 = sound.twist_db10;
  options.lead_in_ms = 100;
  options.tail_ms = 100;
  return options;
}

std::vector<int16_t> Render(const char* dial, const ZelnorOptions& options) {
  uint64_t count = 0;
  EXPECT_EQ(RenderDTMF(dial, &options, nullptr, &count), ZELNOR_OK);
  std::vector<int16_t> samples(static_cast<size_t>(count));
  EXPECT_EQ(RenderDTMF(dial, &options, samples.data(), &count), ZELNOR_OK);
  return samples;
}

// Each digit within 10 ms (a quarter of the shortest tone) of where its tone was rendered.
void ExpectTimes(const Heard& heard, const ZelnorOptions& options, const std::string& where) {
  const uint64_t ms = options.sample_rate / 1000;
  for (size_t i = 0; i < heard.digits.size(); ++i) {
    const uint64_t start = ms * (options.lead_in_ms + i * (options.tone_ms + options.gap_ms));
    const ZelnorDigit& digit = heard.digits[i];
    EXPECT_NEAR(static_cast<double>(digit.start_sample), static_cast<double>(start), 10.0 * ms)
        << where << " digit " << i;
    EXPECT_NEAR(static_cast<double>(digit.end_sample),
                static_cast<double>(start + ms * options.tone_ms), 10.0 * ms)
        << where << " digit " << i;
  }
}

TEST(ReceiverCalls, HearWhatTheLibraryRendersAtEveryRateLevelAndTwist) {
  for (const uint32_t rate : {ZELNOR_SAMPLE_RATES}) {
    for (const Sound& sound : kSounds) {
      const std::string where = std::to_string(rate) + " Hz " + sound.name;
      const ZelnorOptions options = Shortest(rate, sound);
      const std::vector<int16_t> samples = Render(kDial, options);
      std::vector<float> floats(samples.size());
      std::transform(samples.begin(), samples.end(), floats.begin(),
                     [](int16_t s) { return s / 32768.0f; });
      Heard fed, fed_float, from_file;
      ZelnorReceiverOptions listening = Listening(rate, fed);
      ZelnorReceiver* receiver = nullptr;
      ASSERT_EQ(CreateDTMFReceiver(&listening, &receiver), ZELNOR_OK);
      // Uneven chunks, as a device or a network hands them out.
      for (size_t at = 0; at < samples.size(); at += 333) {
        const size_t count = std::min<size_t>(333, samples.size() - at);
        ASSERT_EQ(FeedDTMFReceiver(receiver, samples.data() + at, count), ZELNOR_OK);
      }
      ASSERT_EQ(FlushDTMFReceiver(receiver), ZELNOR_OK);
      EXPECT_EQ(DestroyDTMFReceiver(receiver), ZELNOR_OK);
      listening = Listening(rate, fed_float);
      ASSERT_EQ(CreateDTMFReceiver(&listening, &receiver), ZELNOR_OK);
      ASSERT_EQ(FeedDTMFReceiverFloat(receiver, floats.data(), floats.size()), ZELNOR_OK);
      ASSERT_EQ(FlushDTMFReceiver(receiver), ZELNOR_OK);
      DestroyDTMFReceiver(receiver);
      ASSERT_EQ(WriteDTMFWaveW(L"round_trip.wav", kDial, &options), ZELNOR_OK);
      listening = Listening(0, from_file);
      ZelnorWaveInfo info = WaveInfo();
      ASSERT_EQ(DecodeDTMFWaveW(L"round_trip.wav", &listening, &info), ZELNOR_OK);
      EXPECT_EQ(info.problem, uint32_t{ZELNOR_WAVE_FINE});
      EXPECT_EQ(info.frames, samples.size());
      for (const Heard* heard : {&fed, &fed_float, &from_file}) {
        EXPECT_EQ(heard->symbols, kDial) << where;
        ExpectTimes(*heard, options, where);
      }
    }
  }
}

TEST(ReceiverCalls, ReportADigitAsItStartsWhenAsked) {
  const ZelnorOptions options = Shortest(8000, kSounds[0]);
  const std::vector<int16_t> samples = Render("5", options);
  Heard heard;
  ZelnorReceiverOptions listening = Listening(8000, heard);
  listening.reports = ZELNOR_REPORT_STARTS | ZELNOR_REPORT_ENDS;
  ZelnorReceiver* receiver = nullptr;
  ASSERT_EQ(CreateDTMFReceiver(&listening, &receiver), ZELNOR_OK);
  ASSERT_EQ(FeedDTMFReceiver(receiver, samples.data(), samples.size()), ZELNOR_OK);
  DestroyDTMFReceiver(receiver);
  ASSERT_EQ(heard.symbols, "55");
  EXPECT_EQ(heard.digits[0].end_sample, 0u);
  EXPECT_EQ(heard.digits[1].start_sample, heard.digits[0].start_sample);
  EXPECT_GT(heard.digits[1].end_sample, heard.digits[1].start_sample);
}

// A WAV file in memory, handed out through DecodeDTMFWaveStream's reads.
struct Memory {
  std::vector<uint8_t> bytes;
  size_t at = 0;
  bool fail = false;
};

int32_t ZELNOR_CALL ReadMemory(void* context, void* buffer, int32_t size) {
  auto& memory = *static_cast<Memory*>(context);
  if (memory.fail) return -1;
  const size_t step = std::min<size_t>(static_cast<size_t>(size), memory.bytes.size() - memory.at);
  std::copy_n(memory.bytes.begin() + static_cast<std::ptrdiff_t>(memory.at), step,
              static_cast<uint8_t*>(buffer));
  memory.at += step;
  return static_cast<int32_t>(step);
}

void Put(std::vector<uint8_t>& bytes, uint32_t value, size_t count) {
  for (size_t i = 0; i < count; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 16-bit stereo WAV, one dial on each channel.
Memory Stereo(const std::vector<int16_t>& left, const std::vector<int16_t>& right, uint32_t rate) {
  Memory memory;
  std::vector<uint8_t>& file = memory.bytes;
  const auto frames = static_cast<uint32_t>(std::max(left.size(), right.size()));
  file = {'R', 'I', 'F', 'F'};
  Put(file, 36 + 4 * frames, 4);
  for (const char c : std::string("WAVEfmt ")) file.push_back(static_cast<uint8_t>(c));
  for (const uint32_t field : {16u, 1u | 2u << 16, rate, 4 * rate, 4u | 16u << 16})
    Put(file, field, 4);
  for (const char c : std::string("data")) file.push_back(static_cast<uint8_t>(c));
  Put(file, 4 * frames, 4);
  for (size_t i = 0; i < frames; ++i) {
    Put(file, static_cast<uint16_t>(i < left.size() ? left[i] : 0), 2);
    Put(file, static_cast<uint16_t>(i < right.size() ? right[i] : 0), 2);
  }
  return memory;
}

TEST(ReceiverCalls, HearEachChannelOfAStreamOnItsOwn) {
  const ZelnorOptions options = Shortest(16000, kSounds[0]);
  Memory memory = Stereo(Render("12", options), Render("3", options), 16000);
  Heard heard;
  const ZelnorReceiverOptions listening = Listening(0, heard);
  ZelnorWaveInfo info = WaveInfo();
  ASSERT_EQ(DecodeDTMFWaveStream(&ReadMemory, &memory, &listening, &info), ZELNOR_OK);
  EXPECT_EQ(info.channels, 2u);
  std::string per_channel[2];
  for (const ZelnorDigit& digit : heard.digits) per_channel[digit.channel] += digit.symbol;
  EXPECT_EQ(per_channel[0], "12");
  EXPECT_EQ(per_channel[1], "3");
}

TEST(ReceiverCalls, RefuseBadOptionsAndSayWhyARecordingCannotBeRead) {
  Heard heard;
  ZelnorReceiverOptions wrong_size = Listening(8000, heard);
  wrong_size.cbSize -= 4;
  ZelnorReceiverOptions bad_rate = Listening(7999, heard);
  ZelnorReceiverOptions no_callback = Listening(8000, heard);
  no_callback.digit = nullptr;
  ZelnorReceiverOptions too_quiet = Listening(8000, heard);
  too_quiet.minimum_level_db10 = ZELNOR_MIN_RECEIVER_LEVEL_DB10 - 1;
  ZelnorReceiver* receiver = nullptr;
  for (const ZelnorReceiverOptions* options : {&wrong_size, &bad_rate, &no_callback, &too_quiet}) {
    EXPECT_EQ(CreateDTMFReceiver(options, &receiver), ZELNOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(receiver, nullptr);
  }
  EXPECT_EQ(FeedDTMFReceiver(nullptr, nullptr, 0), ZELNOR_E_INVALID_ARGUMENT);

  const ZelnorReceiverOptions listening = Listening(0, heard);
  ZelnorWaveInfo info = WaveInfo();
  EXPECT_EQ(DecodeDTMFWaveA("no such file.wav", &listening, &info), ZELNOR_E_FILE);
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
  Memory failing{{}, 0, true};
  EXPECT_EQ(DecodeDTMFWaveStream(&ReadMemory, &failing, &listening, &info), ZELNOR_E_FILE);
  Memory mp3 = Stereo({}, {}, 8000);
  mp3.bytes[20] = 0x55;
  EXPECT_EQ(DecodeDTMFWaveStream(&ReadMemory, &mp3, &listening, &info), ZELNOR_E_BAD_WAVE);
  EXPECT_EQ(info.problem, uint32_t{ZELNOR_WAVE_UNSUPPORTED_FORMAT});
  EXPECT_STREQ(info.message, "format 0x0055 (MPEG Layer 3) is not supported");
  Memory cut_off = Stereo(Render("7", Shortest(8000, kSounds[0])), {}, 8000);
  cut_off.bytes.resize(cut_off.bytes.size() * 3 / 4);  // its tone whole, its tail cut
  EXPECT_EQ(DecodeDTMFWaveStream(&ReadMemory, &cut_off, &listening, &info), ZELNOR_OK);
  EXPECT_EQ(info.problem, uint32_t{ZELNOR_WAVE_TRUNCATED});
  EXPECT_EQ(heard.symbols, "7");
}

}  // namespace
