#pragma once
// What every exported call does with a failure inside the library: it
// becomes the call's result, and no exception leaves the DLL.

#include <new>

#include "zelnor.h"
#include "zelnor/zelnor_error.h"

namespace zelnor {

template <typename Call>
int ResultOf(Call&& call) noexcept {
  try {
    return call();
  } catch (const ZelnorError& error) {
    return error.code();
  } catch (const std::bad_alloc&) {
    return ZELNOR_E_OUT_OF_MEMORY;
  } catch (...) {
    return ZELNOR_E_SYSTEM;
  }
}

}  // namespace zelnor
