// The dial command through the real window, with a recording zelnor.dll.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialler/window/form_layout.h"
#include "tests/support/dialler_session_win.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    char hex[3];
    std::snprintf(hex, sizeof(hex), "%02X", c);
    out += hex;
  }
  return out;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class DialCommandTest : public ::testing::Test {
 protected:
  std::string LastCall() const {
    const auto log = session_.Log();
    return log.empty() ? "" : log.back();
  }
  DiallerSession session_;
};

TEST_F(DialCommandTest, PassesTheTextIntervalAndCheckStateAsTyped) {
  session_.SetText(kText1, L"123#");
  EXPECT_EQ(session_.Click(), L"");
  EXPECT_EQ(LastCall(), "call " + Hex("123#") + " 150 0");

  session_.SetCheck(BST_CHECKED);
  session_.Click();
  EXPECT_EQ(LastCall(), "call " + Hex("123#") + " 150 -1");

  session_.SetCheck(BST_INDETERMINATE);  // greyed counts as ticked
  session_.Click();
  EXPECT_EQ(LastCall(), "call " + Hex("123#") + " 150 -1");

  session_.SetCheck(BST_UNCHECKED);
  session_.SetText(kText1, L"");
  session_.Click();
  EXPECT_EQ(LastCall(), "call - 150 0");

  for (const wchar_t* interval :
       {L"0", L"-5", L"2147483647", L"-2147483648", L"\uFF11\uFF15\uFF10"}) {
    session_.SetText(kText2, interval);
    EXPECT_EQ(session_.Click(), L"");
  }
  const auto log = session_.Log();
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(log[log.size() - 5], "call - 0 0");
  EXPECT_EQ(log[log.size() - 4], "call - -5 0");
  EXPECT_EQ(log[log.size() - 3], "call - 2147483647 0");
  EXPECT_EQ(log[log.size() - 2], "call - -2147483648 0");
  EXPECT_EQ(log[log.size() - 1], "call - 150 0");
}

TEST_F(DialCommandTest, ConvertsTheDialStringWithCodePage932AndNoLookAlikes) {
  struct Case {
    const wchar_t* typed;
    const char* sent;  // hex
  };
  const Case cases[] = {
      {L"ア1#", "83413123"}, {L"表", "955C"},  // trail byte 0x5C, a backslash in ASCII
      {L"①Ａ", "87408260"},                    // exact forms in the code page go as they are
      {L"À²¹1", "3F3F3F31"},                   // no form in the code page: "?", not "A211"
      {L"Āāćđ", "3F3F3F3F"},
  };
  for (const Case& c : cases) {
    session_.SetText(kText1, c.typed);
    session_.Click();
    EXPECT_EQ(LastCall(), std::string("call ") + c.sent + " 150 0");
  }
}

TEST_F(DialCommandTest, AHundredThousandCharacterStringArrivesWhole) {
  std::wstring text;
  for (int i = 0; i < 100000; ++i) text += L"0123456789ABCD*#"[i % 16];
  session_.SetText(kText1, text);
  session_.Click();
  EXPECT_EQ(LastCall(), "call " + Hex(Narrow(text)) + " 150 0");
}

TEST_F(DialCommandTest, AnIntervalThatDoesNotFitMakesNoCallAndLoadsNothing) {
  session_.SetText(kText1, L"123");
  session_.SetText(kText2, L"2147483648");
  const std::wstring message = session_.Click();
  EXPECT_NE(message.find(L"2147483648"), std::wstring::npos) << Narrow(message);
  EXPECT_NE(message.find(L"-2147483648"), std::wstring::npos) << "names the range";
  EXPECT_EQ(session_.CountLog("load"), 0);
  EXPECT_EQ(session_.CountLog("call"), 0);

  // The window is unchanged and the focus is on the interval to mend it.
  EXPECT_EQ(session_.Text(kText1), L"123");
  EXPECT_EQ(session_.Text(kText2), L"2147483648");
  EXPECT_EQ(session_.Focus(), session_.control(kText2));

  session_.SetText(kText2, L"abc");
  EXPECT_NE(session_.Click().find(L"abc"), std::wstring::npos);
  EXPECT_EQ(session_.CountLog("load"), 0);

  session_.SetText(kText2, L"40");
  EXPECT_EQ(session_.Click(), L"");
  EXPECT_EQ(LastCall(), "call " + Hex("123") + " 40 0");
}

TEST_F(DialCommandTest, BindsOnceAndLaterDialsMakeNoSecondLookup) {
  for (int i = 0; i < 3; ++i) session_.Click();
  EXPECT_EQ(session_.CountLog("load"), 1);
  EXPECT_EQ(session_.CountLog("call"), 3);
  // Were the library looked up again, replacing it now would show.
  ::DeleteFileW((session_.folder() + L"\\zelnor.dll").c_str());
  session_.Click();
  EXPECT_EQ(session_.CountLog("call"), 4);
}

TEST(DialCommandLibraryTest, WithoutTheLibraryTheWindowWorksAndTheNextClickFindsItOncePlaced) {
  DiallerSession session(WithoutLibrary());
  EXPECT_EQ(session.Text(kText2), L"150");

  const std::wstring message = session.Click();
  EXPECT_NE(message.find(L"zelnor.dll"), std::wstring::npos);
  EXPECT_NE(message.find(session.folder()), std::wstring::npos) << "says where it looked";
  std::vector<std::wstring> folders;
  for (size_t start = 0, end; (end = message.find(L'\n', start)) != std::wstring::npos;
       start = end + 1) {
    const std::wstring line = message.substr(start, end - start);
    if (line.rfind(L"  ", 0) != 0) continue;
    for (const std::wstring& seen : folders) {
      EXPECT_NE(_wcsicmp(seen.c_str(), line.c_str()), 0) << "named twice: " << Narrow(line);
    }
    folders.push_back(line);
  }
  EXPECT_GE(folders.size(), 2u);
  EXPECT_NE(message.find(L"見つかりません"), std::wstring::npos)
      << "in the UI language, Japanese here";
  EXPECT_EQ(session.Click().empty(), false) << "still missing, still said";

  session.InstallLibrary(L"recording");
  EXPECT_EQ(session.Click(), L"");
  EXPECT_EQ(session.CountLog("call"), 1);
}

TEST(DialCommandLibraryTest, ALibraryOnlyInTheCurrentDirectoryIsNotLoaded) {
  DiallerSession planted;  // its folder holds a recording zelnor.dll
  SessionOptions options = WithoutLibrary();
  options.working_directory = planted.folder();
  DiallerSession session(options);
  EXPECT_NE(session.Click(), L"");
  EXPECT_EQ(planted.CountLog("load"), 0);
  EXPECT_EQ(session.CountLog("load"), 0);
}

TEST(DialCommandLibraryTest, LibraryFaultsEachGiveTheirOwnMessageAndTheNextGoodClickWorks) {
  struct Fault {
    const wchar_t* library;
    const wchar_t* expected;  // a fragment of the message
  };
  const Fault faults[] = {
      {L"no_entry", L"PlayDTMF"},
      {L"x64", L"32"},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(Narrow(fault.library));
    SessionOptions options;
    options.library = fault.library;
    DiallerSession session(options);
    session.SetText(kText1, L"5");
    const std::wstring message = session.Click();
    EXPECT_NE(message.find(fault.expected), std::wstring::npos) << Narrow(message);
    EXPECT_EQ(message.find(L"%1"), std::wstring::npos) << "a bare insert: " << Narrow(message);
    EXPECT_EQ(session.Text(kText1), L"5");
    session.InstallLibrary(L"recording");
    EXPECT_EQ(session.Click(), L"");
    EXPECT_EQ(session.CountLog("call"), 1);
  }
}

TEST(DialCommandLibraryTest, ACorruptLibrarySaysItCannotBeLoaded) {
  DiallerSession session(WithoutLibrary());
  const std::wstring path = session.folder() + L"\\zelnor.dll";
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(file, "MZ this is not a library", 24, &written, nullptr);
  ::CloseHandle(file);
  const std::wstring message = session.Click();
  EXPECT_NE(message.find(path), std::wstring::npos) << Narrow(message);
  EXPECT_EQ(message.find(L"%1"), std::wstring::npos) << Narrow(message);
  EXPECT_TRUE(::IsWindow(session.form()));
}

TEST(DialCommandSoakTest, AThousandDialsLeaveHandlesAndPrivateBytesFlat) {
  DiallerSession session;
  session.SetText(kText1, L"0123456789ABCD*#");
  for (int i = 0; i < 50; ++i) session.Click();  // warm up caches and the log file
  const ProcessFigures before = session.Figures();
  for (int i = 0; i < 1000; ++i) session.Click();
  const ProcessFigures after = session.Figures();
  EXPECT_EQ(session.CountLog("call"), 1050);
  // A leak of one handle or one string per dial would show as 1,000 handles
  // or ~16 KB+; allow a little for the heap's own growth.
  EXPECT_LE(after.handles, before.handles + 5);
  EXPECT_LE(after.private_bytes, before.private_bytes + 256 * 1024);
}

}  // namespace
