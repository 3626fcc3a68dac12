#include "zelnor/input/options.h"

#include <gtest/gtest.h>

#include <functional>

#include "zelnor/zelnor_error.h"

namespace {

ZelnorOptions Valid() { return ZELNOR_OPTIONS_FOR_INTERVAL(100); }

TEST(PlayDtmfOptions, AreTheClampedIntervalForToneAndGapWithEveryDefault) {
  for (const auto& [interval, expected] : {std::pair{-5, 40}, {150, 150}, {20000, 10000}}) {
    const ZelnorOptions options = zelnor::PlayDtmfOptions(interval);
    EXPECT_EQ(options.cbSize, sizeof(ZelnorOptions));
    EXPECT_EQ(options.tone_ms, expected);
    EXPECT_EQ(options.gap_ms, expected);
    EXPECT_EQ(options.sample_rate, 48000u);
    EXPECT_EQ(options.level_db10, -15);
    EXPECT_EQ(options.device, ZELNOR_DEFAULT_DEVICE);
  }
}

TEST(ToSequenceOptions, RefusesANullPointerAWrongSizeAndEveryFieldOutOfRange) {
  EXPECT_THROW(zelnor::ToSequenceOptions(nullptr), zelnor::ZelnorError);
  const std::function<void(ZelnorOptions&)> spoil[] = {
      [](ZelnorOptions& o) { o.cbSize = 0; },
      [](ZelnorOptions& o) { o.cbSize += 4; },
      [](ZelnorOptions& o) { o.tone_ms = 39; },
      [](ZelnorOptions& o) { o.tone_ms = 10001; },
      [](ZelnorOptions& o) { o.gap_ms = 0; },
      [](ZelnorOptions& o) { o.gap_ms = 10001; },
      [](ZelnorOptions& o) { o.sample_rate = 22050; },
      [](ZelnorOptions& o) { o.sample_rate = 0; },
      [](ZelnorOptions& o) { o.level_db10 = 1; },
      [](ZelnorOptions& o) { o.level_db10 = -601; },
  };
  for (size_t i = 0; i < std::size(spoil); ++i) {
    ZelnorOptions options = Valid();
    spoil[i](options);
    try {
      zelnor::ToSequenceOptions(&options);
      ADD_FAILURE() << "case " << i << " accepted";
    } catch (const zelnor::ZelnorError& error) {
      EXPECT_EQ(error.code(), ZELNOR_E_INVALID_ARGUMENT) << "case " << i;
    }
  }
}

}  // namespace
