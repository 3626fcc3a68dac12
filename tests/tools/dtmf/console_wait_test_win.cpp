// dtmf.exe's ';' waits at a console of its own, typed into as a user types:
// the keys land in the console's input while the program is busy.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/handles_win.h"

namespace {

UniqueKernelHandle OpenConsole(const wchar_t* name) {
  return UniqueKernelHandle(::CreateFileW(name, GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
}

std::wstring DtmfPath() {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"dtmf.exe";
}

// The console dtmf.exe runs in, reached from outside as a second program
// attached to it.
class DtmfConsole {
 public:
  explicit DtmfConsole(std::wstring command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                          nullptr, nullptr, &startup, &process)) {
      return;
    }
    process_.reset(process.hProcess);
    ::CloseHandle(process.hThread);
    ::FreeConsole();
    for (int attempt = 0; attempt < 100 && !::AttachConsole(process.dwProcessId); ++attempt) {
      ::Sleep(50);  // until the console exists
    }
  }
  ~DtmfConsole() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.get(), 99);
    }
    ::FreeConsole();
  }
  DtmfConsole(const DtmfConsole&) = delete;
  DtmfConsole& operator=(const DtmfConsole&) = delete;

  [[nodiscard]] bool Started() const { return static_cast<bool>(process_); }

  // Every character on the screen so far.
  [[nodiscard]] std::wstring Screen() const {
    const UniqueKernelHandle out = OpenConsole(L"CONOUT$");
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!out || !::GetConsoleScreenBufferInfo(out.get(), &info)) return {};
    std::wstring screen(static_cast<size_t>(info.dwSize.X) * (info.dwCursorPosition.Y + 1), L' ');
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(out.get(), screen.data(), static_cast<DWORD>(screen.size()),
                                  COORD{0, 0}, &read);
    screen.resize(read);
    return screen;
  }

  // Waits (up to 30 s) for `text` to be shown.
  [[nodiscard]] bool Shows(const std::wstring& text) const {
    for (int attempt = 0; attempt < 600; ++attempt) {
      if (Screen().find(text) != std::wstring::npos) return true;
      ::Sleep(50);
    }
    return false;
  }

  // Keys pressed on the console's keyboard, one character each.
  void Type(const std::wstring& keys) const {
    const UniqueKernelHandle in = OpenConsole(L"CONIN$");
    std::vector<INPUT_RECORD> records;
    for (const wchar_t key : keys) {
      for (const BOOL down : {TRUE, FALSE}) {
        INPUT_RECORD record{};
        record.EventType = KEY_EVENT;
        record.Event.KeyEvent.bKeyDown = down;
        record.Event.KeyEvent.wRepeatCount = 1;
        record.Event.KeyEvent.wVirtualKeyCode = key == L'\r' ? VK_RETURN : 'Z';
        record.Event.KeyEvent.uChar.UnicodeChar = key;
        record.Event.KeyEvent.dwControlKeyState = key == L'\x1A' ? LEFT_CTRL_PRESSED : 0;
        records.push_back(record);
      }
    }
    DWORD written = 0;
    ::WriteConsoleInputW(in.get(), records.data(), static_cast<DWORD>(records.size()), &written);
  }

  // The exit status, once the program has ended (within 30 s).
  [[nodiscard]] DWORD ExitStatus() const {
    DWORD status = STILL_ACTIVE;
    if (::WaitForSingleObject(process_.get(), 30000) == WAIT_OBJECT_0) {
      ::GetExitCodeProcess(process_.get(), &status);
    }
    return status;
  }

 private:
  UniqueKernelHandle process_;
};

TEST(ConsoleWait, TakesNoTypeAheadAndEndOfInputStopsTheDial) {
  // Enter twice while the first tone sounds, then Ctrl+Z Enter at the first
  // wait. Taken ahead, the two Enters would have sent the whole dial.
  DtmfConsole console(L"\"" + DtmfPath() + L"\" -t 1000 1;2;3");
  ASSERT_TRUE(console.Started());
  ASSERT_TRUE(console.Shows(L"[1]")) << console.Screen();
  console.Type(L"\r\r");
  ASSERT_TRUE(console.Shows(L"send 2;3")) << console.Screen();
  console.Type(L"\x1A\r");
  EXPECT_EQ(console.ExitStatus(), 1u);
  EXPECT_TRUE(console.Shows(L"dtmf: stopped at ';': input ended; not sent: 2;3"))
      << console.Screen();
  EXPECT_EQ(console.Screen().find(L"send 3"), std::wstring::npos);
}

}  // namespace
