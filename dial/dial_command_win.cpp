#include "dial/dial_command_win.h"

#include <cstdint>
#include <optional>
#include <string>

#include "common/click_failure.h"
#include "common/format_text.h"
#include "common/resource_string_win.h"
#include "dial/check_state.h"
#include "dial/interval_conversion.h"
#include "dial/narrow_text_win.h"
#include "resources/resource_ids.h"
#include "tone/tone_library_win.h"
#include "window/form_layout.h"
#include "window/form_reads_win.h"

namespace {

// Lives from the first successful dial to the end of the run.
ToneLibrary& TheToneLibrary() {
  static ToneLibrary library;
  return library;
}

[[noreturn]] void ThrowIntervalFailure(UINT pattern, const std::wstring& text) {
  throw ClickFailure(FormatText(LoadResourceString(pattern), {Abbreviate(text, 40)}), kText2);
}

}  // namespace

void RunDialCommand(HWND form) {
  // 1. The dial string, as wide text.
  const std::wstring dial_text = ReadControlText(form, kText1);

  // 2. The interval, read at once as a number.
  const std::wstring interval_text = ReadControlText(form, kText2);
  const std::optional<double> interval_number = ParseIntervalNumber(interval_text);
  if (!interval_number) ThrowIntervalFailure(IDS_INTERVAL_NOT_A_NUMBER, interval_text);

  // 3. The check box.
  const std::uint16_t check_state = ReadCheckState(form, kCheck1);

  // 4. Argument 3: all bits set for "play asynchronously".
  const std::int32_t async = AsyncFlagFromCheckState(check_state);

  // 5. Argument 2: the interval must fit a signed 32-bit integer.
  const std::optional<std::int32_t> interval_ms = RoundToInt32(*interval_number);
  if (!interval_ms) ThrowIntervalFailure(IDS_INTERVAL_OUT_OF_RANGE, interval_text);

  // 6. Argument 1: the dial string in the ANSI code page, owned until step 9.
  const std::string dial = ToAnsiCodePage(dial_text);

  // 7. Bind PlayDTMF, only now that all three arguments are formed.
  const PlayDtmfFunction play_dtmf = TheToneLibrary().PlayDtmf();

  // 8. One call; its result means nothing to us.
  play_dtmf(dial.c_str(), *interval_ms, async);

  // 9. The narrow copy and the texts are released as this scope ends.
}
