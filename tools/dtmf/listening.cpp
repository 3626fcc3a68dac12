#include "tools/dtmf/listening.h"

#include "tools/dtmf/console.h"
#include "tools/dtmf/digit_text.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/reporting.h"
#include "zelnor.h"

namespace dtmf_tool {
namespace {

struct Listening {
  const Command& command;
  uint32_t sample_rate;
  bool printed = false;
  bool done = false;
};

void ZELNOR_CALL PrintHeard(void* context, const ZelnorDigit* digit) {
  auto& listening = *static_cast<Listening*>(context);
  if (listening.done) return;
  Print(StandardStream::kOutput,
        Widen(DigitText(*digit, listening.sample_rate, listening.command.digit_format, false)));
  listening.printed = true;
  listening.done = digit->symbol == listening.command.until;
}

}  // namespace

int PrintDigitsHeard(const Command& command, uint32_t sample_rate, const std::wstring& device_name,
                     const Record& record) {
  Listening listening{command, sample_rate};
  ZelnorReceiverOptions options = ZELNOR_RECEIVER_OPTIONS(sample_rate, &PrintHeard, &listening);
  // A bare symbol is printed the moment it is heard; times need its end.
  if (command.digit_format == DigitFormat::kLine) options.reports = ZELNOR_REPORT_STARTS;
  ZelnorReceiver* receiver = nullptr;
  if (CreateDTMFReceiver(&options, &receiver) != ZELNOR_OK) {
    throw Failure(kExitFailed, L"dtmf: " + OutOfMemoryText());
  }
  try {
    if (command.verbose) {
      Print(StandardStream::kError, L"dtmf: listening on " + device_name + L"\n");
    }
    record([&](const int16_t* samples, size_t count) {
      FeedDTMFReceiver(receiver, samples, count);
      return !listening.done;
    });
  } catch (...) {
    DestroyDTMFReceiver(receiver);
    throw;
  }
  FlushDTMFReceiver(receiver);
  DestroyDTMFReceiver(receiver);
  if (listening.printed && command.digit_format == DigitFormat::kLine) {
    Print(StandardStream::kOutput, L"\n");
  }
  return 0;
}

}  // namespace dtmf_tool
