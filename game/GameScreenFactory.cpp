#include "GameControl.h"

// The game screen is made here so that the application and its tests need only the
// GameControl interface; until the game screen exists in this build there is none, and the
// menu runs on its own.
#if __has_include("Game.h")
#include "Game.h"

std::unique_ptr<GameControl> CreateGameScreen() {
    return std::make_unique<Game>();
}
#else
std::unique_ptr<GameControl> CreateGameScreen() {
    return nullptr;
}
#endif
