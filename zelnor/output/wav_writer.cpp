#include "zelnor/output/wav_writer.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {
namespace {

constexpr uint16_t kPcmFormat = 1;
constexpr uint16_t kChannels = 1;
constexpr uint16_t kBytesPerSample = 2;
constexpr size_t kBlockSamples = 4096;

void PutLe16(uint8_t* at, uint16_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

std::array<uint8_t, kWaveHeaderBytes> WaveHeader(uint32_t sample_rate, uint32_t sample_count) {
  const uint32_t data_bytes = sample_count * kBytesPerSample;
  std::array<uint8_t, kWaveHeaderBytes> header{'R', 'I', 'F', 'F', 0,   0,   0, 0, 'W', 'A',
                                               'V', 'E', 'f', 'm', 't', ' ', 0, 0, 0,   0};
  PutLe32(&header[4], 36 + data_bytes);
  PutLe32(&header[16], 16);
  PutLe16(&header[20], kPcmFormat);
  PutLe16(&header[22], kChannels);
  PutLe32(&header[24], sample_rate);
  PutLe32(&header[28], sample_rate * kChannels * kBytesPerSample);
  PutLe16(&header[32], kChannels * kBytesPerSample);
  PutLe16(&header[34], 8 * kBytesPerSample);
  const uint8_t data_tag[] = {'d', 'a', 't', 'a'};
  std::copy(std::begin(data_tag), std::end(data_tag), &header[36]);
  PutLe32(&header[40], data_bytes);
  return header;
}

void RequireWaveSize(const DtmfSequence& sequence) {
  if (sequence.TotalSamples() > kMaxWaveSamples) {
    throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "too long for a WAV file");
  }
}

bool WriteWave(DtmfSequence& sequence, ByteSink& sink) {
  RequireWaveSize(sequence);
  const auto header =
      WaveHeader(sequence.SampleRate(), static_cast<uint32_t>(sequence.TotalSamples()));
  if (!sink.Write(header.data(), header.size())) return false;
  std::vector<int16_t> samples(kBlockSamples);
  std::vector<uint8_t> bytes(kBlockSamples * kBytesPerSample);
  while (const size_t count = sequence.Generate(samples.data(), samples.size())) {
    for (size_t i = 0; i < count; ++i) PutLe16(&bytes[2 * i], static_cast<uint16_t>(samples[i]));
    if (!sink.Write(bytes.data(), count * kBytesPerSample)) return false;
  }
  return true;
}

}  // namespace zelnor
