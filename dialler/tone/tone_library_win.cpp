#include "dialler/tone/tone_library_win.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/format_text.h"
#include "common/module_path_win.h"
#include "common/resource_string_win.h"
#include "common/system_message_win.h"
#include "dialler/resources/resource_ids.h"
#include "dialler/tone/dll_search_win.h"
#include "dialler/tone/pe_machine.h"

namespace {

// The system's text for `error` with `path` in place of its "%1" (as in
// "%1 is not a valid Win32 application"), and the code after it.
std::wstring SystemMessage(DWORD error, const std::wstring& path) {
  return FormatText(SystemMessageText(error), {path}) + L" (" + std::to_wstring(error) + L")";
}

std::wstring JoinLines(const std::vector<std::wstring>& lines) {
  std::wstring joined;
  for (const std::wstring& line : lines) joined += L"  " + line + L"\n";
  return joined;
}

// The first of `folders` that holds the library, if any.
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

[[noreturn]] void ThrowLoadFailure(const std::wstring& candidate, DWORD error) {
  const UINT pattern =
      IsForAnotherMachine(candidate) ? IDS_LIBRARY_WRONG_ARCHITECTURE : IDS_LIBRARY_NOT_LOADABLE;
  throw ToneLibraryFailure(
      FormatText(LoadResourceString(pattern), {candidate, SystemMessage(error, candidate)}));
}

// The first zelnor.dll in the folders the README and the not-found message
// name, in their order, loaded by its full path: the loader's own order
// would put PATH's folders before the system folder.
UniqueModule LoadToneLibrary() {
  const std::vector<std::wstring> folders = DllSearchFolders();
  const std::wstring candidate = FindCandidate(folders);
  if (candidate.empty()) {
    throw ToneLibraryFailure(
        FormatText(LoadResourceString(IDS_LIBRARY_NOT_FOUND), {JoinLines(folders)}));
  }
  // A damaged or foreign image must fail quietly with an error code, not
  // with a system dialog of its own.
  DWORD old_mode = 0;
  ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_mode);
  UniqueModule module(::LoadLibraryW(candidate.c_str()));
  const DWORD error = ::GetLastError();
  ::SetThreadErrorMode(old_mode, nullptr);
  if (!module) ThrowLoadFailure(candidate, error);
  return module;
}

}  // namespace

PlayDtmfFunction ToneLibrary::PlayDtmf() {
  if (play_dtmf_) return play_dtmf_;

  UniqueModule module = LoadToneLibrary();
  FARPROC entry = ::GetProcAddress(module.get(), kPlayDtmfEntryName);
  if (!entry) {
    // `module` goes out of scope here: a library without the entry is released.
    std::wstring path = ModulePath(module.get());
    if (path.empty()) path = kToneLibraryName;
    throw ToneLibraryFailure(FormatText(LoadResourceString(IDS_ENTRY_MISSING), {path}));
  }
  play_dtmf_ = reinterpret_cast<PlayDtmfFunction>(reinterpret_cast<void*>(entry));
  module_ = std::move(module);
  return play_dtmf_;
}
