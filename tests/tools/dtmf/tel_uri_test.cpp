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

TEST(TelUri, BecomesTheDialItStandsFor) {
  const struct {
    const wchar_t* uri;
    const wchar_t* dial;
  } cases[] = {
      {L"tel:+81-3-1234-5678", L"+81312345678"},
      {L"tel:+81-3-1234-5678;postd=,,1234%23", L"+81312345678,,1234#"},
      {L"TEL:(03).1234-5678", L"0312345678"},
      {L"tel:7042;phone-context=example.com", L"7042"},
      {L"tel:*31%23", L"*31#"},
      {L"tel:12%2C34", L"12,34"},
      {L"tel:%2B1%2d800", L"+1800"},  // escapes decode before anything else
      {L"tel:+1-201-555-0123;ext=1234", L"+12015550123,1234"},
      {L"tel:+1-201-555-0123;EXT=12-34", L"+12015550123,1234"},
      {L"tel:123;postd=pp1w2P3W", L"123,,1;2,3;"},  // p pauses, w waits
      {L"tel:123;postd=A*B#cd", L"123A*B#cd"},
      {L"tel:5;postd=9;ext=8", L"5,89"},                // the extension before post-dial digits
      {L"tel:+44;isub=%41;tsp=x.example;foo", L"+44"},  // other parameters ignored
      {L"tel:ABCD", L"ABCD"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DialFromTelUri(c.uri), c.dial) << c.uri;
  }
}

TEST(TelUri, RefusesAMalformedLinkWithOneLineSayingWhatIsWrong) {
  const struct {
    const wchar_t* uri;
    const wchar_t* reason;
  } cases[] = {
      {L"tel:12%2", L"a bad percent escape \"%2\""},
      {L"tel:12%G3", L"a bad percent escape \"%G3\""},
      {L"tel:%", L"a bad percent escape \"%\""},
      {L"tel:", L"the number is empty"},
      {L"tel:+", L"the number is empty"},
      {L"tel:-().", L"the number is empty"},
      {L"tel:,,", L"the number is empty"},
      {L";ext=1", L"not a tel: link"},
      {L"tel:;ext=1", L"the number is empty"},
      {L"tel:12 34", L"' ' is not allowed in the number"},
      {L"tel:1+2", L"'+' is not allowed in the number"},
      {L"tel:12E4", L"'E' is not allowed in the number"},
      {L"tel:12%3B3", L"';' is not allowed in the number"},
      {L"tel:1%002", L"character U+0000 is not allowed in the number"},
      {L"tel:12\n34", L"tel:12%0A34: character U+000A is not allowed in the number"},
      {L"tel:\x0661\x0662", L"'\x0661' is not allowed in the number"},
      {L"tel:12;ext=", L"ext= has nothing to dial"},
      {L"tel:12;ext", L"ext= has nothing to dial"},
      {L"tel:12;ext=1;ext=2", L"ext= is given twice"},
      {L"tel:12;ext=1p", L"'p' is not allowed in ext="},
      {L"tel:12;postd=x", L"'x' is not allowed in postd="},
      {L"tel:12;postd=%ZZ", L"a bad percent escape \"%ZZ\""},
      {L"tel:12;", L"a parameter with no name"},
      {L"tel:12;;ext=3", L"a parameter with no name"},
      {L"tel:12;=3", L"a parameter with no name"},
      {L"tel:12;a%62=3", L"'%' is not allowed in a parameter name"},
      {L"tel:12;foo=%2", L"a bad percent escape"},
  };
  for (const auto& c : cases) {
    const std::wstring refusal = Refusal(c.uri);
    EXPECT_EQ(refusal.rfind(L"dtmf: ", 0), 0u) << refusal;
    EXPECT_NE(refusal.find(c.reason), std::wstring::npos) << c.uri << L" -> " << refusal;
    EXPECT_EQ(refusal.find(L'\n'), std::wstring::npos) << refusal;
  }
}

}  // namespace
