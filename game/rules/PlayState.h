#pragma once

// How the game on a field stands. A field starts with no game; the frame that ends a game
// sets kLost or kCleared, and the game's owner turns that into kNotPlaying (lost, result
// shown) or kCompleteShown (cleared, result shown) once it has dealt with the end.
enum class PlayState {
    kPlaying,
    kLost,          // a bubble has just reached the last row
    kNotPlaying,    // no game, a game left, or a lost game whose result is shown
    kCleared,       // the field has just been emptied
    kCompleteShown, // a cleared game whose result is shown
};

// True for a game that is over and whose end has been dealt with (or no game at all).
inline bool IsSettled(PlayState state) {
    return state == PlayState::kNotPlaying || state == PlayState::kCompleteShown;
}
