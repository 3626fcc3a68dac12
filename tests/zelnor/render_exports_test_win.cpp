// zelnor.dll's calls with options, through the DLL itself: what they refuse,
// and that the memory and the WAV file get the same samples.

#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "zelnor/zelnor.h"

namespace {

// zelnor.dll starts up the audio system on a thread of its own as it loads.
// Under Wine a process that ends while that is under way may end with
// status 1 whatever the tests said; asking the audio system anything waits
// for it to be ready.
class AudioSystemSettled : public testing::Environment {
  void TearDown() override { ::waveOutGetNumDevs(); }
};
testing::Environment* const kAudioSystemSettled =
    testing::AddGlobalTestEnvironment(new AudioSystemSettled);

const ZelnorOptions kOptions = {sizeof(ZelnorOptions), 60, 45, 16000, -60, ZELNOR_DEFAULT_DEVICE};

std::vector<int16_t> Rendered(const char* dial) {
  uint64_t count = 0;
  EXPECT_EQ(RenderDTMF(dial, &kOptions, nullptr, &count), ZELNOR_OK);
  std::vector<int16_t> samples(static_cast<size_t>(count));
  EXPECT_EQ(RenderDTMF(dial, &kOptions, samples.data(), &count), ZELNOR_OK);
  return samples;
}

std::vector<char> FileBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::wstring TempPath(const wchar_t* name) {
  wchar_t folder[MAX_PATH] = {};
  ::GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

TEST(ZelnorOptionsCalls, RefuseNullPointersAndOptionsOfAnotherSizeOrOutOfRange) {
  ZelnorOptions wrong_size = kOptions;
  wrong_size.cbSize = sizeof(ZelnorOptions) - 4;
  ZelnorOptions bad_rate = kOptions;
  bad_rate.sample_rate = 11025;
  uint64_t count = 0;
  const ZelnorOptions* const refused[] = {nullptr, &wrong_size, &bad_rate};
  for (const ZelnorOptions* options : refused) {
    EXPECT_EQ(PlayDTMFEx("1", options, 0), ZELNOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(RenderDTMF("1", options, nullptr, &count), ZELNOR_E_INVALID_ARGUMENT);
    EXPECT_EQ(WriteDTMFWaveW(TempPath(L"zelnor-refused.wav").c_str(), "1", options),
              ZELNOR_E_INVALID_ARGUMENT);
  }
  EXPECT_EQ(RenderDTMF(nullptr, &kOptions, nullptr, &count), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(RenderDTMF("1", &kOptions, nullptr, nullptr), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(WriteDTMFWaveW(nullptr, "1", &kOptions), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(WriteDTMFWaveA(nullptr, "1", &kOptions), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(::GetFileAttributesW(TempPath(L"zelnor-refused.wav").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ZelnorOptionsCalls, TheWaveFileHoldsTheRenderedSamplesWhicheverFormOfPath) {
  const std::vector<int16_t> samples = Rendered("0-9#");
  const std::wstring wide = TempPath(L"zelnor-wide.wav");
  const std::string ansi = "zelnor-ansi.wav";  // relative to the current folder
  ASSERT_EQ(WriteDTMFWaveW(wide.c_str(), "0-9#", &kOptions), ZELNOR_OK);
  ASSERT_EQ(WriteDTMFWaveA(ansi.c_str(), "0-9#", &kOptions), ZELNOR_OK);
  const std::vector<char> file = FileBytes(wide);
  EXPECT_EQ(FileBytes(L"zelnor-ansi.wav"), file);
  ASSERT_EQ(file.size(), 44 + 2 * samples.size());
  EXPECT_EQ(std::memcmp(file.data() + 44, samples.data(), 2 * samples.size()), 0);
  ::DeleteFileW(wide.c_str());
  ::DeleteFileA(ansi.c_str());
}

}  // namespace
