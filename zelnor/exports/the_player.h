#pragma once
// The process's one player, made by the first playing call: each system
// makes it its own way (play_exports_win.cpp, play_exports_posix.cpp).

#include "zelnor/player/player.h"

namespace zelnor {

// Throws std::bad_alloc when it cannot be made.
Player& ThePlayer();

}  // namespace zelnor
