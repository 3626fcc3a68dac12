#include "common/whole_file_win.h"

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <vector>

#include "common/handles_win.h"

namespace {

// Why the file could not be written, as the system said it. Kept apart
// from std::system_error and std::wstring, which would bring the C++
// library's error categories and its whole wide string into a program.
struct FileFailure {
  DWORD error;
};

[[noreturn]] void ThrowError(DWORD error) { throw FileFailure{error}; }
[[noreturn]] void ThrowLastError() { ThrowError(::GetLastError()); }

using WidePath = std::vector<wchar_t>;  // NUL-terminated

// Whether the system deletes the file when its last handle closes, the
// process killed included. Cleared before the file is kept.
bool SetDeleteOnClose(HANDLE file, bool delete_on_close) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = delete_on_close;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition,
                                      sizeof disposition) != FALSE;
}

// The full path, in the `\\?\` form that takes paths past MAX_PATH, so
// every name the system allows can be written.
WidePath FullPath(const wchar_t* path) {
  const DWORD size = ::GetFullPathNameW(path, 0, nullptr, nullptr);
  if (size == 0) ThrowLastError();
  WidePath full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(path, size, full.data(), nullptr);
  if (length == 0 || length >= size) ThrowLastError();
  full.resize(length + 1);
  const auto starts = [&](const wchar_t* prefix) {
    return std::wcsncmp(full.data(), prefix, std::wcslen(prefix)) == 0;
  };
  if (starts(LR"(\\?\)") || starts(LR"(\\.\)")) return full;
  const bool unc = starts(LR"(\\)");
  const wchar_t* prefix = unc ? LR"(\\?\UNC)" : LR"(\\?\)";
  full.insert(full.begin() + (unc ? 1 : 0), prefix, prefix + std::wcslen(prefix));
  return full;
}

// "C:\dir\~zl1a2b3c4d.tmp" for "C:\dir\name.wav": beside the target, so the
// move is a rename on the same volume, and short, so that a name as long as
// the system allows still leaves room for it.
WidePath TemporaryName(const WidePath& target, unsigned attempt) {
  size_t name_start = 0;
  for (size_t i = 0; target[i] != L'\0'; ++i) {
    if (target[i] == L'\\' || target[i] == L'/') name_start = i + 1;
  }
  const unsigned long long tag = (static_cast<unsigned long long>(::GetCurrentProcessId()) << 20) ^
                                 ::GetTickCount64() ^ (attempt * 0x9E3779B9ull);
  wchar_t name[] = L"~zl00000000.tmp";
  const wchar_t digits[] = L"0123456789abcdef";
  for (int i = 0; i < 8; ++i) name[3 + i] = digits[(tag >> (28 - 4 * i)) & 0xF];
  WidePath temporary(target.begin(), target.begin() + static_cast<std::ptrdiff_t>(name_start));
  temporary.insert(temporary.end(), name, name + std::size(name));  // with its NUL
  return temporary;
}

// Refuses, before anything is written, what could not be the target: a
// name longer than a folder takes (which some file systems report as "file
// not found"), and what Windows itself would not replace, a read-only file
// or a folder.
void RequireReplaceable(const WidePath& target) {
  constexpr size_t kMostNameCharacters = 255;  // NTFS, FAT32 and exFAT alike
  size_t name_length = 0;
  for (size_t i = 0; target[i] != L'\0'; ++i) {
    name_length = target[i] == L'\\' || target[i] == L'/' ? 0 : name_length + 1;
  }
  if (name_length > kMostNameCharacters) ThrowError(ERROR_FILENAME_EXCED_RANGE);
  const DWORD attributes = ::GetFileAttributesW(target.data());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
    ThrowError(ERROR_ACCESS_DENIED);
  }
}

// The temporary moved to `target`. An existing target is replaced in place,
// keeping what the user set on it (attributes such as hidden, permissions).
// Windows' own reason when it is refused.
void MoveOver(const WidePath& temporary, const WidePath& target) {
  const DWORD attributes = ::GetFileAttributesW(target.data());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (!::MoveFileExW(temporary.data(), target.data(), MOVEFILE_WRITE_THROUGH)) ThrowLastError();
    return;
  }
  // ReplaceFileW merges these itself on Windows; Wine's leaves them behind.
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                          FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  if (attributes & kKept) ::SetFileAttributesW(temporary.data(), attributes & kKept);
  // A backup name of ours, deleted once done: without one, Wine's
  // ReplaceFileW leaves an empty "rf*.tmp" of its own in the folder.
  const WidePath backup = TemporaryName(target, 0x5A);
  if (::ReplaceFileW(target.data(), temporary.data(), backup.data(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    ::DeleteFileW(backup.data());
    return;
  }
  DWORD error = ::GetLastError();
  if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {  // the target went to the backup name
    ::MoveFileExW(backup.data(), target.data(), MOVEFILE_WRITE_THROUGH);
  }
  if (error == ERROR_UNABLE_TO_REMOVE_REPLACED) {
    // Says only that the target stayed; opening it for deletion says why
    // (another program holding it, say).
    UniqueKernelHandle probe(::CreateFileW(target.data(), DELETE, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!probe) error = ::GetLastError();
  }
  ThrowError(error);
}

// The file being written: removed on every way out but Keep().
class TemporaryFile {
 public:
  explicit TemporaryFile(const WidePath& target) {
    constexpr unsigned kAttempts = 16;
    for (unsigned attempt = 0; attempt < kAttempts && !file_; ++attempt) {
      path_ = TemporaryName(target, attempt);
      file_.reset(::CreateFileW(path_.data(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!file_ && ::GetLastError() != ERROR_FILE_EXISTS) ThrowLastError();
    }
    if (!file_) ThrowLastError();
    // Where the system cannot, a killed writer leaves the temporary behind.
    deleted_on_close_ = SetDeleteOnClose(file_.get(), true);
  }
  ~TemporaryFile() {
    if (!file_) return;
    const DWORD error = ::GetLastError();
    SetDeleteOnClose(file_.get(), true);
    file_.reset();
    ::DeleteFileW(path_.data());  // gone already where delete-on-close held
    ::SetLastError(error);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  [[nodiscard]] HANDLE get() const { return file_.get(); }

  // Every byte on disk, then the file moved over `target`.
  void Keep(const WidePath& target) {
    if (!::FlushFileBuffers(file_.get())) ThrowLastError();
    if (deleted_on_close_ && !SetDeleteOnClose(file_.get(), false)) {
      ThrowLastError();
    }
    file_.reset();
    try {
      MoveOver(path_, target);
    } catch (const FileFailure&) {
      ::DeleteFileW(path_.data());
      throw;
    }
  }

 private:
  WidePath path_;
  UniqueKernelHandle file_;
  bool deleted_on_close_ = false;
};

}  // namespace

bool WriteWholeFile(const wchar_t* path, FillFile fill, void* context) {
  try {
    const WidePath target = FullPath(path);
    RequireReplaceable(target);
    TemporaryFile file(target);
    if (!fill(file.get(), context)) ThrowLastError();
    file.Keep(target);
  } catch (const FileFailure& failure) {
    // The caller learns why from the last error, so it is never left at 0.
    ::SetLastError(failure.error != 0 ? failure.error : ERROR_WRITE_FAULT);
    return false;
  }
  return true;
}
