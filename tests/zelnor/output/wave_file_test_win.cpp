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

std::wstring FullPath(const std::wstring& path) {
  wchar_t full[1024];
  const DWORD length = ::GetFullPathNameW(path.c_str(), 1024, full, nullptr);
  return std::wstring(full, length);
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
  const std::wstring too_long = std::wstring(252, L'n') + L".wav";  // 256 characters
  const struct {
    const wchar_t* path;
    DWORD error;
  } cases[] = {
      {L"held.wav", ERROR_SHARING_VIOLATION},  // who holds it, not a bare refusal
      {L"folder.wav", ERROR_ACCESS_DENIED},
      {L"no such folder\\new.wav", ERROR_PATH_NOT_FOUND},
      {too_long.c_str(), ERROR_FILENAME_EXCED_RANGE},  // never "file not found"
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

TEST(WaveFile, KeepsWhatTheUserSetOnTheTargetAndRefusesAReadOnlyOne) {
  const struct {
    DWORD attributes;
    int result;
  } cases[] = {
      {FILE_ATTRIBUTE_HIDDEN, ZELNOR_OK},
      {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, ZELNOR_E_FILE},
      {FILE_ATTRIBUTE_READONLY, ZELNOR_E_FILE},
  };
  for (const auto& c : cases) {
    Put(L"old.wav", "the old bytes");
    ASSERT_TRUE(::SetFileAttributesW(L"old.wav", c.attributes));
    EXPECT_EQ(WriteDTMFWaveW(L"old.wav", "1", &kOptions), c.result) << c.attributes;
    if (c.result == ZELNOR_E_FILE) {
      EXPECT_EQ(::GetLastError(), DWORD{ERROR_ACCESS_DENIED});
      EXPECT_EQ(Contents(L"old.wav"), "the old bytes");
    } else {
      EXPECT_EQ(Contents(L"old.wav").substr(0, 4), "RIFF");
    }
    EXPECT_EQ(::GetFileAttributesW(L"old.wav") & c.attributes, c.attributes);
    EXPECT_EQ(TemporaryCount(), 0);
    ::SetFileAttributesW(L"old.wav", FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(L"old.wav");
  }
}

TEST(WaveFile, WritesNamesAsLongAsTheSystemAllows) {
  // The longest name a folder takes, and a path past MAX_PATH through
  // folders of ordinary names.
  const std::wstring longest = std::wstring(251, L'n') + L".wav";
  const std::wstring folder = std::wstring(180, L'f');
  ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
  const std::wstring cases[] = {longest, folder + L"\\" + std::wstring(100, L'p') + L".wav"};
  for (const std::wstring& path : cases) {
    for (int time = 0; time < 2; ++time) {  // written new, then replaced
      EXPECT_EQ(WriteDTMFWaveW(path.c_str(), "1", &kOptions), ZELNOR_OK) << path.size();
    }
    EXPECT_TRUE(::DeleteFileW((LR"(\\?\)" + FullPath(path)).c_str())) << path.size();
  }
  EXPECT_EQ(TemporaryCount(), 0);
  ::RemoveDirectoryW(folder.c_str());
}

}  // namespace
