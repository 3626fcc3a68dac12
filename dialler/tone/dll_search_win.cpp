#include "dialler/tone/dll_search_win.h"

#include <windows.h>

#include <string_view>

#include "common/module_path_win.h"

namespace {

std::wstring ExeFolder() {
  const std::wstring path = ModulePath(nullptr);
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

std::wstring SystemFolder() {
  wchar_t buffer[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
  return length && length < MAX_PATH ? std::wstring(buffer, length) : std::wstring();
}

bool IsAbsolute(std::wstring_view folder) {
  return (folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/')) ||
         (folder.size() >= 2 && folder[0] == L'\\' && folder[1] == L'\\');
}

std::vector<std::wstring> AbsolutePathFolders() {
  const DWORD size = ::GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring path(size, L'\0');
  path.resize(::GetEnvironmentVariableW(L"PATH", path.data(), size));
  std::vector<std::wstring> folders;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(L';', start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring folder = path.substr(start, end - start);
    if (IsAbsolute(folder)) folders.push_back(std::move(folder));
    start = end + 1;
  }
  return folders;
}

// File names compare without regard to case, and "C:\x\" is "C:\x".
bool IsSameFolder(std::wstring_view a, std::wstring_view b) {
  const auto trim = [](std::wstring_view folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
      folder.remove_suffix(1);
    }
    return folder;
  };
  a = trim(a);
  b = trim(b);
  return ::CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

void RemoveCurrentDirectoryFromDllSearch() {
  // Enough on Windows itself.
  ::SetDllDirectoryW(L"");

  // Some loaders (Wine among them) keep searching the current directory
  // after that; the default-directories mode drops it for sure. Looked up,
  // since it arrived with a Windows 7 update.
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const auto set_default = reinterpret_cast<decltype(&::SetDefaultDllDirectories)>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  if (set_default) set_default(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

std::vector<std::wstring> DllSearchFolders() {
  std::vector<std::wstring> candidates{ExeFolder(), SystemFolder()};
  for (std::wstring& folder : AbsolutePathFolders()) candidates.push_back(std::move(folder));
  std::vector<std::wstring> folders;
  for (std::wstring& candidate : candidates) {
    bool seen = candidate.empty();
    for (const std::wstring& folder : folders) seen = seen || IsSameFolder(folder, candidate);
    if (!seen) folders.push_back(std::move(candidate));
  }
  return folders;
}
