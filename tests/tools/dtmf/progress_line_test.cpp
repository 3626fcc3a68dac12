#include "tools/dtmf/progress_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressLine, BracketsWhatHasSoundedAndKeepsItsEndInViewOnANarrowConsole) {
  const struct {
    std::wstring_view dial;
    size_t sounded;
    size_t width;
    std::wstring line;
  } cases[] = {
      {L"0312,,1234#", 4, 0, L"[0312],,1234#"},
      {L"0312,,1234#", 11, 80, L"[0312,,1234#]"},
      {L"12\r\n", 1, 0, L"[1]2  "},  // a line break read from a pipe
      {L"0123456789abcdefghij", 3, 16, L"[012]3456789..."},
      {L"0123456789abcdefghij", 15, 16, L"...9abcde]fghij"},
      {L"0123456789abcdefghij", 12, 16, L"...6789ab]cd..."},
  };
  for (const auto& [dial, sounded, width, line] : cases) {
    EXPECT_EQ(dtmf_tool::ProgressLine(dial, sounded, width), line)
        << std::wstring(dial).c_str() << " " << sounded;
  }
}

}  // namespace
