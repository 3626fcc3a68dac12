// PlayDTMF through zelnor.dll and the real waveOut path under Wine. ALSA's
// default device records into ZELNOR_CAPTURE_DIR (alsa_capture.conf.in), so
// what reached the device can be measured. The NoDevice cases run in a
// process whose audio driver is disabled instead.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "common/handles_win.h"
#include "tests/support/process_figures_win.h"
#include "zelnor.h"

namespace {

using PlayDtmfFunction = ZelnorPlayDtmfFunction;
using Clock = std::chrono::steady_clock;

constexpr uint64_t kBytesPerMs = 48000 * 2 / 1000;

class ZelnorDll : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_) << "zelnor.dll not found beside the test";
    play_ = reinterpret_cast<PlayDtmfFunction>(
        reinterpret_cast<void*>(::GetProcAddress(library_.get(), "PlayDTMF")));
    ASSERT_NE(play_, nullptr);
  }
  void TearDown() override {
    if (play_) play_("", 0, 0);  // leave nothing playing for the next case
  }

  // Milliseconds the call took to return, its result in `result`.
  double TimedPlay(const char* dial, int32_t interval_ms, int32_t async, int* result = nullptr) {
    const auto start = Clock::now();
    const int r = play_(dial, interval_ms, async);
    if (result) *result = r;
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }

  UniqueModule library_{::LoadLibraryW(L"zelnor.dll")};
  PlayDtmfFunction play_ = nullptr;
};

// Bytes the device has been given so far, over every capture file.
uint64_t CapturedBytes() {
  wchar_t dir[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"ZELNOR_CAPTURE_DIR", dir, MAX_PATH)) return 0;
  const std::wstring pattern = std::wstring(L"Z:") + dir + L"/capture-*";
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
  uint64_t total = 0;
  if (search == INVALID_HANDLE_VALUE) return 0;
  do {
    total += (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return total;
}

// Whether the device has been given more than `bytes` within 5 s: a fresh
// process opens Wine's audio path on its first call, which may take a while
// on a busy machine.
bool CaptureGrowsBeyond(uint64_t bytes) {
  const auto start = Clock::now();
  while (CapturedBytes() <= bytes) {
    if (Clock::now() - start > std::chrono::seconds(5)) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

SIZE_T PrivateBytes() { return ::PrivateBytes(::GetCurrentProcess()); }

TEST_F(ZelnorDll, ANullStringIsAnInvalidArgumentAndStopsNothing) {
  EXPECT_EQ(play_(nullptr, 100, 0), ZELNOR_E_INVALID_ARGUMENT);
  ASSERT_EQ(play_("5555555555", 300, 1), ZELNOR_OK);  // 6 s, ~1.7 s into the null sink
  ASSERT_TRUE(CaptureGrowsBeyond(0)) << "the playback never began";
  EXPECT_EQ(play_(nullptr, 100, 0), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_EQ(play_(nullptr, 100, 1), ZELNOR_E_INVALID_ARGUMENT);
  EXPECT_TRUE(CaptureGrowsBeyond(CapturedBytes())) << "the playback stopped";
}

TEST_F(ZelnorDll, AStopFreesTheStoppedPlaybacksCopy) {
  ASSERT_EQ(play_("1", 40, 0), ZELNOR_OK);  // the player and Wine's audio path in place
  const SIZE_T idle = PrivateBytes();
  {
    const std::string dial(10000000, '5');
    ASSERT_EQ(play_(dial.c_str(), 40, 1), ZELNOR_OK);
  }  // from here only the library's copy holds the symbols
  constexpr SIZE_T kMb = 1024 * 1024;
  ASSERT_GT(PrivateBytes(), idle + 8 * kMb) << "the copy is not counted: this test proves nothing";
  ASSERT_EQ(play_("", 0, 1), ZELNOR_OK);
  // Well within this, or never (the stopped copy kept until the next call).
  const auto stopped = Clock::now();
  while (PrivateBytes() > idle + 2 * kMb && Clock::now() - stopped < std::chrono::seconds(2)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_LE(PrivateBytes(), idle + 2 * kMb);
}

TEST_F(ZelnorDll, ASynchronousCallReturnsOnlyOnceEverySampleIsPlayed) {
  const uint64_t before = CapturedBytes();
  int result = -1;
  // 600 ms of sound. ALSA's null device takes it in about 3.5 times faster
  // than real time, so a call that only queued the blocks returns far sooner.
  EXPECT_GT(TimedPlay("1-2-3", 100, 0, &result), 100.0);
  EXPECT_EQ(result, ZELNOR_OK);
  // All handed over, with the device closed and its file complete.
  EXPECT_GE(CapturedBytes() - before, 3 * 200 * kBytesPerMs);
}

TEST_F(ZelnorDll, AnAsynchronousCallReturnsAtOnceAndAnEmptyStringStopsIt) {
  const std::string long_dial(5000, '5');
  int result = -1;
  EXPECT_LT(TimedPlay(long_dial.c_str(), 0, -1, &result), 100.0);
  EXPECT_EQ(result, ZELNOR_OK);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_LT(TimedPlay("no symbols here", 0, 0, &result), 1000.0);
  EXPECT_EQ(result, ZELNOR_OK);
  const uint64_t stopped_at = CapturedBytes();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(CapturedBytes(), stopped_at);
}

// What is heard after the switch is decoded by play_dtmf_capture_test.sh.
TEST_F(ZelnorDll, ASynchronousCallStoppedByAnotherThreadSaysSo) {
  std::thread replacer([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    play_("2", 40, 1);
  });
  EXPECT_EQ(play_("0000000000", 1000, 0), ZELNOR_E_STOPPED);
  replacer.join();
}

TEST_F(ZelnorDll, CallsFromManyThreadsAtOnceAllSucceedOrAreStopped) {
  std::vector<std::thread> threads;
  std::vector<int> failures(8, 0);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([this, t, &failures] {
      for (int i = 0; i < 15; ++i) {
        const char* dial = (i % 3 == 0) ? "" : "1#";
        const int async = (t + i) % 2;
        const int result = play_(dial, 40, async);
        if (result != ZELNOR_OK && (async || result != ZELNOR_E_STOPPED)) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(failures[t], 0) << "thread " << t;
}

TEST_F(ZelnorDll, OutOfRangeIntervalsStillPlay) {
  const uint64_t before = CapturedBytes();
  EXPECT_EQ(play_("7", -5, 0), ZELNOR_OK);  // plays as 40 ms
  EXPECT_GE(CapturedBytes() - before, 80 * kBytesPerMs);
}

#if defined(_WIN64)
void ZELNOR_CALL ThrowingProgress(void* calls, const ZelnorProgress*) {
  ++*static_cast<int*>(calls);
  throw std::runtime_error("a callback that breaks the rule");
}

// Where the library can catch a caller's exception at all (x64), it is
// contained: the dial plays whole, its result stands, no second call.
TEST_F(ZelnorDll, AThrowingProgressCallbackChangesNoResult) {
  const auto play_ex = reinterpret_cast<decltype(&PlayDTMFEx)>(
      reinterpret_cast<void*>(::GetProcAddress(library_.get(), "PlayDTMFEx")));
  ZelnorOptions options = ZELNOR_OPTIONS_FOR_INTERVAL(40);
  int calls = 0;
  options.progress = &ThrowingProgress;
  options.progress_context = &calls;
  const uint64_t before = CapturedBytes();
  EXPECT_EQ(play_ex("12", &options, 0), ZELNOR_OK);
  EXPECT_EQ(calls, 1);
  EXPECT_GE(CapturedBytes() - before, 2 * 80 * kBytesPerMs);
}
#endif

TEST_F(ZelnorDll, NoDeviceIsReportedAtOnce) {
  int result = -1;
  EXPECT_LT(TimedPlay("123", 100, 0, &result), 1000.0);
  EXPECT_EQ(result, ZELNOR_E_NO_DEVICE);
  EXPECT_LT(TimedPlay("123", 100, 1, &result), 1000.0);
  EXPECT_EQ(result, ZELNOR_E_NO_DEVICE);
  EXPECT_EQ(play_("", 100, 0), ZELNOR_OK);  // stopping needs no device
}

}  // namespace
