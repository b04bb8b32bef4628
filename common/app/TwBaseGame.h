#pragma once

// The engine's view of a game in progress. The game screen implements it; the menu and the
// application use it to ask whether a game is under way, to put it aside, and to save or
// restore the active player's game without knowing how the game itself works.
class TwBaseGame {
public:
    virtual ~TwBaseGame() = default;

    // True once a field exists (a mode has been set up at least once).
    virtual bool HasField() const = 0;
    // True when no game is being played: not started, abandoned, or an end panel is shown.
    virtual bool IsFinished() const = 0;
    // Gives the game up: the active player's saved game is erased and the game is finished.
    virtual void Abandon() = 0;
    // Marks the game finished without touching the saved game (another player took over).
    virtual void Suspend() = 0;
    // Loads the active player's saved game; false when there is none or it cannot be read,
    // in which case the current field is left as it was.
    virtual bool Restore() = 0;
    // Writes the game in progress into the active player's save slot.
    virtual bool SaveGame() = 0;
};
