#include <windows.h>

#include "zelnor/exports/system_error.h"

namespace zelnor {

uint32_t LastSystemError() noexcept { return ::GetLastError(); }
void SetLastSystemError(uint32_t error) noexcept { ::SetLastError(error); }
uint32_t ReadFaultError() noexcept { return ERROR_READ_FAULT; }

}  // namespace zelnor
