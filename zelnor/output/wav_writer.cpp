#include "zelnor/output/wav_writer.h"

#include <algorithm>
#include <vector>

#include "zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

constexpr size_t kBlockSamples = 4096;

}  // namespace

void RequireWaveSize(const DtmfSequence& sequence) {
  if (sequence.TotalSamples() > kMaxWaveSamples) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "too long for a WAV file");
  }
}

void WriteWave(DtmfSequence& sequence, ByteSink& sink) {
  RequireWaveSize(sequence);
  // The header goes out with the first block: a reader that sniffs a
  // pipe's format (sox) may look once, and must find samples there too.
  const auto header = WaveHeader(sequence.SampleRate(), sequence.TotalSamples());
  std::vector<int16_t> samples(kBlockSamples);
  std::vector<uint8_t> bytes(header.size() + kBlockSamples * kWaveBytesPerSample);
  std::copy(header.begin(), header.end(), bytes.begin());
  // `waiting`: bytes in `bytes` not yet written, the header at first.
  for (size_t waiting = header.size();; waiting = 0) {
    const size_t count = sequence.Generate(samples.data(), samples.size());
    for (size_t i = 0; i < count; ++i) {
      PutLittleEndian(&bytes[waiting + kWaveBytesPerSample * i], static_cast<uint16_t>(samples[i]),
                      kWaveBytesPerSample);
    }
    waiting += count * kWaveBytesPerSample;
    if (waiting == 0) return;
    sink.Write(bytes.data(), waiting);
  }
}

}  // namespace zelnor
