#include "tools/dtmf/tel_uri.h"

#include <gtest/gtest.h>

#include <string>

#include "tools/dtmf/command_line.h"

namespace {

using dtmf_tool::DialFromTelUri;
using dtmf_tool::IsTelUri;
using dtmf_tool::UsageError;

// The error line for a link that must be refused, or "" if taken.
std::wstring Refusal(const std::wstring& uri) {
  try {
    DialFromTelUri(uri);
    return L"";
  } catch (const UsageError& error) {
    return error.message();
  }
}

TEST(TelUri, IsTheTelSchemeInAnyLetterCase) {
  EXPECT_TRUE(IsTelUri(L"tel:1"));
  EXPECT_TRUE(IsTelUri(L"TeL:"));
  EXPECT_FALSE(IsTelUri(L"tel"));
  EXPECT_FALSE(IsTelUri(L"tell:1"));
  EXPECT_FALSE(IsTelUri(L"sip:1@example.com"));
  EXPECT_FALSE(IsTelUri(L"123"));
}

// A link is taken as the dial it stands for, or refused with one line
// ("dtmf: ...") saying what is wrong with it.
TEST(TelUri, BecomesTheDialItStandsForOrIsRefusedSayingWhy) {
  constexpr bool kDial = true, kRefused = false;
  const struct {
    const wchar_t* uri;
    const wchar_t* expected;  // the dial, or words of the refusal
    bool taken;
  } cases[] = {
      {L"tel:+81-3-1234-5678", L"+81312345678", kDial},
      {L"tel:+81-3-1234-5678;postd=,,1234%23", L"+81312345678,,1234#", kDial},
      {L"TEL:(03).1234-5678", L"0312345678", kDial},
      {L"tel:7042;phone-context=example.com", L"7042", kDial},
      {L"tel:*31%23", L"*31#", kDial},
      {L"tel:12%2C34", L"12,34", kDial},
      {L"tel:%2B1%2d800", L"+1800", kDial},  // escapes decode before anything else
      {L"tel:+1-201-555-0123;ext=1234", L"+12015550123,1234", kDial},
      {L"tel:+1-201-555-0123;EXT=12-34", L"+12015550123,1234", kDial},
      {L"tel:123;postd=pp1w2P3W", L"123,,1;2,3;", kDial},  // p pauses, w waits
      {L"tel:123;postd=A*B#cd", L"123A*B#cd", kDial},
      {L"tel:5;postd=9;ext=8", L"5,89", kDial},  // the extension before post-dial digits
      {L"tel:+44;isub=%41;tsp=x.example;foo", L"+44", kDial},  // other parameters ignored
      {L"tel:ABCD", L"ABCD", kDial},
      {L"tel:12%2", L"a bad percent escape \"%2\"", kRefused},
      {L"tel:12%G3", L"a bad percent escape \"%G3\"", kRefused},
      {L"tel:%", L"a bad percent escape \"%\"", kRefused},
      {L"tel:", L"the number is empty", kRefused},
      {L"tel:+", L"the number is empty", kRefused},
      {L"tel:-().", L"the number is empty", kRefused},
      {L"tel:,,", L"the number is empty", kRefused},
      {L";ext=1", L"not a tel: link", kRefused},
      {L"tel:;ext=1", L"the number is empty", kRefused},
      {L"tel:12 34", L"' ' is not allowed in the number", kRefused},
      {L"tel:1+2", L"'+' is not allowed in the number", kRefused},
      {L"tel:12E4", L"'E' is not allowed in the number", kRefused},
      {L"tel:12%3B3", L"';' is not allowed in the number", kRefused},
      {L"tel:1%002", L"character U+0000 is not allowed in the number", kRefused},
      {L"tel:12%E2%80%933", L"'\x2013' is not allowed in the number", kRefused},  // UTF-8
      {L"tel:12\n34", L"tel:12%0A34: character U+000A is not allowed in the number", kRefused},
      {L"tel:\x0661\x0662", L"'\x0661' is not allowed in the number", kRefused},
      {L"tel:12;ext=", L"ext= has nothing to dial", kRefused},
      {L"tel:12;ext", L"ext= has nothing to dial", kRefused},
      {L"tel:12;ext=1;ext=2", L"ext= is given twice", kRefused},
      {L"tel:12;ext=1p", L"'p' is not allowed in ext=", kRefused},
      {L"tel:12;postd=x", L"'x' is not allowed in postd=", kRefused},
      {L"tel:12;postd=%ZZ", L"a bad percent escape \"%ZZ\"", kRefused},
      {L"tel:12;", L"a parameter with no name", kRefused},
      {L"tel:12;;ext=3", L"a parameter with no name", kRefused},
      {L"tel:12;=3", L"a parameter with no name", kRefused},
      {L"tel:12;a%62=3", L"'%' is not allowed in a parameter name", kRefused},
      {L"tel:12;foo=%2", L"a bad percent escape", kRefused},
  };
  for (const auto& c : cases) {
    const std::wstring refusal = Refusal(c.uri);
    if (c.taken) {
      EXPECT_EQ(refusal, L"") << c.uri;
      if (refusal.empty()) {
        EXPECT_EQ(DialFromTelUri(c.uri), c.expected) << c.uri;
      }
      continue;
    }
    EXPECT_EQ(refusal.rfind(L"dtmf: ", 0), 0u) << refusal;
    EXPECT_NE(refusal.find(c.expected), std::wstring::npos) << c.uri << L" -> " << refusal;
    EXPECT_EQ(refusal.find(L'\n'), std::wstring::npos) << refusal;
  }
}

}  // namespace
