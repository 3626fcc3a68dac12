#pragma once
// A file on disk written all or nothing (the POSIX counterpart of
// whole_file_win.h).

// Writes the file's bytes to descriptor `fd`; false, with errno set, when
// it cannot.
using FillFile = bool (*)(int fd, void* context);

// Writes a temporary file beside `path` through `fill` (unnamed where the
// file system allows, else "~zl<hex>.tmp" created exclusively), syncs it
// and renames it over `path`, so a reader finds the old file or the whole
// new one, and a writer killed midway leaves nothing on an unnamed one. An existing file keeps
// its permissions (and owner, where we may set it); a symbolic link stays
// and its file is replaced. A folder, or a file we may not write, is
// refused as opening it for writing would be. False with errno set,
// `path` untouched and the temporary gone; an exception from `fill` leaves
// the same way.
bool WriteWholeFile(const char* path, FillFile fill, void* context);
