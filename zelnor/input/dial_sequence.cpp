#include "zelnor/input/dial_sequence.h"

#include "zelnor/exports/play_options.h"
#include "zelnor/input/dial_text.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

DtmfSequence SequenceForDial(const char* dial, const ZelnorOptions* options) {
  if (dial == nullptr) throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "null dial");
  const SequenceOptions checked = ToSequenceOptions(options);
  return DtmfSequence(ReadDialSymbols(dial), checked);
}

}  // namespace zelnor
