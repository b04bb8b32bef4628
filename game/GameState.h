#pragma once

// The state of the game in progress, shared by the game screen, the field, the launcher and
// the Arcade clock.
class GameState {
public:
    static constexpr int kPlaying = 0;
    static constexpr int kLost = 2;       // a bubble has just reached the last row
    static constexpr int kNotPlaying = 3; // no game, game abandoned, or game-over panel shown
    static constexpr int kCleared = 4;    // the field has just been emptied
    static constexpr int kCompleteShown = 5;

    static int Get();
    static void Set(int state);
};
