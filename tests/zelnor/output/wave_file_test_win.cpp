// WriteDTMFWaveW through the DLL: the target is replaced whole, or left as it
// was with the system's reason in GetLastError() and no temporary behind.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "zelnor.h"

namespace {

const ZelnorOptions kOptions = ZELNOR_OPTIONS_FOR_INTERVAL(40);

std::string Contents(const wchar_t* path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

void Put(const wchar_t* path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Temporaries left in the working folder.
int TemporaryCount() {
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(L"~*.tmp", &found);
  if (search == INVALID_HANDLE_VALUE) return 0;
  int count = 1;
  while (::FindNextFileW(search, &found)) ++count;
  ::FindClose(search);
  return count;
}

TEST(WaveFile, ReplacesAnExistingFileWhole) {
  Put(L"replaced.wav", std::string(1 << 20, 'x'));
  ASSERT_EQ(WriteDTMFWaveW(L"replaced.wav", "1", &kOptions), ZELNOR_OK);
  uint64_t samples = 0;
  ASSERT_EQ(RenderDTMF("1", &kOptions, nullptr, &samples), ZELNOR_OK);
  EXPECT_EQ(Contents(L"replaced.wav").size(), 44 + 2 * samples);
  EXPECT_EQ(TemporaryCount(), 0);
  ::DeleteFileW(L"replaced.wav");
}

TEST(WaveFile, AFailedWriteLeavesTheTargetAsItWasAndSaysWhy) {
  ::CreateDirectoryW(L"folder.wav", nullptr);
  Put(L"held.wav", "the old bytes");
  // Another program holding the file open, sharing nothing.
  UniqueKernelHandle held(::CreateFileW(L"held.wav", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const struct {
    const wchar_t* path;
    DWORD error;
  } cases[] = {
      {L"held.wav", ERROR_ACCESS_DENIED},  // as Windows refuses to rename over an open file
      {L"folder.wav", ERROR_ACCESS_DENIED},
      {L"no such folder\\new.wav", ERROR_PATH_NOT_FOUND},
  };
  for (const auto& c : cases) {
    ::SetLastError(ERROR_ALREADY_EXISTS);
    EXPECT_EQ(WriteDTMFWaveW(c.path, "123", &kOptions), ZELNOR_E_FILE);
    EXPECT_EQ(::GetLastError(), c.error) << c.path;
    EXPECT_EQ(TemporaryCount(), 0) << c.path;
  }
  held.reset();
  EXPECT_EQ(Contents(L"held.wav"), "the old bytes");
  EXPECT_EQ(::GetFileAttributesW(L"folder.wav") & FILE_ATTRIBUTE_DIRECTORY,
            DWORD{FILE_ATTRIBUTE_DIRECTORY});
  ::DeleteFileW(L"held.wav");
  ::RemoveDirectoryW(L"folder.wav");
}

}  // namespace
