#include "tests/support/dialler_session_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/process_figures_win.h"

namespace {

std::wstring Widen(const char* text) {
  std::wstring wide;
  for (const char* p = text; *p; ++p) wide += static_cast<wchar_t>(*p == '/' ? '\\' : *p);
  return wide;
}

std::wstring MakeTempFolder() {
  wchar_t base[MAX_PATH];
  ::GetTempPathW(MAX_PATH, base);
  static std::atomic<int> counter{0};
  const std::wstring folder = std::wstring(base) + L"dialler-" +
                              std::to_wstring(::GetCurrentProcessId()) + L"-" +
                              std::to_wstring(counter++);
  ::CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void RemoveFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW entry;
  HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") ::DeleteFileW((folder + L"\\" + name).c_str());
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
  }
  ::RemoveDirectoryW(folder.c_str());
}

struct FindContext {
  DWORD process_id;
  const wchar_t* class_name;  // or null
  bool want_dialog;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM param) {
  auto& context = *reinterpret_cast<FindContext*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid != context.process_id || !::IsWindowVisible(window)) return TRUE;
  wchar_t class_name[64] = L"";
  ::GetClassNameW(window, class_name, 64);
  const bool is_dialog = std::wstring(class_name) == L"#32770";
  wchar_t title[64] = L"";
  ::GetWindowTextW(window, title, 64);
  if (is_dialog == context.want_dialog && std::wstring(title) == L"Dialler Sample") {
    context.found = window;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(DWORD process_id, bool dialog) {
  FindContext context{process_id, nullptr, dialog, nullptr};
  ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
  wchar_t class_name[32] = L"";
  ::GetClassNameW(child, class_name, 32);
  if (_wcsicmp(class_name, L"Static") == 0) {
    wchar_t text[4096] = L"";
    ::SendMessageW(child, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    auto& out = *reinterpret_cast<std::wstring*>(param);
    if (wcslen(text) > out.size()) out = text;
  }
  return TRUE;
}

}  // namespace

std::wstring BinFolder() { return Widen(DIALLER_BIN_DIR); }
std::wstring FakesFolder() { return Widen(DIALLER_FAKES_DIR); }

DiallerSession::DiallerSession(SessionOptions options) : folder_(MakeTempFolder()) {
  const std::wstring exe = folder_ + L"\\Dialler.exe";
  if (!::CopyFileW((BinFolder() + L"\\Dialler.exe").c_str(), exe.c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy Dialler.exe";
    return;
  }
  if (!options.library.empty()) InstallLibrary(options.library);

  log_path_ = folder_ + L"\\calls.log";
  ::SetEnvironmentVariableW(L"DIALLER_FAKE_LOG", log_path_.c_str());

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring command = L"\"" + exe + L"\"";
  const std::wstring& cwd = options.working_directory.empty() ? folder_ : options.working_directory;
  if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        cwd.c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start Dialler.exe: " << ::GetLastError();
    return;
  }
  process_.reset(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  thread_id_ = info.dwThreadId;

  for (int i = 0; i < 300 && !form_; ++i) {
    form_ = FindWindowOf(info.dwProcessId, false);
    if (!form_) ::Sleep(50);
  }
  if (!form_) {
    ADD_FAILURE() << "the window \"Dialler Sample\" did not appear";
    return;
  }
  WaitUntilIdle();
}

DiallerSession::~DiallerSession() {
  if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    if (form_) ::PostMessageW(form_, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process_.get(), 5000) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_.get(), 99);
      ::WaitForSingleObject(process_.get(), 5000);
    }
  }
  process_.reset();
  RemoveFolder(folder_);
}

void DiallerSession::InstallLibrary(const std::wstring& library) const {
  const std::wstring source = library == L"real"
                                  ? BinFolder() + L"\\zelnor.dll"
                                  : FakesFolder() + L"\\" + library + L"\\zelnor.dll";
  if (!::CopyFileW(source.c_str(), (folder_ + L"\\zelnor.dll").c_str(), FALSE)) {
    ADD_FAILURE() << "cannot copy zelnor.dll from the "
                  << std::string(library.begin(), library.end()) << " folder";
  }
}

HWND DiallerSession::control(int id) const { return ::GetDlgItem(form_, id); }

std::wstring DiallerSession::Text(int id) const {
  HWND window = control(id);
  const auto length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied =
      ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

void DiallerSession::SetText(int id, const std::wstring& text) const {
  ::SendMessageW(control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void DiallerSession::SetCheck(int state) const {
  ::SendMessageW(control(2), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

int DiallerSession::CheckState() const {
  return static_cast<int>(::SendMessageW(control(2), BM_GETCHECK, 0, 0));
}

HWND DiallerSession::Focus() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return ::GetGUIThreadInfo(thread_id_, &info) ? info.hwndFocus : nullptr;
}

HWND DiallerSession::FindMessageBox() const {
  return FindWindowOf(::GetProcessId(process_.get()), true);
}

bool DiallerSession::HasMessageBox() const { return FindMessageBox() != nullptr; }

std::wstring DiallerSession::Click() const {
  HWND button = control(4);
  std::atomic<bool> handled{false};
  // BM_CLICK returns once the click has been handled; a message box holds it
  // until dismissed, so watch for one meanwhile.
  std::thread clicker([button, &handled] {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &result);
    handled = true;
  });
  std::wstring message;
  while (!handled) {
    if (HWND box = FindMessageBox(); box && message.empty()) {
      ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&message));
      EXPECT_EQ(::GetWindow(box, GW_OWNER), form_) << "the message box should be owned by Form1";
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    ::Sleep(2);
  }
  clicker.join();
  return message;
}

void DiallerSession::PressKey(WORD virtual_key, bool with_shift, bool with_alt) const {
  ::SetForegroundWindow(form_);
  std::vector<INPUT> inputs;
  auto key = [&inputs](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (with_shift) key(VK_SHIFT, false);
  if (with_alt) key(VK_MENU, false);
  key(virtual_key, false);
  key(virtual_key, true);
  if (with_alt) key(VK_MENU, true);
  if (with_shift) key(VK_SHIFT, true);
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  WaitUntilIdle();
}

void DiallerSession::WaitUntilIdle() const {
  ::WaitForInputIdle(process_.get(), 2000);
  ::Sleep(100);
  DWORD_PTR result = 0;
  ::SendMessageTimeoutW(form_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
}

std::vector<std::string> DiallerSession::Log() const {
  std::ifstream file(std::string(log_path_.begin(), log_path_.end()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

int DiallerSession::CountLog(const std::string& prefix) const {
  int count = 0;
  for (const std::string& line : Log()) count += line.rfind(prefix, 0) == 0;
  return count;
}

namespace {

// Wine answers GetProcessHandleCount with 0; the system-wide handle list
// (NtQuerySystemInformation, class 16) has every process's handles.
DWORD CountHandlesFromSystemList(DWORD process_id) {
  struct Entry {
    ULONG process_id;
    BYTE type;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
  };
  using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (!query) return 0;
  std::vector<BYTE> buffer(1 << 20);
  for (int attempt = 0; attempt < 5; ++attempt) {
    ULONG needed = 0;
    const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == 0) {
      const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
      const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
      DWORD mine = 0;
      for (ULONG i = 0; i < count; ++i) mine += entries[i].process_id == process_id;
      return mine;
    }
    buffer.resize(buffer.size() * 2);
  }
  return 0;
}

}  // namespace

ProcessFigures DiallerSession::Figures() const {
  ProcessFigures figures{};
  if (!::GetProcessHandleCount(process_.get(), &figures.handles) || figures.handles == 0) {
    figures.handles = CountHandlesFromSystemList(::GetProcessId(process_.get()));
  }
  figures.private_bytes = PrivateBytes(process_.get());
  figures.threads = CountThreads(::GetProcessId(process_.get()));
  EXPECT_GT(figures.handles, 0u) << "no handle count for the process";
  EXPECT_GT(figures.private_bytes, 0u) << "no memory figures for the process";
  return figures;
}

DWORD DiallerSession::Close(UINT message, WPARAM wparam, DWORD timeout_ms) {
  ::PostMessageW(form_, message, wparam, 0);
  return WaitForExit(timeout_ms);
}

DWORD DiallerSession::WaitForExit(DWORD timeout_ms) {
  if (::WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "Dialler.exe did not end within " << timeout_ms << " ms";
    return STILL_ACTIVE;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_.get(), &code);
  return code;
}
