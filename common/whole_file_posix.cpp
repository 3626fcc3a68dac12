#include "common/whole_file_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

#include "common/unique_fd_posix.h"

namespace {

// Why the file could not be written: errno as it was.
struct FileFailure {
  int error;
};

[[noreturn]] void ThrowErrno() { throw FileFailure{errno}; }

// The file a path names: through a symbolic link, so the link is kept.
std::string TargetOf(const char* path) {
  struct stat link {};
  if (::lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = ::realpath(path, nullptr);
  if (resolved == nullptr) return path;  // dangling: the link is replaced
  std::string target(resolved);
  std::free(resolved);
  return target;
}

// "dir/~zl1a2b3c4d.tmp" for "dir/name.wav": beside the target, so the
// rename stays on one file system.
std::string TemporaryName(const std::string& target, unsigned attempt) {
  const size_t slash = target.rfind('/');
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const unsigned long long tag = (static_cast<unsigned long long>(::getpid()) << 20) ^
                                 static_cast<unsigned long long>(std::time(nullptr)) ^
                                 static_cast<unsigned long long>(::clock()) ^
                                 (attempt * 0x9E3779B9ull);
  char name[] = "~zl00000000.tmp";
  for (int i = 0; i < 8; ++i) name[3 + i] = "0123456789abcdef"[(tag >> (28 - 4 * i)) & 0xF];
  return target.substr(0, name_start) + name;
}

// The folder part of `target`, "." for a bare name.
std::string FolderOf(const std::string& target) {
  const size_t slash = target.rfind('/');
  return slash == std::string::npos ? "." : target.substr(0, slash + 1);
}

// The folder holding `target`, synced so the rename itself survives a
// crash. Best effort: the file is whole either way.
void SyncFolderOf(const std::string& target) {
  const UniqueFd fd(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd) ::fsync(fd.get());
}

// The file being written: removed on every way out but Keep(). Where the
// file system allows, it has no name until it is whole (O_TMPFILE), so
// even a killed writer leaves nothing behind; elsewhere it is a named
// temporary beside the target.
class TemporaryFile {
 public:
  TemporaryFile(const std::string& target, mode_t mode) {
#ifdef O_TMPFILE
    // Naming it later goes through /proc, which a chroot may lack.
    if (::access("/proc/self/fd", X_OK) == 0) {
      fd_.reset(::open(FolderOf(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
      if (fd_) return;
      if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) ThrowErrno();
    }
#endif
    constexpr unsigned kAttempts = 16;
    for (unsigned attempt = 0; attempt < kAttempts && !fd_; ++attempt) {
      path_ = TemporaryName(target, attempt);
      fd_.reset(::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
      if (!fd_ && errno != EEXIST) ThrowErrno();
    }
    if (!fd_) ThrowErrno();
  }
  ~TemporaryFile() {
    const int error = errno;
    fd_.reset();
    if (!path_.empty()) ::unlink(path_.c_str());
    errno = error;
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  [[nodiscard]] int get() const { return fd_.get(); }

  // Every byte on disk, then the file renamed over `target`.
  void Keep(const std::string& target) {
    if (::fsync(fd_.get()) != 0) ThrowErrno();
    if (path_.empty()) NameUnnamed(target);
    if (::close(fd_.release()) != 0) ThrowErrno();
    if (::rename(path_.c_str(), target.c_str()) != 0) ThrowErrno();
    path_.clear();
    SyncFolderOf(target);
  }

 private:
  // An unnamed file gets a temporary name only now, for the rename: a link
  // cannot replace a file.
  void NameUnnamed(const std::string& target) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
    constexpr unsigned kAttempts = 16;
    for (unsigned attempt = 0; attempt < kAttempts; ++attempt) {
      path_ = TemporaryName(target, attempt);
      if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW) == 0) return;
      if (errno != EEXIST) break;
    }
    path_.clear();
    ThrowErrno();
  }

  std::string path_;
  UniqueFd fd_;
};

}  // namespace

bool WriteWholeFile(const char* path, FillFile fill, void* context) {
  try {
    const std::string target = TargetOf(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) throw FileFailure{EISDIR};
    if (exists && ::access(target.c_str(), W_OK) != 0) ThrowErrno();
    TemporaryFile file(target, exists ? existing.st_mode & 07777 : 0666);
    if (exists) {
      // Where the owner is not ours to give, the file stays the writer's, as
      // a copy would. Then the old bits, which open()'s umask may have cut.
      if (::fchown(file.get(), existing.st_uid, existing.st_gid) != 0) errno = 0;
      if (::fchmod(file.get(), existing.st_mode & 07777) != 0) ThrowErrno();
    }
    if (!fill(file.get(), context)) ThrowErrno();
    file.Keep(target);
  } catch (const FileFailure& failure) {
    // The caller learns why from errno, so it is never left at 0.
    errno = failure.error != 0 ? failure.error : EIO;
    return false;
  }
  return true;
}
