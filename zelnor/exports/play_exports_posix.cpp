// libzelnor.so's player.

#include "zelnor/exports/the_player.h"
#include "zelnor/player/posix_platform_posix.h"

zelnor::Player& zelnor::ThePlayer() {
  // Never destroyed: at exit a player thread may still be running, and
  // static destructors run while it does.
  static Player* const player = new Player(*new PosixPlatform);
  return *player;
}
