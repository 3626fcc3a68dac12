#include "zelnor/exports/play_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

#include "zelnor/zelnor_error.h"

namespace {

ZelnorOptions Valid() { return ZELNOR_OPTIONS_FOR_INTERVAL(100); }

TEST(PlayDtmfOptions, AreTheClampedIntervalForToneAndGapWithEveryDefault) {
  constexpr int32_t kLowest = std::numeric_limits<int32_t>::min();
  constexpr int32_t kHighest = std::numeric_limits<int32_t>::max();
  const std::pair<int32_t, int32_t> cases[] = {
      {kLowest, 40}, {-1, 40},       {0, 40},        {39, 40},          {40, 40},
      {1234, 1234},  {10000, 10000}, {10001, 10000}, {kHighest, 10000},
  };
  for (const auto& [interval, expected] : cases) {
    const ZelnorOptions play_dtmf = zelnor::PlayDtmfOptions(interval);
    const zelnor::SequenceOptions options = zelnor::ToSequenceOptions(&play_dtmf);
    EXPECT_EQ(options.tone_ms, expected) << interval;
    EXPECT_EQ(options.gap_ms, expected);
    EXPECT_EQ(options.sample_rate, 48000u);
    EXPECT_EQ(options.level_db10, -15);
    EXPECT_EQ(options.twist_db10, 20);
    EXPECT_EQ(options.pause_ms, 2000);
    EXPECT_EQ(options.lead_in_ms, 0);
    EXPECT_EQ(options.tail_ms, 0);
  }
  EXPECT_EQ(zelnor::PlayDtmfOptions(100).device, ZELNOR_DEFAULT_DEVICE);
}

TEST(ToSequenceOptions, TakesTheFirstLayoutWithDefaultsForWhatItLacks) {
  // Only the first six fields exist; the bytes after them are not the caller's.
  unsigned char storage[sizeof(ZelnorOptions)];
  std::memset(storage, 0xFF, sizeof storage);
  ZelnorOptions first = Valid();
  first.cbSize = ZELNOR_OPTIONS_V1_SIZE;
  first.level_db10 = -200;
  std::memcpy(storage, &first, ZELNOR_OPTIONS_V1_SIZE);
  const zelnor::SequenceOptions options =
      zelnor::ToSequenceOptions(reinterpret_cast<const ZelnorOptions*>(storage));
  EXPECT_EQ(options.level_db10, -200);
  EXPECT_EQ(options.pause_ms, 2000);
  EXPECT_EQ(options.twist_db10, 20);
  EXPECT_EQ(options.lead_in_ms, 0);
  EXPECT_EQ(options.tail_ms, 0);
}

TEST(ToSequenceOptions, TakesEveryFieldOfTheWholeLayout) {
  ZelnorOptions whole = Valid();
  whole.pause_ms = 500, whole.twist_db10 = -80, whole.lead_in_ms = 300, whole.tail_ms = 10000;
  const zelnor::SequenceOptions options = zelnor::ToSequenceOptions(&whole);
  EXPECT_EQ(options.pause_ms, 500);
  EXPECT_EQ(options.twist_db10, -80);
  EXPECT_EQ(options.lead_in_ms, 300);
  EXPECT_EQ(options.tail_ms, 10000);
}

// Refused either as the options are read or as the generator is built
// from them, which is where the ranges are checked.
TEST(ToSequenceOptions, RefusesANullPointerAWrongSizeAndEveryFieldOutOfRange) {
  EXPECT_THROW(zelnor::ToSequenceOptions(nullptr), zelnor::ZelnorError);
  const std::function<void(ZelnorOptions&)> spoil[] = {
      [](ZelnorOptions& o) { o.cbSize = 0; },
      [](ZelnorOptions& o) { o.cbSize += 4; },
      [](ZelnorOptions& o) { o.cbSize = ZELNOR_OPTIONS_V1_SIZE + 4; },
      [](ZelnorOptions& o) { o.tone_ms = 39; },
      [](ZelnorOptions& o) { o.tone_ms = 10001; },
      [](ZelnorOptions& o) { o.gap_ms = 0; },
      [](ZelnorOptions& o) { o.gap_ms = 10001; },
      [](ZelnorOptions& o) { o.sample_rate = 22050; },
      [](ZelnorOptions& o) { o.sample_rate = 0; },
      [](ZelnorOptions& o) { o.level_db10 = 1; },
      [](ZelnorOptions& o) { o.level_db10 = -601; },
      [](ZelnorOptions& o) { o.pause_ms = 39; },
      [](ZelnorOptions& o) { o.pause_ms = 10001; },
      [](ZelnorOptions& o) { o.twist_db10 = -81; },
      [](ZelnorOptions& o) { o.twist_db10 = 41; },
      [](ZelnorOptions& o) { o.lead_in_ms = -1; },
      [](ZelnorOptions& o) { o.lead_in_ms = 10001; },
      [](ZelnorOptions& o) { o.tail_ms = -1; },
      [](ZelnorOptions& o) { o.tail_ms = 10001; },
  };
  for (size_t i = 0; i < std::size(spoil); ++i) {
    ZelnorOptions options = Valid();
    spoil[i](options);
    try {
      zelnor::DtmfSequence(zelnor::DialSymbols(), zelnor::ToSequenceOptions(&options));
      ADD_FAILURE() << "case " << i << " accepted";
    } catch (const zelnor::ZelnorError& error) {
      EXPECT_EQ(error.code(), ZELNOR_E_INVALID_ARGUMENT) << "case " << i;
    }
  }
}

}  // namespace
