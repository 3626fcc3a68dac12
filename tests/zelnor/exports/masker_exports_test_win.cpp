// zelnor.dll's masker calls, through the DLL itself: what the library
// renders is masked until no receiver hears it, fed in any chunks, in
// place, as floats, or as a WAV file from a path or the caller's functions;
// a recording with no tone comes back byte for byte; what they refuse.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "zelnor.h"

namespace {

constexpr uint32_t kRate = 8000;

void ZELNOR_CALL KeepSpan(void* spans, const ZelnorMaskedSpan* span) {
  static_cast<std::vector<ZelnorMaskedSpan>*>(spans)->push_back(*span);
}

void ZELNOR_CALL KeepDigit(void* symbols, const ZelnorDigit* digit) {
  *static_cast<std::string*>(symbols) += digit->symbol;
}

std::vector<int16_t> Render(const char* dial) {
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(60);
  options.sample_rate = kRate;
  options.lead_in_ms = options.tail_ms = 200;
  uint64_t count = 0;
  EXPECT_EQ(RenderDTMF(dial, &options, nullptr, &count), ZELNOR_OK);
  std::vector<int16_t> samples(static_cast<size_t>(count));
  EXPECT_EQ(RenderDTMF(dial, &options, samples.data(), &count), ZELNOR_OK);
  return samples;
}

std::string Heard(const std::vector<int16_t>& samples) {
  std::string symbols;
  ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(kRate, &KeepDigit, &symbols);
  options.minimum_level_db10 = ZELNOR_MIN_RECEIVER_LEVEL_DB10;
  ZelnorReceiver* receiver = nullptr;
  EXPECT_EQ(CreateDTMFReceiver(&options, &receiver), ZELNOR_OK);
  FeedDTMFReceiver(receiver, samples.data(), samples.size());
  FlushDTMFReceiver(receiver);
  DestroyDTMFReceiver(receiver);
  return symbols;
}

// `samples` masked `chunk` at a time (all of them for 0), lined up with
// the input; in place when asked.
template <typename Sample>
std::vector<Sample> Masked(std::vector<Sample> samples, size_t chunk, bool in_place,
                           std::vector<ZelnorMaskedSpan>* spans) {
  ZelnorMaskerOptions options = ZELNOR_MASKER_OPTIONS(kRate);
  options.span = &KeepSpan;
  options.span_context = spans;
  ZelnorMasker* masker = nullptr;
  EXPECT_EQ(CreateDTMFMasker(&options, &masker), ZELNOR_OK);
  uint32_t delay = 0;
  EXPECT_EQ(GetDTMFMaskerDelay(masker, &delay), ZELNOR_OK);
  std::vector<Sample> out(samples.size() + delay);
  Sample* into = in_place ? samples.data() : out.data();
  for (size_t at = 0; at < samples.size(); at += chunk == 0 ? samples.size() : chunk) {
    const size_t count = chunk == 0 ? samples.size() : std::min(chunk, samples.size() - at);
    int result = ZELNOR_OK;
    if constexpr (sizeof(Sample) == 2) {
      result = FeedDTMFMasker(masker, samples.data() + at, count, into + at);
    } else {
      result = FeedDTMFMaskerFloat(masker, samples.data() + at, count, into + at);
    }
    EXPECT_EQ(result, ZELNOR_OK);
  }
  if (in_place) std::copy(samples.begin(), samples.end(), out.begin());
  if constexpr (sizeof(Sample) == 2) {
    EXPECT_EQ(FlushDTMFMasker(masker, out.data() + samples.size()), ZELNOR_OK);
  } else {
    EXPECT_EQ(FlushDTMFMaskerFloat(masker, out.data() + samples.size()), ZELNOR_OK);
  }
  DestroyDTMFMasker(masker);
  out.erase(out.begin(), out.begin() + delay);
  return out;
}

TEST(MaskerCalls, TakeOutEveryToneHoweverTheSamplesAreHandedIn) {
  const std::vector<int16_t> call = Render("4111111111111111");
  std::vector<ZelnorMaskedSpan> spans;
  const std::vector<int16_t> masked = Masked(call, 0, false, &spans);
  EXPECT_EQ(Heard(masked), "");
  ASSERT_EQ(spans.size(), 16u);
  for (const ZelnorMaskedSpan& span : spans) EXPECT_EQ(span.channel, 0u);
  std::vector<ZelnorMaskedSpan> unused;
  EXPECT_EQ(Masked(call, 333, false, &unused), masked);
  EXPECT_EQ(Masked(call, 1, true, &unused), masked);
  std::vector<float> floats(call.size());
  std::transform(call.begin(), call.end(), floats.begin(), [](int16_t s) { return s / 32768.0f; });
  const std::vector<float> masked_floats = Masked(floats, 4096, true, &unused);
  for (size_t i = 0; i < call.size(); ++i) {
    ASSERT_EQ(static_cast<int16_t>(masked_floats[i] * 32768.0f), masked[i]) << i;
  }
}

TEST(MaskerCalls, StateTheirLookAheadAndRefuseWhatTheyCannotDo) {
  ZelnorMasker* masker = nullptr;
  for (const uint32_t rate : {8000u, 11025u, 48000u}) {
    ZelnorMaskerOptions options = ZELNOR_MASKER_OPTIONS(rate);
    ASSERT_EQ(CreateDTMFMasker(&options, &masker), ZELNOR_OK);
    uint32_t delay = 0;
    EXPECT_EQ(GetDTMFMaskerDelay(masker, &delay), ZELNOR_OK);
    EXPECT_LE(delay, rate / 20) << rate;  // 50 ms at most
    DestroyDTMFMasker(masker);
  }
  ZelnorMaskerOptions wrong_size = ZELNOR_MASKER_OPTIONS(kRate);
  wrong_size.cbSize -= 1;
  ZelnorMaskerOptions too_slow = ZELNOR_MASKER_OPTIONS(7999);
  ZelnorMaskerOptions too_fast = ZELNOR_MASKER_OPTIONS(48001);
  ZelnorMaskerOptions no_such_replacement = ZELNOR_MASKER_OPTIONS(kRate);
  no_such_replacement.replacement = 3;
  const ZelnorMaskerOptions* refused[] = {nullptr, &wrong_size, &too_slow, &too_fast,
                                          &no_such_replacement};
  for (const ZelnorMaskerOptions* options : refused) {
    masker = reinterpret_cast<ZelnorMasker*>(1);
    EXPECT_EQ(CreateDTMFMasker(options, &masker), ZELNOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(masker, nullptr);
  }
  int16_t sample = 0;
  EXPECT_EQ(FeedDTMFMasker(nullptr, &sample, 1, &sample), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(DestroyDTMFMasker(nullptr), ZELNOR_OK);
}

// A WAV file in memory, read and written through the caller's functions.
struct Memory {
  std::vector<uint8_t> bytes;
  size_t read_at = 0;
  bool fail = false;
};

int32_t ZELNOR_CALL ReadMemory(void* context, void* buffer, int32_t size) {
  auto& memory = *static_cast<Memory*>(context);
  if (memory.fail) return -1;
  const auto count = static_cast<int32_t>(
      std::min<size_t>(static_cast<size_t>(size), memory.bytes.size() - memory.read_at));
  std::memcpy(buffer, memory.bytes.data() + memory.read_at, static_cast<size_t>(count));
  memory.read_at += static_cast<size_t>(count);
  return count;
}

int ZELNOR_CALL WriteMemory(void* context, const void* bytes, uint32_t count) {
  auto& memory = *static_cast<Memory*>(context);
  if (memory.fail) return 0;
  const auto* first = static_cast<const uint8_t*>(bytes);
  memory.bytes.insert(memory.bytes.end(), first, first + count);
  return 1;
}

// Noise with no tone in it, and a chunk after the samples.
std::vector<uint8_t> NoiseWave() {
  std::vector<uint8_t> data(2 * kRate);
  uint32_t state = 1;
  for (uint8_t& byte : data)
    byte = static_cast<uint8_t>((state = state * 1664525 + 1013904223) >> 24);
  const uint8_t header[] = {'R', 'I', 'F',  'F',  0,   0,   0,    0,    'W',  'A', 'V',
                            'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,    1,   0,
                            1,   0,   0x40, 0x1F, 0,   0,   0x80, 0x3E, 0,    0,   2,
                            0,   16,  0,    'd',  'a', 't', 'a',  0x80, 0x3E, 0,   0};
  const uint8_t list[] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
  std::vector<uint8_t> wave(std::begin(header), std::end(header));
  wave.insert(wave.end(), data.begin(), data.end());
  wave.insert(wave.end(), std::begin(list), std::end(list));
  const auto riff = static_cast<uint32_t>(wave.size() - 8);
  std::memcpy(&wave[4], &riff, 4);
  return wave;
}

TEST(MaskerCalls, GiveARecordingWithNoToneBackByteForByteAndSayWhatFailed) {
  const ZelnorMaskerOptions options = ZELNOR_MASKER_OPTIONS(0);
  Memory source{NoiseWave()}, target;
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  ASSERT_EQ(MaskDTMFWaveStream(&ReadMemory, &source, &WriteMemory, &target, &options, &info),
            ZELNOR_OK);
  EXPECT_EQ(target.bytes, source.bytes);
  EXPECT_EQ(info.frames, kRate);
  Memory unreadable{{}, 0, true}, unwritable{{}, 0, true};
  source.read_at = 0;
  EXPECT_EQ(MaskDTMFWaveStream(&ReadMemory, &source, &WriteMemory, &unwritable, &options, &info),
            ZELNOR_E_FILE);
  EXPECT_EQ(info.problem, uint32_t{ZELNOR_WAVE_FINE});
  EXPECT_EQ(MaskDTMFWaveStream(&ReadMemory, &unreadable, &WriteMemory, &target, &options, &info),
            ZELNOR_E_FILE);
  EXPECT_EQ(info.problem, uint32_t{ZELNOR_WAVE_UNREADABLE});
}

TEST(MaskerCalls, MaskAFileIntoItselfOnlyOnceTheCopyIsWhole) {
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(60);
  options.sample_rate = kRate;
  ASSERT_EQ(WriteDTMFWaveW(L"masked_in_place.wav", "123", &options), ZELNOR_OK);
  std::vector<ZelnorMaskedSpan> spans;
  ZelnorMaskerOptions masking = ZELNOR_MASKER_OPTIONS(0);
  masking.span = &KeepSpan;
  masking.span_context = &spans;
  ZelnorWaveInfo info{};
  info.cbSize = sizeof info;
  ASSERT_EQ(MaskDTMFWaveA("masked_in_place.wav", "masked_in_place.wav", &masking, &info),
            ZELNOR_OK);
  EXPECT_EQ(spans.size(), 3u);
  std::string symbols;
  ZelnorReceiverOptions listening = ZELNOR_RECEIVER_OPTIONS(0, &KeepDigit, &symbols);
  ASSERT_EQ(DecodeDTMFWaveW(L"masked_in_place.wav", &listening, nullptr), ZELNOR_OK);
  EXPECT_EQ(symbols, "");
  EXPECT_EQ(MaskDTMFWaveW(L"no_such.wav", L"never_written.wav", &masking, &info), ZELNOR_E_FILE);
  EXPECT_EQ(::GetLastError(), DWORD{ERROR_FILE_NOT_FOUND});
  EXPECT_EQ(info.problem, uint32_t{ZELNOR_WAVE_UNREADABLE});
  EXPECT_EQ(::GetFileAttributesW(L"never_written.wav"), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
