#include "zelnor/recording/wave_decoder.h"

#include <algorithm>
#include <vector>

namespace zelnor {
namespace {

// Samples read per channel at a time; fewer with many channels, so the
// buffers stay near this many floats whatever the channel count.
constexpr size_t kBufferSamples = 16384;
constexpr size_t kMinFrames = 64;

// One channel's receiver and where its reports go.
struct Channel {
  DtmfReceiver receiver;
  uint32_t index;
  ChannelDigitReport report;
  void* context;
};

void ReportChannel(void* context, const HeardDigit& digit, bool ended) {
  const auto& channel = *static_cast<const Channel*>(context);
  channel.report(channel.context, digit, channel.index, ended);
}

}  // namespace

WaveSummary DecodeWave(ByteSource& source, ReceiverSettings settings, ChannelDigitReport report,
                       void* context) {
  WaveReader reader(source);
  WaveSummary decoded;
  decoded.format = reader.format();
  const size_t channel_count = decoded.format.channels;
  settings.sample_rate = decoded.format.sample_rate;
  std::vector<Channel> channels(channel_count, Channel{DtmfReceiver(settings), 0, report, context});
  for (uint32_t i = 0; i < channel_count; ++i) channels[i].index = i;
  const size_t max_frames = std::max(kMinFrames, kBufferSamples / channel_count);
  std::vector<float> interleaved(max_frames * channel_count);
  std::vector<float> one_channel(max_frames);
  while (const size_t frames = reader.Read(interleaved.data(), max_frames)) {
    for (size_t c = 0; c < channel_count; ++c) {
      // One channel is heard where it was read; more are taken apart first.
      const float* samples = interleaved.data();
      if (channel_count > 1) {
        for (size_t i = 0; i < frames; ++i) one_channel[i] = interleaved[i * channel_count + c];
        samples = one_channel.data();
      }
      channels[c].receiver.Feed(samples, frames, &ReportChannel, &channels[c]);
    }
    decoded.frames += frames;
  }
  for (Channel& channel : channels) channel.receiver.Flush(&ReportChannel, &channel);
  decoded.truncated = reader.truncated();
  return decoded;
}

}  // namespace zelnor
