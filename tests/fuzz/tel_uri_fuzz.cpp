// Any text after "tel:" through the tel: reader: it either refuses the link
// with one line, or gives a dial of dial characters alone.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"
#include "tools/dtmf/command_line.h"
#include "tools/dtmf/tel_uri.h"

namespace {

constexpr std::wstring_view kDialCharacters = L"0123456789ABCDabcd*#,;";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Bytes as Latin-1: the reader looks at ASCII only, and the corpus stays
  // readable.
  std::wstring uri = L"tel:";
  for (size_t i = 0; i < size; ++i) uri.push_back(static_cast<wchar_t>(data[i]));
  std::wstring dial;
  try {
    dial = dtmf_tool::DialFromTelUri(uri);
  } catch (const dtmf_tool::UsageError& error) {
    const std::wstring& line = error.message();
    Check(line.find_first_of(std::wstring_view(L"\n\r\0", 3)) == std::wstring::npos,
          "a refusal of more than one line");
    return 0;
  }
  const bool global = !dial.empty() && dial.front() == L'+';
  Check(dial.find_first_not_of(kDialCharacters, global ? 1 : 0) == std::wstring::npos,
        "a character that is not a dial character");
  Check(dial.find_first_not_of(L",;", global ? 1 : 0) != std::wstring::npos, "nothing to dial");
  return 0;
}
