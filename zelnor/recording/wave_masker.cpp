#include "zelnor/recording/wave_masker.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "zelnor/recording/sample_formats.h"

namespace zelnor {
namespace {

// Passes the header's bytes on to the sink as the reader takes them, so
// that every chunk before the data is copied whatever it holds; the
// samples, once the header is read, go through the maskers instead.
class CopyingSource final : public ByteSource {
 public:
  CopyingSource(ByteSource& source, ByteSink& sink) : source_(source), sink_(sink) {}
  size_t Read(uint8_t* bytes, size_t count) override {
    const size_t got = source_.Read(bytes, count);
    if (copying_) sink_.Write(bytes, got);
    return got;
  }
  void StopCopying() { copying_ = false; }

 private:
  ByteSource& source_;
  ByteSink& sink_;
  bool copying_ = true;
};

struct ChannelReport {
  WaveSpanReport report;
  void* context;
  uint32_t channel;
};

void ReportChannelSpan(void* context, const MaskedSpan& span) {
  const auto& channel = *static_cast<const ChannelReport*>(context);
  channel.report(channel.context, {channel.channel, span.start_sample, span.end_sample});
}

// The samples in flight: a masker per channel, and the original bytes and
// decoded values of the last Delay() frames, the bytes written back
// wherever the masker kept a sample.
class WaveMasking {
 public:
  WaveMasking(const WaveFormat& format, MaskerSettings settings, WaveSpanReport report,
              void* context)
      : sample_bytes_(format.block_align / format.channels),
        frame_bytes_(format.block_align),
        sample_(*FindSampleFormat(format.format_tag, sample_bytes_)),
        reports_(format.channels) {
    settings.sample_rate = format.sample_rate;
    maskers_.reserve(format.channels);
    for (uint32_t channel = 0; channel < format.channels; ++channel) {
      reports_[channel] = {report, context, channel};
      settings.report = report != nullptr ? ReportChannelSpan : nullptr;
      settings.context = &reports_[channel];
      maskers_.emplace_back(settings);
    }
    delay_ = maskers_.front().Delay();
    kept_.resize(delay_ * frame_bytes_);
    kept_values_.resize(delay_ * format.channels);
    masked_.resize(delay_ * frame_bytes_);
    in_.resize(delay_);
    out_.resize(delay_);
  }

  // The most frames Add takes at once.
  [[nodiscard]] size_t MaxFrames() const { return delay_; }

  // Masks the next `count` frames and writes those that come out.
  void Add(const uint8_t* frames, size_t count, ByteSink& sink) {
    for (size_t channel = 0; channel < maskers_.size(); ++channel) {
      const uint8_t* at = frames + channel * sample_bytes_;
      for (size_t i = 0; i < count; ++i, at += frame_bytes_) {
        in_[i] = SignalValue(sample_.decode(at));
      }
      maskers_[channel].Process(in_.data(), count, out_.data());
      Place(channel, count, true);
    }
    Emit(count, sink);
    // Into the ring, round its end at most once.
    const size_t from = Slot(taken_);
    const size_t run = std::min(count, delay_ - from);
    std::memcpy(&kept_[from * frame_bytes_], frames, run * frame_bytes_);
    std::memcpy(kept_.data(), frames + run * frame_bytes_, (count - run) * frame_bytes_);
    taken_ += count;
  }

  // Writes the frames still held.
  void Finish(ByteSink& sink) {
    for (size_t channel = 0; channel < maskers_.size(); ++channel) {
      maskers_[channel].Flush(out_.data());
      Place(channel, delay_, false);
    }
    Emit(delay_, sink);
  }

  [[nodiscard]] uint64_t frames() const { return taken_; }

 private:
  // Where frame n sits in a ring of Delay() frames.
  [[nodiscard]] size_t Slot(uint64_t n) const { return static_cast<size_t>(n % delay_); }

  // Puts `count` masked samples of `channel` out, the first for frame
  // taken_ - Delay() (those before frame 0 are the masker's lead-in), each
  // in the slot of the frame that now takes its place; with `taking`, the
  // values in in_ are kept there for frames taken_ on.
  void Place(size_t channel, size_t count, bool taking) {
    const size_t channels = maskers_.size();
    size_t slot = Slot(taken_);
    for (size_t i = 0; i < count; ++i) {
      float& kept = kept_values_[slot * channels + channel];
      if (taken_ + i >= delay_) {
        const size_t at = slot * frame_bytes_ + channel * sample_bytes_;
        if (std::memcmp(&kept, &out_[i], sizeof kept) == 0) {
          std::copy_n(&kept_[at], sample_bytes_, &masked_[at]);
        } else {
          sample_.encode(out_[i], &masked_[at]);
        }
      }
      if (taking) kept = in_[i];
      if (++slot == delay_) slot = 0;
    }
  }

  // Writes the frames Place filled for `count` samples from taken_.
  void Emit(size_t count, ByteSink& sink) {
    const uint64_t first = std::max<uint64_t>(taken_, delay_) - delay_;
    const uint64_t end = taken_ + count > delay_ ? taken_ + count - delay_ : 0;
    // At most Delay() frames, in the ring from `from` and round its end.
    const size_t from = Slot(first);
    const auto frames = static_cast<size_t>(end - first);
    const size_t run = std::min(frames, delay_ - from);
    sink.Write(&masked_[from * frame_bytes_], run * frame_bytes_);
    sink.Write(masked_.data(), (frames - run) * frame_bytes_);
  }

  size_t sample_bytes_;
  size_t frame_bytes_;
  const SampleFormat& sample_;
  std::vector<ChannelReport> reports_;  // each masker points at its own
  std::vector<DtmfMasker> maskers_;
  size_t delay_ = 0;
  std::vector<uint8_t> kept_;       // input frame n at n % Delay()
  std::vector<float> kept_values_;  // and its samples as the maskers took them
  std::vector<uint8_t> masked_;     // output frame n at n % Delay()
  std::vector<float> in_;
  std::vector<float> out_;
  uint64_t taken_ = 0;
};

}  // namespace

WaveSummary MaskWave(ByteSource& in, ByteSink& out, MaskerSettings settings, WaveSpanReport report,
                     void* context) {
  CopyingSource source(in, out);
  WaveReader reader(source);
  source.StopCopying();
  WaveSummary result;
  result.format = reader.format();
  WaveMasking masking(result.format, settings, report, context);

  const size_t frame_bytes = result.format.block_align;
  std::vector<uint8_t> bytes(masking.MaxFrames() * frame_bytes);
  size_t got = 0;
  while ((got = reader.ReadBytes(bytes.data(), masking.MaxFrames())) != 0) {
    masking.Add(bytes.data(), got / frame_bytes, out);
    if (got % frame_bytes != 0) break;
  }
  masking.Finish(out);
  result.frames = masking.frames();
  result.truncated = reader.truncated();
  // An incomplete frame at the end, the data's pad byte and the chunks
  // after it, as they were.
  const size_t whole = got - got % frame_bytes;
  out.Write(bytes.data() + whole, got - whole);
  while ((got = in.Read(bytes.data(), bytes.size())) != 0) out.Write(bytes.data(), got);
  return result;
}

}  // namespace zelnor
