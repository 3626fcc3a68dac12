#include "zelnor/output/wav_writer.h"

#include <vector>

#include "zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

constexpr size_t kBytesPerSample = 2;
constexpr size_t kBlockSamples = 4096;

}  // namespace

void RequireWaveSize(const DtmfSequence& sequence) {
  if (sequence.TotalSamples() > kMaxWaveSamples) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "too long for a WAV file");
  }
}

bool WriteWave(DtmfSequence& sequence, ByteSink& sink) {
  RequireWaveSize(sequence);
  const auto header = WaveHeader(sequence.SampleRate(), sequence.TotalSamples());
  if (!sink.Write(header.data(), header.size())) return false;
  std::vector<int16_t> samples(kBlockSamples);
  std::vector<uint8_t> bytes(kBlockSamples * kBytesPerSample);
  while (const size_t count = sequence.Generate(samples.data(), samples.size())) {
    for (size_t i = 0; i < count; ++i)
      PutLittleEndian(&bytes[2 * i], static_cast<uint16_t>(samples[i]), 2);
    if (!sink.Write(bytes.data(), count * kBytesPerSample)) return false;
  }
  return true;
}

}  // namespace zelnor
