#include "tone/dll_search_win.h"

#include <windows.h>

#include <string_view>

namespace {

std::wstring ExeFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/"));
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

}  // namespace

void RemoveCurrentDirectoryFromDllSearch() {
  // Enough on Windows itself.
  ::SetDllDirectoryW(L"");

  // Some loaders (Wine among them) keep searching the current directory
  // after that; the default-directories mode drops it for sure but also drops
  // PATH, so PATH's absolute folders are added back explicitly.
  using SetDefaultFn = BOOL(WINAPI*)(DWORD);
  using AddFn = DLL_DIRECTORY_COOKIE(WINAPI*)(PCWSTR);
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  const auto set_default = reinterpret_cast<SetDefaultFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "SetDefaultDllDirectories")));
  const auto add_directory = reinterpret_cast<AddFn>(
      reinterpret_cast<void*>(::GetProcAddress(kernel32, "AddDllDirectory")));
  if (!set_default || !add_directory) return;
  if (!set_default(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS)) return;
  for (const std::wstring& folder : AbsolutePathFolders()) add_directory(folder.c_str());
}

std::vector<std::wstring> DllSearchFolders() {
  std::vector<std::wstring> folders{ExeFolder(), SystemFolder()};
  for (std::wstring& folder : AbsolutePathFolders()) folders.push_back(std::move(folder));
  return folders;
}
