#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tools/dtmf/console.h"
#include "tools/dtmf/failure.h"
#include "tools/dtmf/input_text.h"
#include "tools/dtmf/standard_streams.h"
#include "tools/dtmf/utf8_text.h"

namespace dtmf_tool {
namespace {

int Descriptor(StandardStream stream) {
  return static_cast<int>(reinterpret_cast<intptr_t>(StandardHandle(stream)));
}

// All of standard input, refused beyond kMaxInputBytes.
std::string ReadStandardInput() {
  std::string bytes;
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    const int32_t read = ReadFromHandle(StandardHandle(StandardStream::kInput), buffer.data(),
                                        static_cast<int32_t>(buffer.size()));
    // An input that fails to read ends as a broken pipe does on Windows.
    if (read <= 0) return bytes;
    if (static_cast<size_t>(read) > kMaxInputBytes - bytes.size()) ThrowInputTooLong();
    bytes.append(buffer.data(), static_cast<size_t>(read));
  }
}

}  // namespace

bool IsConsole(StandardStream stream) { return ::isatty(Descriptor(stream)) != 0; }

size_t ErrorConsoleColumns() {
  if (!IsConsole(StandardStream::kError)) return 0;
  winsize size{};
  // A terminal that cannot say is taken as the classic 80 columns.
  constexpr size_t kUnknownWidth = 80;
  const bool known = ::ioctl(Descriptor(StandardStream::kError), TIOCGWINSZ, &size) == 0;
  return known && size.ws_col > 0 ? size.ws_col : kUnknownWidth;
}

// Terminals and files alike take UTF-8: there is no code page to choose.
void Print(StandardStream stream, const std::wstring& text) {
  const std::string bytes = ToUtf8(text);
  if (bytes.empty()) return;
  if (WriteToHandle(StandardHandle(stream), bytes.data(), static_cast<uint32_t>(bytes.size()))) {
    return;
  }
  const wchar_t* name = stream == StandardStream::kOutput ? L"standard output" : L"standard error";
  throw Failure(kExitFailed,
                std::wstring(L"dtmf: cannot write ") + name + L": " + SystemErrorText(errno));
}

std::wstring ReadStandardInputText() {
  const std::string bytes = ReadStandardInput();
  InputForm form = DetectInputForm(bytes);
  // No code pages here: what is not UTF-8 is refused where it stops being it.
  if (form.encoding == InputEncoding::kCodePage) form.encoding = InputEncoding::kUtf8;
  return DecodeUnicodeInput(bytes, form);
}

SystemError LastSystemError() { return static_cast<SystemError>(errno); }

void SetLastSystemError(SystemError error) { errno = static_cast<int>(error); }

std::wstring SystemErrorText(SystemError error) {
  return FromUtf8(std::strerror(static_cast<int>(error)));
}

std::wstring OutOfMemoryText() { return SystemErrorText(ENOMEM); }

}  // namespace dtmf_tool
