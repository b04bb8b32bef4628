#pragma once
#include <functional>

#include "GameSound.h"

// The one place the game's effects (GameSound ids) are played from. A listener can watch
// every request (the tests use it to follow a shot by ear).
class GameSoundPlayer {
public:
    static void Play(int id);
    // Replaces the listener; an empty function removes it.
    static void SetListener(std::function<void(int)> listener);
};
