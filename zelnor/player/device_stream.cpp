#include "zelnor/player/device_stream.h"

#include "zelnor.h"
#include "zelnor/player/timing.h"

namespace zelnor {

int DeviceStream::Play(DtmfSequence& sequence, Completion& progress) {
  if (stop_.IsSet()) return ZELNOR_E_STOPPED;
  const uint64_t block_samples = uint64_t{sequence.SampleRate()} * kBlockMs / 1000;
  block_.resize(static_cast<size_t>(block_samples));

  // The device starts only once the whole queue is in: started by the first
  // write it would hold one block, and a feeding thread delayed that long
  // leaves a gap in the tone.
  {
    const DriverWatch::Call call(watch_);
    device_.Pause();
  }
  int status = TopUp(sequence, 0);
  if (status != ZELNOR_OK) return status;
  // A thread released from a driver call long after it was replaced must not
  // start the device again.
  if (stop_.IsSet()) return ZELNOR_E_STOPPED;
  {
    const DriverWatch::Call call(watch_);
    device_.Restart();
  }

  uint64_t published = 0;
  for (;;) {
    uint64_t done = 0;
    {
      const DriverWatch::Call call(watch_);
      done = device_.BlocksDone();
    }
    // A block handed back has left the queue for the device's own buffer,
    // which sounds it next.
    if (done > published) {
      published = done;
      progress.ReachedSample(done * block_samples);
    }
    if (all_written_ && done >= written_) return AwaitPlayed(sequence.TotalSamples());
    status = TopUp(sequence, done);
    if (status != ZELNOR_OK) return status;
    if (all_written_ && done >= written_) continue;
    switch (platform_.WaitEither(stop_, block_done_, kDeviceGraceMs)) {
      case WaitResult::kFirst:
        return ZELNOR_E_STOPPED;
      case WaitResult::kTimedOut:
        return ZELNOR_E_DEVICE;
      case WaitResult::kSecond:
        break;
    }
  }
}

int DeviceStream::TopUp(DtmfSequence& sequence, uint64_t done) {
  while (!all_written_ && written_ - done < kQueuedBlocks) {
    const size_t filled = sequence.Generate(block_.data(), block_.size());
    if (filled == 0) {
      all_written_ = true;
      break;
    }
    if (stop_.IsSet()) return ZELNOR_E_STOPPED;
    const DriverWatch::Call call(watch_);
    if (!device_.Write(block_.data(), filled)) return ZELNOR_E_DEVICE;
    ++written_;
  }
  return ZELNOR_OK;
}

int DeviceStream::AwaitPlayed(uint64_t samples) {
  const uint64_t deadline = platform_.NowMs() + kPlayedOutMs;
  for (;;) {
    std::optional<uint32_t> played;
    {
      const DriverWatch::Call call(watch_);
      played = device_.SamplesPlayed();
    }
    // Compared modulo 2^32: the last sample is at most kPlayedOutMs away.
    const auto short_of = static_cast<int32_t>(static_cast<uint32_t>(samples) - played.value_or(0));
    if (!played || short_of <= 0 || platform_.NowMs() >= deadline) return ZELNOR_OK;
    if (stop_.Wait(kDevicePollMs)) return ZELNOR_E_STOPPED;
  }
}

void DeviceStream::Reset() {
  {
    const DriverWatch::Call call(watch_);
    device_.Reset();
  }
  // Wine marks reset blocks done one by one, outside its lock, after the
  // reset has returned.
  const uint64_t deadline = platform_.NowMs() + kBlocksBackMs;
  while (!device_.AllBlocksBack() && platform_.NowMs() < deadline) {
    block_done_.Wait(kDevicePollMs);
  }
}

}  // namespace zelnor
