#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

#include "common/ansi_text_win.h"
#include "common/system_message_win.h"
#include "common/write_all_win.h"
#include "tools/dtmf/console.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/input_text.h"
#include "tools/dtmf/standard_streams.h"

namespace dtmf_tool {

bool IsConsole(StandardStream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(StandardHandle(stream), &mode) != 0;
}

size_t ErrorConsoleColumns() {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(::GetStdHandle(STD_ERROR_HANDLE), &info)) return 0;
  return info.dwSize.X > 0 ? static_cast<size_t>(info.dwSize.X) : 0;
}

namespace {

// All of `text` to a console, which takes UTF-16 as it stands.
bool WriteConsoleAll(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<size_t>(text.size(), 1 << 16));
    if (!::WriteConsoleW(console, text.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace

void Print(StandardStream stream, const std::wstring& text) {
  const HANDLE out = StandardHandle(stream);
  bool written = false;
  if (IsConsole(stream)) {
    written = WriteConsoleAll(out, text);
  } else {
    // What the console would show; '?' where it cannot, never a look-alike
    // of what was typed ("A" for "À").
    const UINT console = ::GetConsoleOutputCP();
    const std::string bytes = ToCodePage(console != 0 ? console : ::GetACP(), text);
    written = WriteAll(out, bytes.data(), bytes.size());
  }
  if (!written) {
    const wchar_t* name =
        stream == StandardStream::kOutput ? L"standard output" : L"standard error";
    throw Failure(kExitFailed, std::wstring(L"dtmf: cannot write ") + name + L": " +
                                   SystemErrorText(::GetLastError()));
  }
}

namespace {

// All of standard input, refused beyond kMaxInputBytes.
std::string ReadStandardInput() {
  const HANDLE in = StandardHandle(StandardStream::kInput);
  std::string bytes;
  std::vector<char> buffer(64 * 1024);
  DWORD read = 0;
  // Ends at the end of a file or pipe (a broken pipe included) or on Ctrl+Z.
  while (::ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) &&
         read > 0) {
    if (read > kMaxInputBytes - bytes.size()) ThrowInputTooLong();
    bytes.append(buffer.data(), read);
  }
  return bytes;
}

// The code page a console user types in; the ANSI one with no console.
UINT InputCodePage() {
  const UINT console = ::GetConsoleCP();
  return console != 0 ? console : ::GetACP();
}

// Whether the bytes are text in `code_page`; `text` (if any) gets it.
bool DecodesIn(UINT code_page, DWORD flags, std::string_view bytes, std::wstring* text) {
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(code_page, flags, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  if (text != nullptr) {
    text->resize(static_cast<size_t>(length));
    ::MultiByteToWideChar(code_page, flags, bytes.data(), size, text->data(), length);
  }
  return true;
}

// Only called once the whole text failed, so one character at a time is
// cheap enough to say where.
size_t FirstUndecodableByte(UINT code_page, std::string_view bytes) {
  size_t at = 0;
  while (at < bytes.size()) {
    const size_t length = ::IsDBCSLeadByteEx(code_page, static_cast<BYTE>(bytes[at])) ? 2 : 1;
    if (!DecodesIn(code_page, MB_ERR_INVALID_CHARS, bytes.substr(at, length), nullptr)) break;
    at += length;
  }
  return at;
}

std::wstring FromCodePage(std::string_view bytes) {
  RefuseNulBytes(bytes);
  const UINT code_page = InputCodePage();
  // Not valid UTF-8, as detection found; the portable reader says where.
  if (code_page == CP_UTF8) return DecodeUnicodeInput(bytes, {InputEncoding::kUtf8, 0});
  std::wstring text;
  if (DecodesIn(code_page, MB_ERR_INVALID_CHARS, bytes, &text)) return text;
  // A code page that cannot check its input is taken as it stands.
  if (::GetLastError() == ERROR_INVALID_FLAGS && DecodesIn(code_page, 0, bytes, &text)) return text;
  ThrowNotText(FirstUndecodableByte(code_page, bytes),
               L"code page " + std::to_wstring(code_page) + L" text");
}

}  // namespace

std::wstring ReadStandardInputText() {
  const std::string bytes = ReadStandardInput();
  const InputForm form = DetectInputForm(bytes);
  if (form.encoding == InputEncoding::kCodePage) return FromCodePage(bytes);
  return DecodeUnicodeInput(bytes, form);
}

SystemError LastSystemError() { return ::GetLastError(); }

void SetLastSystemError(SystemError error) { ::SetLastError(error); }

std::wstring OutOfMemoryText() { return SystemErrorText(ERROR_NOT_ENOUGH_MEMORY); }

std::wstring SystemErrorText(SystemError error) {
  std::wstring message = SystemMessageText(error);
  if (message.empty()) return L"error " + std::to_wstring(error);
  // Ends a sentence of ours, so its full stop (Japanese too) and the
  // spaces before it go.
  while (!message.empty() &&
         (message.back() == L'.' || message.back() == L'\x3002' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

}  // namespace dtmf_tool
