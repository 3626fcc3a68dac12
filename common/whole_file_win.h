#pragma once
// A file on disk written all or nothing.

#include <windows.h>

// Writes the file's bytes to `file`; false, with the last error set, when
// it cannot.
using FillFile = bool (*)(HANDLE file, void* context);

// Writes a temporary file beside `path` through `fill` and swaps it in
// only once every byte is on disk, so a reader finds the old file or the
// whole new one, and an old file's attributes and permissions stay.
// False, with the system's reason in GetLastError() (access denied for a
// read-only target), `path` untouched and the temporary gone; an exception
// from `fill` leaves the same way. A process killed while writing leaves
// at most the temporary ("~zl<hex>.tmp"), and none where the system
// deletes it with its last handle.
bool WriteWholeFile(const wchar_t* path, FillFile fill, void* context);
