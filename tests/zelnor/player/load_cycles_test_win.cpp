// zelnor.dll loaded and freed as scripting hosts do, around each call: the
// process must not run out of TLS slots (the C++ runtime's static
// winpthreads took one per load and the host died near the 1,086th), and an
// idle DLL must really unload.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "zelnor.h"

namespace {

constexpr int kCycles = 2000;

DWORD LowestFreeTlsIndex() {
  const DWORD index = ::TlsAlloc();
  ::TlsFree(index);
  return index;
}

// Whether `library` is the zelnor.dll beside this program: the build's own,
// the file the package ships, not one found further down the search path.
bool IsTheBuiltDll(HMODULE library) {
  wchar_t program[MAX_PATH] = {};
  wchar_t loaded[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  ::GetModuleFileNameW(library, loaded, MAX_PATH);
  std::wstring expected(program);
  expected.erase(expected.find_last_of(L'\\') + 1);
  return _wcsicmp((expected + L"zelnor.dll").c_str(), loaded) == 0;
}

// Loads, optionally calls, and frees the DLL kCycles times.
void LoadAndFree(bool call_between) {
  const DWORD tls_before = LowestFreeTlsIndex();
  for (int cycle = 0; cycle < kCycles; ++cycle) {
    const HMODULE library = ::LoadLibraryW(L"zelnor.dll");
    ASSERT_NE(library, nullptr) << "cycle " << cycle;
    if (cycle == 0) {
      ASSERT_TRUE(IsTheBuiltDll(library));
    }
    if (call_between) {
      const auto play = reinterpret_cast<ZelnorPlayDtmfFunction>(
          reinterpret_cast<void*>(::GetProcAddress(library, "PlayDTMF")));
      ASSERT_NE(play, nullptr);
      // A failure thrown and caught inside, and a stop.
      ASSERT_EQ(play(nullptr, 100, 0), ZELNOR_E_INVALID_ARGUMENT);
      ASSERT_EQ(play("", 100, 0), ZELNOR_OK);
    }
    ASSERT_TRUE(::FreeLibrary(library));
  }
  EXPECT_LE(LowestFreeTlsIndex(), tls_before + 2) << "TLS slots leak on each load";
}

TEST(ZelnorLoading, SurvivesLoadingAndFreeingWithoutACall) { LoadAndFree(false); }

TEST(ZelnorLoading, SurvivesLoadingAndFreeingAroundACall) { LoadAndFree(true); }

TEST(ZelnorLoading, UnloadsOnceIdleAfterAPlayback) {
  const HMODULE library = ::LoadLibraryW(L"zelnor.dll");
  ASSERT_NE(library, nullptr);
  const auto play = reinterpret_cast<ZelnorPlayDtmfFunction>(
      reinterpret_cast<void*>(::GetProcAddress(library, "PlayDTMF")));
  ASSERT_EQ(play("1", 40, 0), ZELNOR_OK);
  ASSERT_TRUE(::FreeLibrary(library));
  // The player thread keeps it loaded until it has been idle for 5 s.
  for (int waited_s = 0; waited_s < 20 && ::GetModuleHandleW(L"zelnor.dll"); ++waited_s) {
    ::Sleep(1000);
  }
  EXPECT_EQ(::GetModuleHandleW(L"zelnor.dll"), nullptr);
}

}  // namespace
