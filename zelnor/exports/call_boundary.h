#pragma once
// What every exported call does with a failure inside the library: it
// becomes the call's result, and no exception leaves the library.

#include <new>

#include "zelnor.h"
#include "zelnor/zelnor_error.h"
#ifdef _WIN32
#include "zelnor/exports/exception_globals_win.h"
#endif

namespace zelnor {

template <typename Call>
int ResultOf(Call&& call) noexcept {
  int result = ZELNOR_E_SYSTEM;
  try {
    result = call();
  } catch (const ZelnorError& error) {
    result = error.code();
  } catch (const std::bad_alloc&) {
    result = ZELNOR_E_OUT_OF_MEMORY;
  } catch (...) {
  }
#ifdef _WIN32
  // The caller's thread may never call again before the DLL is freed.
  ReleaseThreadExceptionRecord();
#endif
  return result;
}

}  // namespace zelnor
