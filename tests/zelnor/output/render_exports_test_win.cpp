// zelnor.dll's calls with options, through the DLL itself: what they refuse,
// and that memory and WAV file get the same samples.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "zelnor.h"

namespace {

// The first layout, as a caller built against it fills it in.
ZelnorOptions FirstLayout() {
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(60);
  options.cbSize = ZELNOR_OPTIONS_V1_SIZE;
  options.gap_ms = 45;
  options.sample_rate = 16000;
  options.level_db10 = -60;
  return options;
}

const ZelnorOptions kOptions = FirstLayout();

TEST(ZelnorOptionsCalls, RefuseNullPointersAndOptionsOfAnotherSizeOrOutOfRange) {
  ZelnorOptions wrong_size = kOptions;
  wrong_size.cbSize -= 4;
  ZelnorOptions bad_rate = kOptions;
  bad_rate.sample_rate = 11025;
  uint64_t count = 0;
  const ZelnorOptions* const refused[] = {nullptr, &wrong_size, &bad_rate};
  for (const ZelnorOptions* options : refused) {
    EXPECT_EQ(PlayDTMFEx("1", options, 0), ZELNOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(RenderDTMF("1", options, nullptr, &count), ZELNOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(WriteDTMFWaveA("refused.wav", "1", options), ZELNOR_E_INVALID_ARGUMENT);
  }
  EXPECT_EQ(PlayDTMFEx(nullptr, &kOptions, 0), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(RenderDTMF("1", &kOptions, nullptr, nullptr), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(WriteDTMFWaveW(nullptr, "1", &kOptions), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(::GetFileAttributesW(L"refused.wav"), INVALID_FILE_ATTRIBUTES);
}

TEST(ZelnorOptionsCalls, TheWaveFileHoldsTheRenderedSamplesWhicheverFormOfPath) {
  uint64_t count = 0;
  ASSERT_EQ(RenderDTMF("0-9#", &kOptions, nullptr, &count), ZELNOR_OK);
  std::vector<int16_t> samples(static_cast<size_t>(count));
  ASSERT_EQ(RenderDTMF("0-9#", &kOptions, samples.data(), &count), ZELNOR_OK);
  ASSERT_EQ(WriteDTMFWaveW(L"wide.wav", "0-9#", &kOptions), ZELNOR_OK);
  ASSERT_EQ(WriteDTMFWaveA("ansi.wav", "0-9#", &kOptions), ZELNOR_OK);
  std::ifstream wide("wide.wav", std::ios::binary), ansi("ansi.wav", std::ios::binary);
  const std::vector<char> file{std::istreambuf_iterator<char>(wide), {}};
  EXPECT_EQ(std::vector<char>(std::istreambuf_iterator<char>(ansi), {}), file);
  ASSERT_EQ(file.size(), 44 + 2 * samples.size());
  EXPECT_EQ(std::memcmp(file.data() + 44, samples.data(), 2 * samples.size()), 0);
  wide.close();
  ansi.close();
  ::DeleteFileW(L"wide.wav");
  ::DeleteFileW(L"ansi.wav");
}

}  // namespace
