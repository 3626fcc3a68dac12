#include "dialler/dial/dial_command_win.h"

#include <cstdint>
#include <optional>
#include <string>

#include "common/ansi_text_win.h"
#include "common/format_text.h"
#include "common/resource_string_win.h"
#include "dialler/dial/check_state.h"
#include "dialler/dial/interval_conversion.h"
#include "dialler/resources/resource_ids.h"
#include "dialler/tone/tone_library_win.h"
#include "dialler/window/form_layout.h"
#include "dialler/window/form_reads_win.h"
#include "dialler/window/form_window_win.h"

namespace {

struct PlayDtmfArguments {
  std::string dial;  // owned until the call returns
  std::int32_t interval_ms;
  std::int32_t async;
};

[[noreturn]] void ThrowIntervalFailure(UINT pattern, const std::wstring& text) {
  throw ClickFailure(FormatText(LoadResourceString(pattern), {Abbreviate(text, 40)}), kText2);
}

// The interval is checked before the dial string is copied, so a bad
// interval costs no narrow copy of a long text.
PlayDtmfArguments ToPlayDtmfArguments(const Form1Contents& form1) {
  const std::optional<double> interval_number = ParseIntervalNumber(form1.text2);
  if (!interval_number) ThrowIntervalFailure(IDS_INTERVAL_NOT_A_NUMBER, form1.text2);
  const std::int32_t async = AsyncFlagFromCheckState(form1.check1);
  const std::optional<std::int32_t> interval_ms = RoundToInt32(*interval_number);
  if (!interval_ms) ThrowIntervalFailure(IDS_INTERVAL_OUT_OF_RANGE, form1.text2);
  return {ToAnsiCodePage(form1.text1), *interval_ms, async};
}

// Lives from the first successful dial to the end of the run.
PlayDtmfFunction BindPlayDtmf() {
  static ToneLibrary library;
  try {
    return library.PlayDtmf();
  } catch (const ToneLibraryFailure& failure) {
    throw ClickFailure(failure.message(), 0);
  }
}

}  // namespace

void RunDialCommand(HWND form) {
  const PlayDtmfArguments arguments = ToPlayDtmfArguments(ReadForm1(form));
  // Bound only now that all three arguments are formed; the result of the
  // call means nothing to the window.
  BindPlayDtmf()(arguments.dial.c_str(), arguments.interval_ms, arguments.async);
}
