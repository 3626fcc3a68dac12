#include "tools/dtmf/input_text.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/dtmf/command_line.h"
#include "tools/dtmf/utf8_text.h"

namespace {

using dtmf_tool::DecodeUnicodeInput;
using dtmf_tool::DetectInputForm;
using dtmf_tool::InputEncoding;
using dtmf_tool::RefuseNulBytes;
using dtmf_tool::UsageError;

using namespace std::string_literals;

TEST(StandardInputText, ABomDecidesOtherwiseValidUtf8IsUtf8AndTheRestTheCodePage) {
  const struct {
    std::string bytes;
    InputEncoding encoding;
    size_t text_start;
  } cases[] = {
      {"\xEF\xBB\xBF"
       "12",
       InputEncoding::kUtf8, 3},
      {"\xFF\xFE"
       "1\0"s,
       InputEncoding::kUtf16Le, 2},
      {"\xFE\xFF\0"
       "1"s,
       InputEncoding::kUtf16Be, 2},
      {"\xFF\xFE\0\0"s, InputEncoding::kUtf16Le, 2},      // UTF-32 LE: its NUL is refused later
      {"\xEF\xBB\xBF\x82\x4F", InputEncoding::kUtf8, 3},  // the BOM decides, even for no UTF-8
      {"03-1234", InputEncoding::kUtf8, 0},
      {"", InputEncoding::kUtf8, 0},
      {"03\xE2\x80\x93"
       "5678",
       InputEncoding::kUtf8, 0},  // en dash
      {"03\x81\x7C"
       "5678",
       InputEncoding::kCodePage, 0},                      // the same in code page 932
      {"\x82\x4F\x82\x52", InputEncoding::kCodePage, 0},  // full-width 03 in code page 932
      {"\xC0\xB1", InputEncoding::kCodePage, 0},          // an overlong '1'
      {"\xED\xA0\x80", InputEncoding::kCodePage, 0},      // a surrogate
      {"\xF4\x90\x80\x80", InputEncoding::kCodePage, 0},  // past U+10FFFF
      {"1\xE2\x80", InputEncoding::kCodePage, 0},         // cut short
  };
  for (const auto& c : cases) {
    const auto form = DetectInputForm(c.bytes);
    EXPECT_EQ(form.encoding, c.encoding) << c.bytes;
    EXPECT_EQ(form.text_start, c.text_start) << c.bytes;
  }
}

TEST(StandardInputText, UnicodeInputReadsAsTyped) {
  const struct {
    std::string bytes;
    std::wstring text;  // UTF-16 code units
  } cases[] = {
      {"\xFF\xFE"
       "0\0"
       "3\0"
       "1\0"
       "2\0"s,
       L"0312"},
      {"\xFE\xFF\0"
       "0\0"
       "3\0"
       "1\0"
       "2"s,
       L"0312"},
      {"\xFF\xFE\x10\xFF\x13\x20"s, L"\xFF10\x2013"},                     // full-width 0, en dash
      {"\xFF\xFE\x3D\xD8\x1E\xDE"s, {wchar_t(0xD83D), wchar_t(0xDE1E)}},  // a pair kept whole
      {"03\xE2\x80\x93"
       "5678\r\n",
       L"03\x2013"
       L"5678\r\n"},
      {"\xEF\xBB\xBF"
       "12#",
       L"12#"},
      {"\xEF\xBC\x90", L"\xFF10"},
      {"\xF0\x9F\x98\x9E", {wchar_t(0xD83D), wchar_t(0xDE1E)}},
      {"", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeUnicodeInput(c.bytes, DetectInputForm(c.bytes)), c.text) << c.bytes;
  }
}

// The line for input refused, or "" if read.
std::wstring Refusal(const std::string& bytes) {
  try {
    const auto form = DetectInputForm(bytes);
    if (form.encoding == InputEncoding::kCodePage) {
      RefuseNulBytes(bytes);
    } else {
      DecodeUnicodeInput(bytes, form);
    }
    return L"";
  } catch (const UsageError& error) {
    return error.message();
  }
}

TEST(StandardInputText, ANulOrAnIllFormedSequenceIsRefusedNamingItsByte) {
  const struct {
    std::string bytes;
    const wchar_t* line;
  } cases[] = {
      {"12\0"
       "3 4"s,
       L"dtmf: standard input: a NUL character at byte 2 (the input must be text)"},
      {"\x82\x4F\0"s, L"dtmf: standard input: a NUL character at byte 2 (the input must be text)"},
      {"\xFF\xFE"
       "1\0\0\0"s,
       L"dtmf: standard input: a NUL character at byte 4 (the input must be text)"},
      {"1\0"
       "2\0"s,
       L"dtmf: standard input: a NUL character at byte 1 (the input must be text)"},
      {"\xEF\xBB\xBF"
       "1\xC0\xB1",
       L"dtmf: standard input: not valid UTF-8 at byte 4"},
      {"\xEF\xBB\xBF"
       "12\xE2\x80",
       L"dtmf: standard input: not valid UTF-8 at byte 5"},
      {"\xFF\xFE"
       "1\0"
       "2"s,
       L"dtmf: standard input: not valid UTF-16 LE at byte 4"},
      {"\xFF\xFE"
       "1\0\x1E\xDE"s,
       L"dtmf: standard input: not valid UTF-16 LE at byte 4"},
      {"\xFF\xFE\x3D\xD8"
       "1\0"s,
       L"dtmf: standard input: not valid UTF-16 LE at byte 2"},
      {"\xFE\xFF\xD8\x3D"s, L"dtmf: standard input: not valid UTF-16 BE at byte 2"},
      {"\x82\x4F\x82\x52\r\n", L""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Refusal(c.bytes), c.line) << c.bytes;
  }
}

// What the system hands over (arguments on Linux, its messages) is never
// refused: an ill-formed byte reads as U+FFFD, and text goes back out whole.
TEST(Utf8Text, ArgumentsAndPrintedTextRoundTripAndBadBytesBecomeReplacements) {
  const struct {
    std::string bytes;
    std::wstring text;
  } cases[] = {
      {"03-12", L"03-12"},
      {"\xC3\x80\xC2\xB2\xC2\xB9"
       "1",
       L"\xC0\xB2\xB9"
       L"1"},
      {"\xF0\x9F\x93\x9E#", L"\xD83D\xDCDE#"},  // a telephone receiver: a surrogate pair
      {"1\xFF"
       "2\xE2\x80",
       L"1\xFFFD"
       L"2\xFFFD\xFFFD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(dtmf_tool::FromUtf8(c.bytes), c.text) << c.bytes;
  }
  EXPECT_EQ(dtmf_tool::ToUtf8(L"\xC0\xB2\xB9\xD83D\xDCDE"),
            "\xC3\x80\xC2\xB2\xC2\xB9\xF0\x9F\x93\x9E");
  EXPECT_EQ(dtmf_tool::ToUtf8(L"1\xDCDE"), "1\xEF\xBF\xBD");  // a lone surrogate
}

}  // namespace
