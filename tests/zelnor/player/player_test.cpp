// The player's state machine driven through a fake device and a fake
// clock: what was heard, what each call returned, and how many threads it
// took, with no wait measured against the wall clock.

#include "zelnor/player/player.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/zelnor/player/fake_player_platform.h"
#include "zelnor.h"
#include "zelnor/player/progress_report.h"
#include "zelnor/player/timing.h"
#include "zelnor/signal/symbol_reader.h"

namespace {

using zelnor::Playback;
using zelnor_test::DeviceLog;

// 8 kHz, 40 ms tones and gaps: 640 samples, four 20 ms blocks per symbol.
const zelnor::SequenceOptions kOptions{40, 40, 8000};
constexpr size_t kBlocksPerSymbol = 4;

zelnor::DtmfSequence Sequence(const std::string& symbols) {
  return zelnor::DtmfSequence(zelnor::ReadDial(std::wstring(symbols.begin(), symbols.end())),
                              kOptions);
}

std::vector<int16_t> Rendered(const std::string& symbols) {
  zelnor::DtmfSequence sequence = Sequence(symbols);
  std::vector<int16_t> samples(sequence.TotalSamples());
  samples.resize(sequence.Generate(samples.data(), samples.size()));
  return samples;
}

std::vector<std::string> CallsAfter(const DeviceLog& log, size_t first) {
  return {log.calls.begin() + static_cast<std::ptrdiff_t>(first), log.calls.end()};
}

// A synchronous call on a thread of its own.
class SyncCall {
 public:
  SyncCall(zelnor::Player& player, std::optional<Playback> playback,
           zelnor::ProgressReport* progress = nullptr)
      : thread_([this, &player, progress, playback = std::move(playback)]() mutable {
          result_ = player.Play(std::move(playback), false, progress);
        }) {}
  SyncCall(const SyncCall&) = delete;
  SyncCall& operator=(const SyncCall&) = delete;
  ~SyncCall() {
    if (thread_.joinable()) thread_.join();
  }
  int get() {
    thread_.join();
    return result_;
  }

 private:
  int result_ = -1;
  std::thread thread_;
};

class PlayerTest : public testing::Test {
 protected:
  void TearDown() override { platform_.EndThreads(); }

  std::optional<Playback> Dial(const std::string& symbols) {
    return Playback{Sequence(symbols), ZELNOR_DEFAULT_DEVICE};
  }
  int PlayAsync(const std::string& symbols) { return player_.Play(Dial(symbols), true); }
  std::unique_ptr<SyncCall> PlaySync(const std::string& symbols) {
    return std::make_unique<SyncCall>(player_, Dial(symbols));
  }
  // Lets the clock run in kWedgeCheckMs steps while `waiters` are parked.
  void AdvanceInSteps(uint64_t ms, int waiters) {
    for (uint64_t passed = 0; passed < ms; passed += zelnor::kWedgeCheckMs) {
      platform_.AwaitTimedWaiters(waiters);
      platform_.Advance(zelnor::kWedgeCheckMs);
    }
  }

  zelnor_test::FakePlatform platform_;
  zelnor::Player player_{platform_};
};

TEST_F(PlayerTest, ALaterCallStopsASynchronousOneWhichSaysSoAndOnlyTheLaterIsHeardAfter) {
  platform_.HangOn(0, "reset");  // the stopped call is to wait for the reset and the close
  bool closed_on_return = false;
  std::thread first([&] {
    EXPECT_EQ(player_.Play(Dial("1111"), false), ZELNOR_E_STOPPED);
    closed_on_return = platform_.Device(0).Closed();
  });
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.written.size() == 8; });
  platform_.PlayBlocks(0, 2);
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.written.size() == 10; });
  const size_t calls_before_stop = platform_.Device(0).calls.size();

  EXPECT_EQ(PlayAsync("2"), ZELNOR_OK);
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.hanging; });
  platform_.ReleaseHangs();
  first.join();
  EXPECT_TRUE(closed_on_return) << "the stopped call returned while it could still be heard";
  platform_.PlayUntilClosed(1);

  const DeviceLog stopped = platform_.Device(0);
  EXPECT_EQ(CallsAfter(stopped, calls_before_stop), (std::vector<std::string>{"reset", "close"}));
  EXPECT_EQ(stopped.heard.size(), 2 * Rendered("1").size() / kBlocksPerSymbol);
  EXPECT_EQ(platform_.Device(1).heard, Rendered("2"));
}

TEST_F(PlayerTest, ASynchronousCallReturnsOnceTheLastBlockIsBackWithEverySampleHeard) {
  auto call = PlaySync("159#");
  platform_.PlayUntilClosed(0);
  EXPECT_EQ(call->get(), ZELNOR_OK);
  EXPECT_EQ(platform_.Device(0).heard, Rendered("159#"));
}

TEST_F(PlayerTest, ASynchronousCallEndsOnlyOnceTheDevicesPositionReachesTheLastSample) {
  platform_.position_lag = 100;
  auto call = PlaySync("1");
  platform_.AwaitTimedWaiters(2);  // the caller, and the player waiting for a block
  platform_.PlayBlocks(0, 4);
  platform_.AwaitBlockSeen(0);
  platform_.AwaitTimedWaiters(2);  // the caller, and the player watching the position
  EXPECT_FALSE(platform_.Device(0).Closed());
  {
    const std::lock_guard<std::mutex> lock(platform_.mutex);
    platform_.position_lag = 0;
  }
  platform_.Advance(zelnor::kDevicePollMs);
  EXPECT_EQ(call->get(), ZELNOR_OK);
  EXPECT_TRUE(platform_.Device(0).Closed());
}

TEST_F(PlayerTest, ADeviceThatStopsTakingSamplesFailsTheCallWithinTheDialAndTheGrace) {
  auto call = PlaySync("1");
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.written.size() == 4; });
  const uint64_t start = platform_.NowMs();
  AdvanceInSteps(zelnor::kDeviceGraceMs, 2);  // the caller and the player thread
  EXPECT_EQ(call->get(), ZELNOR_E_DEVICE);
  EXPECT_LE(platform_.NowMs() - start, 80 + zelnor::kDeviceGraceMs);
}

TEST_F(PlayerTest, AWedgedPlayerIsReplacedAndNeverSoundsWhenTheDriverLetsItGo) {
  platform_.HangOn(0, "write");
  ASSERT_EQ(PlayAsync("1111"), ZELNOR_OK);
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.hanging; });

  auto second = PlaySync("2");
  AdvanceInSteps(zelnor::kWedgedAfterMs, 1);  // the second caller
  platform_.PlayUntilClosed(1);
  EXPECT_EQ(second->get(), ZELNOR_OK);
  EXPECT_EQ(platform_.Device(1).heard, Rendered("2"));

  const size_t calls_before_release = platform_.Device(0).calls.size();
  platform_.ReleaseHangs();
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.Closed(); });
  const DeviceLog stuck = platform_.Device(0);
  EXPECT_EQ(CallsAfter(stuck, calls_before_release), (std::vector<std::string>{"reset", "close"}));
  EXPECT_TRUE(stuck.heard.empty());
  EXPECT_LE(platform_.PeakThreads(), 2);
}

TEST_F(PlayerTest, WithTwoPlayersWedgedACallFailsAtOnceAndPlayingResumesOnceOneReturns) {
  platform_.HangOn(0, "write");
  platform_.HangOn(1, "write");
  ASSERT_EQ(PlayAsync("1"), ZELNOR_OK);
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.hanging; });
  platform_.Advance(zelnor::kWedgedAfterMs);
  ASSERT_EQ(PlayAsync("2"), ZELNOR_OK);
  platform_.AwaitDevice(1, [](const DeviceLog& log) { return log.hanging; });
  platform_.Advance(zelnor::kWedgedAfterMs);

  EXPECT_EQ(PlayAsync("3"), ZELNOR_E_DEVICE);
  EXPECT_EQ(platform_.PeakThreads(), 2);

  platform_.ReleaseHangs();
  platform_.AwaitDevice(1, [](const DeviceLog& log) { return log.Closed(); });
  auto after = PlaySync("4");
  platform_.PlayUntilClosed(2);
  EXPECT_EQ(after->get(), ZELNOR_OK);
  EXPECT_EQ(platform_.Device(2).heard, Rendered("4"));
  EXPECT_LE(platform_.PeakThreads(), 2);
}

TEST_F(PlayerTest, ACallRacingTheIdlePlayersRetirementIsPlayedWithAtMostTwoThreads) {
  platform_.auto_play = true;
  for (size_t round = 0; round < 50; ++round) {
    const size_t first = 2 * round;
    ASSERT_EQ(PlayAsync("1"), ZELNOR_OK);
    platform_.AwaitDevice(first, [](const DeviceLog& log) { return log.Closed(); });
    platform_.AwaitTimedWaiters(1);  // the player, idle
    std::thread clock([this] { platform_.Advance(zelnor::kIdleMs); });
    ASSERT_EQ(PlayAsync("2"), ZELNOR_OK);
    clock.join();
    platform_.AwaitDevice(first + 1, [](const DeviceLog& log) { return log.Closed(); });
    ASSERT_EQ(platform_.Device(first + 1).heard, Rendered("2")) << "round " << round;
  }
  EXPECT_LE(platform_.PeakThreads(), 2);
}

TEST_F(PlayerTest, EightThreadsOfMixedCallsEachGetATruthfulResult) {
  platform_.auto_play = true;
  std::vector<std::thread> callers;
  std::vector<int> wrong(8, 0);
  for (int t = 0; t < 8; ++t) {
    callers.emplace_back([this, t, &wrong] {
      for (int i = 0; i < 40; ++i) {
        const bool async = (t + i) % 2 == 0;
        const int result =
            i % 5 == 0 ? player_.Play(std::nullopt, async) : player_.Play(Dial("1#"), async);
        const bool truthful = result == ZELNOR_OK || (!async && result == ZELNOR_E_STOPPED);
        wrong[t] += truthful ? 0 : 1;
      }
    });
  }
  for (std::thread& caller : callers) caller.join();
  for (int t = 0; t < 8; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
  const size_t last = platform_.DevicesOpened();
  EXPECT_EQ(player_.Play(Dial("9"), false), ZELNOR_OK);
  EXPECT_EQ(platform_.Device(last).heard, Rendered("9"));
  EXPECT_EQ(platform_.PeakThreads(), 1);
}

TEST_F(PlayerTest, AMissingDeviceIsReportedToSynchronousCallsAndToAsynchronousOnesOnceKnown) {
  platform_.device_count = 0;
  EXPECT_EQ(PlayAsync("1"), ZELNOR_OK);  // nothing known yet
  EXPECT_EQ(player_.Play(Dial("1"), false), ZELNOR_E_NO_DEVICE);
  EXPECT_EQ(PlayAsync("1"), ZELNOR_E_NO_DEVICE);
  platform_.Advance(zelnor::kDeviceCountTrustedMs);
  EXPECT_EQ(PlayAsync("1"), ZELNOR_OK);  // counted afresh by the player
}

TEST_F(PlayerTest, AStoppedCallSaysSoEvenWhenItsDeviceHandsItsBlocksBackSlowly) {
  platform_.blocks_back_after_reset_ms = 1500;
  auto first = PlaySync("1111");
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.written.size() == 8; });
  EXPECT_EQ(PlayAsync("2"), ZELNOR_OK);
  platform_.AwaitDevice(0, [](const DeviceLog& log) { return log.reset_at_ms.has_value(); });
  AdvanceInSteps(1500, 2);  // the stopped caller, and the player waiting for its blocks
  EXPECT_EQ(first->get(), ZELNOR_E_STOPPED);
  platform_.PlayUntilClosed(1);
  EXPECT_EQ(platform_.Device(1).heard, Rendered("2"));
  EXPECT_EQ(platform_.PeakThreads(), 1) << "a slow hand-back was taken for a wedged driver";
}

struct Heard {
  ZelnorProgress progress;
  uint64_t blocks_heard;
};

// What the callback was told, on the calling thread, and how many blocks the
// device had handed back by then. The first report can be held until the
// device has handed back `hold_first_until` blocks.
struct ProgressLog {
  ProgressLog(zelnor_test::FakePlatform* platform_in, uint64_t hold_first_until_in = 0)
      : platform(platform_in), hold_first_until(hold_first_until_in) {}

  zelnor_test::FakePlatform* platform;
  uint64_t hold_first_until;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<Heard> heard;

  void AwaitReports(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    ASSERT_TRUE(
        changed.wait_for(lock, std::chrono::seconds(20), [&] { return heard.size() >= count; }));
  }
  std::vector<Heard> Reports() {
    const std::lock_guard<std::mutex> lock(mutex);
    return heard;
  }
};

void ZELNOR_CALL RecordProgress(void* log, const ZelnorProgress* progress) {
  auto* self = static_cast<ProgressLog*>(log);
  if (self->Reports().empty() && self->hold_first_until > 0) {
    self->platform->AwaitDevice(0, [self](const DeviceLog& device) {
      return device.blocks_done >= self->hold_first_until;
    });
  }
  const uint64_t blocks = self->platform->Device(0).blocks_done;
  const std::lock_guard<std::mutex> lock(self->mutex);
  self->heard.push_back({*progress, blocks});
  self->changed.notify_all();
}

TEST_F(PlayerTest, ProgressNamesEachSymbolOnceItsFirstBlockIsHandedBackAndThenTheEnd) {
  ProgressLog log(&platform_);
  zelnor::ProgressReport progress(Sequence("7*"), {&RecordProgress, &log});
  SyncCall call(player_, Dial("7*"), &progress);
  // Each block waits for the report it brings, so a report shows the blocks
  // that brought it.
  const size_t reports_after_block[] = {1, 1, 1, 1, 2, 2, 2, 2};
  for (size_t reports : reports_after_block) {
    platform_.AwaitTimedWaiters(2);  // the caller, and the player waiting for a block
    platform_.PlayBlocks(0, 1);
    platform_.AwaitBlockSeen(0);
    log.AwaitReports(reports);
  }
  ASSERT_EQ(call.get(), ZELNOR_OK);

  const std::vector<Heard> heard = log.Reports();
  ASSERT_EQ(heard.size(), 3u);
  const uint64_t expected_blocks[] = {1, kBlocksPerSymbol + 1, 2 * kBlocksPerSymbol};
  const char expected_symbols[] = {'7', '*', 0};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(heard[i].progress.symbol_index, i);
    EXPECT_EQ(heard[i].progress.symbol_count, 2u);
    EXPECT_EQ(heard[i].progress.symbol, expected_symbols[i]);
    EXPECT_EQ(heard[i].blocks_heard, expected_blocks[i]) << "report " << i;
  }
  EXPECT_EQ(heard[2].progress.dial_offset, 2u);
}

TEST_F(PlayerTest, AProgressCallbackThatBlocksDelaysNoSampleAndChangesNoResult) {
  const std::string dial = "7*#1";
  const size_t blocks = 4 * kBlocksPerSymbol;
  ProgressLog log(&platform_, blocks);  // the first report returns once all is heard
  zelnor::ProgressReport progress(Sequence(dial), {&RecordProgress, &log});
  SyncCall call(player_, Dial(dial), &progress);
  for (size_t played = 0; played < blocks; ++played) {
    // The queue is kept full while the callback blocks.
    const size_t full = std::min<size_t>(zelnor::kQueuedBlocks, blocks - played);
    platform_.AwaitDevice(0, [full](const DeviceLog& device) { return device.Queued() == full; });
    platform_.PlayBlocks(0, 1);
  }
  EXPECT_EQ(call.get(), ZELNOR_OK);
  EXPECT_EQ(platform_.Device(0).heard, Rendered(dial));
  std::string reported;
  for (const Heard& heard : log.Reports()) reported += heard.progress.symbol;
  EXPECT_EQ(reported, std::string("7*#1") + '\0');
}

}  // namespace
