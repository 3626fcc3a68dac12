// Measures the masker on a stream of keypad tones (trial_stream.h): for
// each tone, the power left at both its frequencies over the whole tone
// and its first and last 10 ms, against the input; how far the replaced
// spans reach beyond it; spans far from any tone; samples changed outside
// the spans; and the digits our receiver, at its most sensitive, still
// hears. Prints a Markdown table by tone length; writes the input and the
// masked output as raw 16-bit samples for other receivers.
//
// Usage: mask_trials [--rate R] [--trials N] [--seed S] [--ms SHORTEST LONGEST]
//                    [--background quiet|noise|voice|speech FILE] [--under DB]
//                    [--codec ulaw|alaw] [--out PREFIX] [--list]
//   speech FILE: raw 16-bit mono at R, used in order.
//   --out PREFIX: writes PREFIX.in.raw and PREFIX.masked.raw.
//   --list: every tone left less than 40 dB down, and every one replaced
//   more than 30 ms beyond, one line each.

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "trial_stream.h"
#include "zelnor/masker/dtmf_masker.h"
#include "zelnor/receiver/dtmf_receiver.h"
#include "zelnor/signal/keypad.h"

namespace {

using zelnor_bench::Background;
using zelnor_bench::PlacedTone;

constexpr double kPi = 3.14159265358979323846;

// Hann-windowed correlation with a tone at `hz` over [first, first + count).
double ToneAmplitude(const std::vector<int16_t>& x, size_t first, size_t count, double hz,
                     uint32_t rate) {
  std::complex<double> sum = 0;
  double weights = 0;
  for (size_t i = 0; i < count; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2 * kPi * (i + 0.5) / static_cast<double>(count));
    sum += w * x[first + i] * std::polar(1.0, -2 * kPi * hz * static_cast<double>(i) / rate);
    weights += w;
  }
  return 2 * std::abs(sum) / weights;
}

// The most power left at either frequency over the whole tone and its first
// and last 10 ms, in dB against the input (-200: none at all).
double WorstLeftDb(const std::vector<int16_t>& in, const std::vector<int16_t>& out,
                   const PlacedTone& tone, uint32_t rate) {
  const zelnor::TonePair pair = *zelnor::TonesFor(tone.symbol);
  const size_t length = tone.end - tone.start;
  const size_t edge = std::min(length, static_cast<size_t>(rate / 100));
  double worst = -200;
  for (const double hz : {static_cast<double>(pair.low_hz), static_cast<double>(pair.high_hz)}) {
    const size_t firsts[] = {tone.start, tone.start, tone.end - edge};
    const size_t counts[] = {length, edge, edge};
    for (int k = 0; k < 3; ++k) {
      const double after = ToneAmplitude(out, firsts[k], counts[k], hz, rate);
      const double before = ToneAmplitude(in, firsts[k], counts[k], hz, rate);
      if (after > 0) worst = std::max(worst, 20 * std::log10(after / before));
    }
  }
  return worst;
}

struct Masked {
  std::vector<int16_t> samples;
  std::vector<zelnor::MaskedSpan> spans;
};

void KeepSpan(void* context, const zelnor::MaskedSpan& span) {
  static_cast<std::vector<zelnor::MaskedSpan>*>(context)->push_back(span);
}

Masked Mask(const std::vector<int16_t>& x, uint32_t rate) {
  Masked masked;
  zelnor::DtmfMasker masker({rate, zelnor::Replacement::kSilence, KeepSpan, &masked.spans});
  masked.samples.resize(x.size() + masker.Delay());
  constexpr size_t kChunk = 160;
  for (size_t at = 0; at < x.size(); at += kChunk) {
    masker.Process(x.data() + at, std::min(kChunk, x.size() - at), masked.samples.data() + at);
  }
  masker.Flush(masked.samples.data() + x.size());
  masked.samples.erase(masked.samples.begin(),
                       masked.samples.begin() + static_cast<long>(masker.Delay()));
  return masked;
}

std::vector<zelnor::HeardDigit> Hear(const std::vector<int16_t>& x, uint32_t rate) {
  std::vector<zelnor::HeardDigit> heard;
  const auto keep = [](void* context, const zelnor::HeardDigit& digit, bool ended) {
    if (ended) static_cast<std::vector<zelnor::HeardDigit>*>(context)->push_back(digit);
  };
  zelnor::DtmfReceiver receiver({rate, zelnor::kReceiverLowestLevelDbm0});
  receiver.Feed(x.data(), x.size(), keep, &heard);
  receiver.Flush(keep, &heard);
  return heard;
}

struct Class {
  Class(const char* label, double from, double to) : name(label), from_ms(from), to_ms(to) {}
  const char* name;
  double from_ms;
  double to_ms;
  int count = 0;
  int down40 = 0;
  int down60 = 0;
  double worst = -200;
  std::vector<double> leads;  // ms replaced before the tone
  std::vector<double> lags;   // and after it
  int heard_before = 0;
  int heard_after = 0;
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double Largest(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

std::vector<int16_t> ReadRaw(const char* path) {
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), {});
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

void WriteRaw(const std::string& path, const std::vector<int16_t>& x) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(x.data()), static_cast<std::streamsize>(x.size() * 2));
}

int Usage() {
  std::fprintf(stderr,
               "usage: mask_trials [--rate R] [--trials N] [--seed S] [--ms SHORTEST LONGEST]\n"
               "  [--background quiet|noise|voice|speech FILE] [--under DB] [--codec ulaw|alaw]\n"
               "  [--out PREFIX] [--list]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  zelnor_bench::TrialPlan plan;
  std::string out;
  bool list = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--rate" && more) {
      plan.rate = static_cast<uint32_t>(std::atoi(argv[++i]));
    } else if (a == "--trials" && more) {
      plan.trials = std::atoi(argv[++i]);
    } else if (a == "--seed" && more) {
      plan.seed = static_cast<uint32_t>(std::atoi(argv[++i]));
    } else if (a == "--ms" && i + 2 < argc) {
      plan.shortest_ms = std::atof(argv[++i]);
      plan.longest_ms = std::atof(argv[++i]);
    } else if (a == "--under" && more) {
      plan.under_db = std::atof(argv[++i]);
    } else if (a == "--codec" && more) {
      plan.codec = argv[++i];
      if (plan.codec != "ulaw" && plan.codec != "alaw") return Usage();
    } else if (a == "--out" && more) {
      out = argv[++i];
    } else if (a == "--list") {
      list = true;
    } else if (a == "--background" && more) {
      const std::string kind = argv[++i];
      if (kind == "quiet") {
        plan.background = Background::kQuiet;
      } else if (kind == "noise") {
        plan.background = Background::kNoise;
      } else if (kind == "voice") {
        plan.background = Background::kVoice;
      } else if (kind == "speech" && more) {
        plan.background = Background::kSpeech;
        plan.speech = ReadRaw(argv[++i]);
        if (plan.speech.empty()) return Usage();
      } else {
        return Usage();
      }
    } else {
      return Usage();
    }
  }
  const uint32_t rate = plan.rate;
  const zelnor_bench::TrialStream stream = zelnor_bench::MakeTrialStream(plan);
  const Masked masked = Mask(stream.samples, rate);
  if (!out.empty()) {
    WriteRaw(out + ".in.raw", stream.samples);
    WriteRaw(out + ".masked.raw", masked.samples);
  }

  Class classes[] = {{"10-11 ms", 10, 12},
                     {"12-19 ms", 12, 20},
                     {"20-39 ms", 20, 40},
                     {"40 ms and longer", 40, 1e9}};
  const auto class_of = [&](const PlacedTone& tone) -> Class* {
    const double ms = 1000.0 * static_cast<double>(tone.end - tone.start) / rate;
    for (Class& c : classes) {
      if (ms >= c.from_ms - 1e-9 && ms < c.to_ms) return &c;
    }
    return nullptr;
  };
  const double ms_per_sample = 1000.0 / rate;
  const size_t near = rate * 30 / 1000;
  std::vector<bool> near_a_tone(masked.spans.size(), false);
  int partly_left = 0;  // tones with a sample not replaced
  for (const PlacedTone& tone : stream.tones) {
    Class* c = class_of(tone);
    if (c == nullptr) continue;
    ++c->count;
    const double worst = WorstLeftDb(stream.samples, masked.samples, tone, rate);
    c->worst = std::max(c->worst, worst);
    c->down40 += worst <= -40;
    c->down60 += worst <= -60;
    if (list && worst > -40) {
      std::printf("left %6.1f dB: %c %.1f/%.1f dBm0, %.1f ms at sample %zu; replaced:", worst,
                  tone.symbol, tone.low_dbm0, tone.high_dbm0,
                  static_cast<double>(tone.end - tone.start) * ms_per_sample, tone.start);
      for (const zelnor::MaskedSpan& span : masked.spans) {
        if (span.end_sample <= tone.start || span.start_sample >= tone.end) continue;
        std::printf(" %+.1f to %+.1f ms",
                    (static_cast<double>(span.start_sample) - static_cast<double>(tone.start)) *
                        ms_per_sample,
                    (static_cast<double>(span.end_sample) - static_cast<double>(tone.start)) *
                        ms_per_sample);
      }
      std::printf("\n");
    }
    // Whether every sample of the tone was replaced.
    size_t covered = tone.start;
    for (const zelnor::MaskedSpan& span : masked.spans) {
      if (span.start_sample <= covered && span.end_sample > covered) covered = span.end_sample;
    }
    partly_left += covered < tone.end;
    // The spans that reach within 30 ms of the tone.
    double lead = 0;
    double lag = 0;
    for (size_t s = 0; s < masked.spans.size(); ++s) {
      const zelnor::MaskedSpan& span = masked.spans[s];
      if (span.end_sample + near <= tone.start || span.start_sample >= tone.end + near) continue;
      near_a_tone[s] = true;
      if (span.start_sample < tone.start) {
        lead = std::max(lead, static_cast<double>(tone.start - span.start_sample) * ms_per_sample);
      }
      if (span.end_sample > tone.end) {
        lag = std::max(lag, static_cast<double>(span.end_sample - tone.end) * ms_per_sample);
      }
    }
    if (list && (lead > 30 || lag > 30)) {
      std::printf(
          "reached %.1f ms before and %.1f ms after: %c %.1f/%.1f dBm0, %.1f ms at sample %zu\n",
          lead, lag, tone.symbol, tone.low_dbm0, tone.high_dbm0,
          static_cast<double>(tone.end - tone.start) * ms_per_sample, tone.start);
    }
    c->leads.push_back(lead);
    c->lags.push_back(lag);
  }
  // Digits our receiver hears, put to the tone whose slot they start in.
  const auto count_heard = [&](const std::vector<int16_t>& x, int Class::*field) {
    for (const zelnor::HeardDigit& digit : Hear(x, rate)) {
      const PlacedTone* owner = &stream.tones.front();
      for (const PlacedTone& tone : stream.tones) {
        if (tone.start <= digit.start_sample + rate / 4) owner = &tone;
      }
      if (Class* c = class_of(*owner)) ++(c->*field);
    }
  };
  count_heard(stream.samples, &Class::heard_before);
  count_heard(masked.samples, &Class::heard_after);

  size_t far_spans = 0;
  double far_ms = 0;
  for (size_t s = 0; s < masked.spans.size(); ++s) {
    if (near_a_tone[s]) continue;
    ++far_spans;
    far_ms += static_cast<double>(masked.spans[s].end_sample - masked.spans[s].start_sample) *
              ms_per_sample;
  }
  size_t changed_outside = 0;
  for (size_t n = 0, s = 0; n < stream.samples.size(); ++n) {
    while (s < masked.spans.size() && n >= masked.spans[s].end_sample) ++s;
    const bool inside = s < masked.spans.size() && n >= masked.spans[s].start_sample;
    if (!inside && masked.samples[n] != stream.samples[n]) ++changed_outside;
  }

  std::printf(
      "| tones | n | 40 dB down | 60 dB down | least down (dB) | replaced before, median / most "
      "(ms) | after | ours hears before | after |\n");
  std::printf("| --- | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |\n");
  for (const Class& c : classes) {
    if (c.count == 0) continue;
    std::printf("| %s | %d | %d | %d | %.1f | %.1f / %.1f | %.1f / %.1f | %d | %d |\n", c.name,
                c.count, c.down40, c.down60, -c.worst, Median(c.leads), Largest(c.leads),
                Median(c.lags), Largest(c.lags), c.heard_before, c.heard_after);
  }
  std::printf(
      "tones with a sample not replaced: %d; spans far from a tone: %zu (%.0f ms); samples "
      "changed outside the spans: %zu\n",
      partly_left, far_spans, far_ms, changed_outside);
  return 0;
}
