#include "tone/tone_library_win.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/click_failure.h"
#include "common/format_text.h"
#include "common/resource_string_win.h"
#include "resources/resource_ids.h"
#include "tone/dll_search_win.h"
#include "tone/pe_machine.h"

namespace {

std::wstring SystemMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
  UniqueLocalMemory owned(buffer);
  std::wstring text = length ? std::wstring(buffer, length) : std::wstring();
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return FormatText(L"%1 (%2)", {text, std::to_wstring(error)});
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
  std::wstring joined;
  for (const std::wstring& line : lines) joined += L"  " + line + L"\n";
  return joined;
}

// The first file the loader would have considered, if any.
std::wstring FindCandidate(const std::vector<std::wstring>& folders) {
  for (const std::wstring& folder : folders) {
    const std::wstring path = folder + L"\\" + kToneLibraryName;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return path;
    }
  }
  return {};
}

bool IsForAnotherMachine(const std::wstring& path) {
  UniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::uint8_t header[4096];
  DWORD read = 0;
  if (!::ReadFile(file.get(), header, sizeof(header), &read, nullptr)) return false;
  const auto machine = PeMachine(header, read);
  return machine && *machine != kMachineI386;
}

[[noreturn]] void ThrowLoadFailure(DWORD error) {
  const std::vector<std::wstring> folders = DllSearchFolders();
  const std::wstring candidate = FindCandidate(folders);
  if (candidate.empty()) {
    throw ClickFailure(
        FormatText(LoadResourceString(IDS_LIBRARY_NOT_FOUND), {JoinLines(folders)}), 0);
  }
  const UINT pattern =
      IsForAnotherMachine(candidate) ? IDS_LIBRARY_WRONG_ARCHITECTURE : IDS_LIBRARY_NOT_LOADABLE;
  throw ClickFailure(
      FormatText(LoadResourceString(pattern), {candidate, SystemMessage(error)}), 0);
}

UniqueModule LoadToneLibrary() {
  // A damaged or foreign image must fail quietly with an error code, not
  // with a system dialog of its own.
  DWORD old_mode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_mode);
  UniqueModule module(::LoadLibraryW(kToneLibraryName));
  const DWORD error = ::GetLastError();
  ::SetThreadErrorMode(old_mode, nullptr);
  if (!module) ThrowLoadFailure(error);
  return module;
}

std::wstring ModulePath(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
  return length ? std::wstring(path, length) : std::wstring(kToneLibraryName);
}

}  // namespace

PlayDtmfFunction ToneLibrary::PlayDtmf() {
  if (play_dtmf_) return play_dtmf_;

  UniqueModule module = LoadToneLibrary();
  FARPROC entry = ::GetProcAddress(module.get(), kPlayDtmfEntryName);
  if (!entry) {
    // `module` goes out of scope here: a library without the entry is released.
    throw ClickFailure(
        FormatText(LoadResourceString(IDS_ENTRY_MISSING), {ModulePath(module.get())}), 0);
  }
  play_dtmf_ = reinterpret_cast<PlayDtmfFunction>(reinterpret_cast<void*>(entry));
  module_ = std::move(module);
  return play_dtmf_;
}
