#include "zelnor/output/render.h"

#include <algorithm>
#include <cstddef>

#include "zelnor.h"

namespace zelnor {

int RenderSequence(DtmfSequence& sequence, int16_t* samples, uint64_t& sample_count) {
  const uint64_t room = sample_count;
  const uint64_t total = sequence.TotalSamples();
  sample_count = total;
  if (samples == nullptr) return ZELNOR_OK;
  if (room < total) return ZELNOR_E_BUFFER_TOO_SMALL;
  // In pieces a size_t can count, so a 32-bit build takes a 64-bit room too.
  uint64_t written = 0;
  while (written < total) {
    const auto piece = static_cast<size_t>(std::min<uint64_t>(total - written, SIZE_MAX));
    written += sequence.Generate(samples + written, piece);
  }
  return ZELNOR_OK;
}

}  // namespace zelnor
