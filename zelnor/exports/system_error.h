#pragma once
// The system's reason for a failed call, as a caller reads it:
// GetLastError() on Windows (system_error_win.cpp), errno elsewhere
// (system_error_posix.cpp).

#include <cstdint>

namespace zelnor {

uint32_t LastSystemError() noexcept;
void SetLastSystemError(uint32_t error) noexcept;
// Said for a read that failed without a reason of the system's (a caller's
// read function returning -1).
uint32_t ReadFaultError() noexcept;

}  // namespace zelnor
