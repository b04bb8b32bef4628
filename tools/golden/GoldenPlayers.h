#pragma once
// The players the golden games are played by. Each plays whole games through the mouse of a
// PlayedGame, so their games are games a person could have played.
#include <cstdint>

#include "TwVector.h"

class PlayedGame;

enum class PlayerStyle {
    kSimple = 0,   // aims from below at the lowest bubble of the loaded colour
    kAnywhere = 1, // aims at random points (short games)
    kSwapper = 2,  // the simple player, swapping now and then
    kPlanner = 3,  // looks where every aim would land, for both bubbles, and takes the best
};

// Plays until the game ends or `maxShots` were fired. `seed` decides the random player's
// aims and the swapper's swaps.
void PlayGame(PlayedGame& game, PlayerStyle style, std::uint32_t seed, int maxShots = 1500);

// Where the simple player aims: a little below the lowest bubble of the loaded colour (the
// lowest bubble of all when there is none), so the shot meets it from below.
TwVector SimpleAim(const PlayedGame& game);
