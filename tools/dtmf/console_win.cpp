#include "tools/dtmf/console_win.h"

#include "common/system_message_win.h"

namespace dtmf_tool {

void Print(DWORD stream, const std::wstring& text) {
  const HANDLE out = ::GetStdHandle(stream);
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(out, &mode)) {
    ::WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  const UINT code_page = ::GetConsoleOutputCP() != 0 ? ::GetConsoleOutputCP() : CP_ACP;
  const int length = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

namespace {

std::string ReadStandardInput() {
  const HANDLE in = ::GetStdHandle(STD_INPUT_HANDLE);
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  // Ends at the end of a file or pipe (a broken pipe included) or on Ctrl+Z.
  while (::ReadFile(in, buffer, sizeof buffer, &read, nullptr) && read > 0) {
    bytes.append(buffer, read);
  }
  return bytes;
}

}  // namespace

std::wstring ReadStandardInputText() {
  const std::string bytes = ReadStandardInput();
  const int size = static_cast<int>(bytes.size());
  const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), length);
  return text;
}

std::wstring SystemErrorText(DWORD error) {
  std::wstring message = SystemMessageText(error);
  if (message.empty()) return L"error " + std::to_wstring(error);
  // Ends a sentence of ours, so its full stop and what preceded it go.
  while (!message.empty() && (message.back() == L'.' || message.back() == L' ')) {
    message.pop_back();
  }
  return message;
}

std::string ToAnsi(const std::wstring& text) {
  const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length,
                        nullptr, nullptr);
  return bytes;
}

}  // namespace dtmf_tool
