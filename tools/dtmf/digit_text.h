#pragma once
// A digit heard, as --decode and --listen print it, and a span masked, as
// --mask prints it.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/dtmf/command_line.h"
#include "zelnor.h"

namespace dtmf_tool {

// The text for one digit in `format`: the symbol alone for kLine (the
// caller ends the line), else a whole line. Channels are counted from 1;
// kTimes shows the channel only when `several_channels`.
std::string DigitText(const ZelnorDigit& digit, uint32_t sample_rate, DigitFormat format,
                      bool several_channels);

// The line for one span `--mask` replaced: start and end in seconds, and
// the channel (from 1) when `several_channels`; kJson as an object with
// the channel always. Never the digit.
std::string SpanText(const ZelnorMaskedSpan& span, uint32_t sample_rate, DigitFormat format,
                     bool several_channels);

// The digits a listener would count in `digits` (sorted by start): a key
// heard on several channels at once (the same symbol, overlapping in time)
// is one press, kept where it was heard first.
std::vector<ZelnorDigit> OncePerPress(const std::vector<ZelnorDigit>& digits);

}  // namespace dtmf_tool
