#include "zelnor/recording/sample_formats.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "zelnor/wave_format.h"

namespace zelnor {
namespace {

constexpr double kInt16Scale = 1.0 / 32768;

// A signed little-endian integer of `Bytes` bytes.
template <std::size_t Bytes>
double DecodeSigned(const std::uint8_t* at) {
  std::uint32_t bits = 0;
  for (std::size_t i = Bytes; i-- > 0;) bits = bits << 8 | at[i];
  // The top byte's sign carries the rest.
  const std::uint32_t sign = std::uint32_t{1} << (8 * Bytes - 1);
  const auto value = static_cast<std::int64_t>(bits ^ sign) - static_cast<std::int64_t>(sign);
  // A power of two, so the product is exact (as ldexp, which is a call per
  // sample).
  constexpr double kScale = 1.0 / static_cast<double>(std::uint64_t{1} << (8 * Bytes - 1));
  return static_cast<double>(value) * kScale;
}

// The nearest integer to `value` scaled to `bits`-bit full scale, clipped.
std::int64_t Quantise(double value, int bits) {
  if (std::isnan(value)) return 0;
  const auto top = static_cast<double>(std::int64_t{1} << (bits - 1));
  // Clipped first, rounded after: the same code as the other way round, and
  // llrint (to nearest, ties to even, as nearbyint) is one instruction
  // where nearbyint saves and restores the floating-point state per call.
  return std::llrint(std::clamp(value * top, -top, top - 1));
}

template <std::size_t Bytes>
void EncodeSigned(double value, std::uint8_t* at) {
  const auto bits = static_cast<std::uint32_t>(Quantise(value, 8 * Bytes));
  for (std::size_t i = 0; i < Bytes; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

double DecodeUnsigned8(const std::uint8_t* at) { return (*at - 128) / 128.0; }

void EncodeUnsigned8(double value, std::uint8_t* at) {
  *at = static_cast<std::uint8_t>(Quantise(value, 8) + 128);
}

// The host holds floats as IEEE little-endian, as the WAV does.
double DecodeFloat32(const std::uint8_t* at) {
  float value = 0;
  std::memcpy(&value, at, 4);
  return value;
}

void EncodeFloat32(double value, std::uint8_t* at) {
  const auto single = static_cast<float>(value);
  std::memcpy(at, &single, 4);
}

double DecodeFloat64(const std::uint8_t* at) {
  double value = 0;
  std::memcpy(&value, at, 8);
  return value;
}

void EncodeFloat64(double value, std::uint8_t* at) { std::memcpy(at, &value, 8); }

// G.711 expansions to 16-bit linear, as in the ITU's reference code.
double DecodeMuLaw(const std::uint8_t* at) {
  const auto code = static_cast<std::uint8_t>(~*at);
  const int magnitude = ((((code & 0x0F) << 3) + 0x84) << ((code & 0x70) >> 4)) - 0x84;
  // Signed even at zero, so both of its codes come back.
  const double value = magnitude * kInt16Scale;
  return (code & 0x80) != 0 ? -value : value;
}

double DecodeALaw(const std::uint8_t* at) {
  const auto code = static_cast<std::uint8_t>(*at ^ 0x55);
  const int segment = (code & 0x70) >> 4;
  int magnitude = (code & 0x0F) << 4;
  magnitude += segment == 0 ? 8 : 0x108;
  if (segment > 1) magnitude <<= segment - 1;
  const double value = magnitude * kInt16Scale;
  return (code & 0x80) != 0 ? value : -value;
}

// The segment whose top is the first at or above `magnitude`; 8 above all.
int Segment(int magnitude, const int (&tops)[8]) {
  return static_cast<int>(std::lower_bound(tops, tops + 8, magnitude) - tops);
}

// The 16-bit linear magnitude, clipped, and the sign (a negative zero's too).
int LinearMagnitude(double value, bool& negative) {
  negative = std::signbit(value);
  return static_cast<int>(std::min<std::int64_t>(std::abs(Quantise(value, 16)), 32767));
}

// G.711 compressions, as in the ITU's reference code.
void EncodeMuLaw(double value, std::uint8_t* at) {
  static constexpr int kTops[8] = {0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF, 0x1FFF};
  bool negative = false;
  const int magnitude = std::min(LinearMagnitude(value, negative) >> 2, 8159) + (0x84 >> 2);
  const int segment = Segment(magnitude, kTops);
  const int code = segment >= 8 ? 0x7F : segment << 4 | ((magnitude >> (segment + 1)) & 0x0F);
  *at = static_cast<std::uint8_t>(code ^ (negative ? 0x7F : 0xFF));
}

void EncodeALaw(double value, std::uint8_t* at) {
  static constexpr int kTops[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
  bool negative = false;
  const int magnitude = LinearMagnitude(value, negative) >> 3;
  const int segment = Segment(magnitude, kTops);
  const int step = magnitude >> (segment < 2 ? 1 : segment);
  const int code = segment >= 8 ? 0x7F : segment << 4 | (step & 0x0F);
  *at = static_cast<std::uint8_t>(code ^ (negative ? 0x55 : 0xD5));
}

constexpr SampleFormat kSampleFormats[] = {
    {kWaveFormatPcm, 1, DecodeUnsigned8, EncodeUnsigned8},
    {kWaveFormatPcm, 2, DecodeSigned<2>, EncodeSigned<2>},
    {kWaveFormatPcm, 3, DecodeSigned<3>, EncodeSigned<3>},
    {kWaveFormatPcm, 4, DecodeSigned<4>, EncodeSigned<4>},
    {kWaveFormatIeeeFloat, 4, DecodeFloat32, EncodeFloat32},
    {kWaveFormatIeeeFloat, 8, DecodeFloat64, EncodeFloat64},
    {kWaveFormatALaw, 1, DecodeALaw, EncodeALaw},
    {kWaveFormatMuLaw, 1, DecodeMuLaw, EncodeMuLaw},
};

}  // namespace

const SampleFormat* FindSampleFormat(std::uint16_t format_tag, std::size_t bytes) {
  for (const SampleFormat& format : kSampleFormats) {
    if (format.format_tag == format_tag && format.bytes == bytes) return &format;
  }
  return nullptr;
}

bool IsKnownSampleTag(std::uint16_t format_tag) {
  return std::any_of(std::begin(kSampleFormats), std::end(kSampleFormats),
                     [&](const SampleFormat& format) { return format.format_tag == format_tag; });
}

}  // namespace zelnor
