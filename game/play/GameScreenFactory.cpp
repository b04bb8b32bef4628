#include "Game.h"
#include "GameControl.h"

// The game screen is made here so that the application and its tests need only the
// GameControl interface.
std::unique_ptr<GameControl> CreateGameScreen() {
    return std::make_unique<Game>();
}
