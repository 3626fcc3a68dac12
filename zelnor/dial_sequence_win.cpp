#include "zelnor/dial_sequence_win.h"

#include "zelnor/options.h"
#include "zelnor/symbol_reader.h"
#include "zelnor/system_code_page_win.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

DtmfSequence SequenceForDial(const char* dial, const ZelnorOptions* options) {
  if (dial == nullptr) throw ZelnorError(ZELNOR_E_INVALID_ARGUMENT, "null dial");
  const SequenceOptions checked = ToSequenceOptions(options);
  return DtmfSequence(ReadSymbols(dial, SystemCodePageRules()), checked);
}

}  // namespace zelnor
