#include <cerrno>

#include "zelnor/exports/system_error.h"

namespace zelnor {

uint32_t LastSystemError() noexcept { return static_cast<uint32_t>(errno); }
void SetLastSystemError(uint32_t error) noexcept { errno = static_cast<int>(error); }
uint32_t ReadFaultError() noexcept { return EIO; }

}  // namespace zelnor
