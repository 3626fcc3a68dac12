#pragma once
// One alias per Win32 handle kind we own. Each traits struct states the
// value that means "none" and the one call that releases it.

#include <windows.h>

#include "common/unique_handle.h"

namespace handle_traits {

struct Kernel {  // events, threads, processes: null means none
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct File {  // CreateFile reports failure as INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct Module {
  using Handle = HMODULE;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};

struct Window {
  using Handle = HWND;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DestroyWindow(h); }
};

struct Font {
  using Handle = HFONT;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DeleteObject(h); }
};

struct Icon {
  using Handle = HICON;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::DestroyIcon(h); }
};

struct LocalMemory {  // buffers that FormatMessage allocates
  using Handle = HLOCAL;
  static Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle h) noexcept { ::LocalFree(h); }
};

}  // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueFileHandle = UniqueHandle<handle_traits::File>;
using UniqueModule = UniqueHandle<handle_traits::Module>;
using UniqueWindow = UniqueHandle<handle_traits::Window>;
using UniqueFont = UniqueHandle<handle_traits::Font>;
using UniqueIcon = UniqueHandle<handle_traits::Icon>;
using UniqueLocalMemory = UniqueHandle<handle_traits::LocalMemory>;
