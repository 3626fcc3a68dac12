#pragma once
// One alias per Win32 handle kind we own.

#include <windows.h>

#include "common/unique_handle.h"

// Kernel objects fail as null (CreateEvent, CreateThread) or as
// INVALID_HANDLE_VALUE (CreateFile, CreateToolhelp32Snapshot); neither is a
// handle to close.
inline bool IsKernelHandle(HANDLE handle) noexcept {
  return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle, &IsKernelHandle>;
using UniqueModule = UniqueHandle<HMODULE, &::FreeLibrary>;
using UniqueWindow = UniqueHandle<HWND, &::DestroyWindow>;
using UniqueFont = UniqueHandle<HFONT, &::DeleteObject>;
using UniqueIcon = UniqueHandle<HICON, &::DestroyIcon>;
using UniqueLocalMemory = UniqueHandle<HLOCAL, &::LocalFree>;  // FormatMessage's buffers
