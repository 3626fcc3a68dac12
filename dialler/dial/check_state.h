#pragma once

#include <cstdint>

// The library's asynchronous flag: all bits set for yes. A greyed check box
// (state 2) counts as ticked.
constexpr std::int32_t AsyncFlagFromCheckState(std::uint16_t check_state) {
  return check_state != 0 ? -1 : 0;
}
