#include "zelnor/signal/symbol_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The reading written back as text: its symbols, a ',' for each pause.
std::string Written(const zelnor::DialSymbols& dial) {
  std::string text;
  for (size_t i = 0; i <= dial.SymbolCount(); ++i) {
    text.append(dial.PausesBefore(i), ',');
    if (i < dial.SymbolCount()) text.push_back(dial.Symbol(i));
  }
  return text;
}

TEST(ReadDial, DialsSymbolsPausesAtCommasAndSkipsEverythingElse) {
  const struct {
    std::wstring_view text;
    std::string read;
  } cases[] = {
      {L"0123456789ABCD*#", "0123456789ABCD*#"},
      {L"abcd", "ABCD"},
      {L"\uFF10\uFF19\uFF21\uFF24\uFF41\uFF44\uFF0A\uFF03", "09ADAD*#"},
      {L"\uFF10\uFF13-\uFF11\uFF12", "0312"},
      {L"03-1234-5678", "0312345678"},
      {L"0312345678,,1234#", "0312345678,,1234#"},
      {L",1\uFF0C2,", ",1,2,"},
      {L",,", ",,"},
      {L"(+81) eEfF gG.; pw", "81"},
      // Neighbours of the full-width symbols (Ｅｅ＆＠＋), katakana ア, half-width ｱ.
      {L"\uFF25\uFF45\uFF06\uFF20\uFF0B\u30A2\uFF71", ""},
      // Characters whose low byte is the code of a symbol or a comma.
      {L"\u3131\uFE41\u0141\u0123\u012C", ""},
      {std::wstring_view(L"1\0\x32", 3), "12"},
      {L"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Written(zelnor::ReadDial(c.text)), c.read) << std::wstring(c.text).size();
  }
}

TEST(ReadDial, KeepsWhereEachSymbolStood) {
  // Steps past the four bits kept inline are looked up elsewhere.
  const std::wstring long_gap = L"1" + std::wstring(40, L'-') + L"2,,3";
  const struct {
    std::wstring text;
    std::vector<uint64_t> offsets;
  } cases[] = {
      {L"123", {0, 1, 2}},
      {L"-03-12,3", {1, 2, 4, 5, 7}},
      {long_gap, {0, 41, 44}},
  };
  for (const auto& c : cases) {
    const zelnor::DialSymbols dial = zelnor::ReadDial(c.text);
    std::vector<uint64_t> offsets;
    uint64_t offset = 0;
    for (size_t i = 0; i < dial.SymbolCount(); ++i)
      offsets.push_back(offset = dial.OffsetAfter(i, offset));
    EXPECT_EQ(offsets, c.offsets);
    EXPECT_EQ(dial.Length(), c.text.size());
  }
}

}  // namespace
