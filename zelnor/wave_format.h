#pragma once
// The WAV format as zelnor.dll knows it: the format tags it reads, and the
// file it writes, 16-bit mono PCM (RIFF, little-endian) after a 44-byte
// header. Its sizes come first, so a writer that cannot seek back (a pipe)
// must know them before the first sample.

#include <array>
#include <cstddef>
#include <cstdint>

// Format tags (mmreg.h's values).
inline constexpr uint16_t kWaveFormatPcm = 0x0001;
inline constexpr uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr uint16_t kWaveFormatALaw = 0x0006;
inline constexpr uint16_t kWaveFormatMuLaw = 0x0007;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

inline constexpr size_t kWaveHeaderBytes = 44;
inline constexpr size_t kWaveBytesPerSample = 2;
// The RIFF size field counts 36 header bytes and the data in 32 bits.
inline constexpr uint64_t kMaxWaveSamples = (0xFFFFFFFFull - 36) / kWaveBytesPerSample;

// Writes `value` at `at`, least significant byte first.
inline void PutLittleEndian(uint8_t* at, uint32_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

// The header before `sample_count` samples (at most kMaxWaveSamples).
inline std::array<uint8_t, kWaveHeaderBytes> WaveHeader(uint32_t sample_rate,
                                                        uint64_t sample_count) {
  constexpr uint16_t kChannels = 1;
  constexpr auto kBytesPerSample = static_cast<uint16_t>(kWaveBytesPerSample);
  const auto data_bytes = static_cast<uint32_t>(sample_count * kBytesPerSample);
  std::array<uint8_t, kWaveHeaderBytes> header{
      'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 0,   0,   0,   0,
      0,   0,   0,   0,   0, 0, 0, 0, 0,   0,   0,   0,   0,   0,   0,   0,   'd', 'a', 't', 'a'};
  PutLittleEndian(&header[4], 36 + data_bytes, 4);
  PutLittleEndian(&header[16], 16, 4);
  PutLittleEndian(&header[20], kWaveFormatPcm, 2);
  PutLittleEndian(&header[22], kChannels, 2);
  PutLittleEndian(&header[24], sample_rate, 4);
  PutLittleEndian(&header[28], sample_rate * kChannels * kBytesPerSample, 4);
  PutLittleEndian(&header[32], kChannels * kBytesPerSample, 2);
  PutLittleEndian(&header[34], 8 * kBytesPerSample, 2);
  PutLittleEndian(&header[40], data_bytes, 4);
  return header;
}
