#pragma once
// What every exported call does with a failure inside the library: it
// becomes the call's result, and no exception leaves the DLL.

#include <new>

#include "zelnor.h"
#include "zelnor/exports/exception_globals_win.h"
#include "zelnor/zelnor_error.h"

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
  // The caller's thread may never call again before the DLL is freed.
  ReleaseThreadExceptionRecord();
  return result;
}

}  // namespace zelnor
