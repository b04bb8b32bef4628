#pragma once
#include "GameMode.h"
#include "app/TwBaseGame.h"
#include "gui/TwEventListener.h"

#include <functional>
#include <memory>
#include <string>

class BubbleBanks;

// What the menu and the application need from the game screen: it is a screen (shown under
// "GameWin"), it is a game (TwBaseGame), and it can be set up for a mode and started. The
// game screen `Game` implements this; tests use a small fake instead, so the menu never
// depends on how a game is played.
class GameControl : public TwEventListener, public TwBaseGame {
public:
    ~GameControl() override = default;

    // Builds the screen's panels and loads what it draws; run once, when the application loads.
    virtual void BuildScreen() = 0;
    // Sets the screen up for a Classic or Arcade game: a fresh field and launcher of that mode.
    virtual void StartClassic() = 0;
    virtual void StartArcade() = 0;
    // Sets up and starts a Puzzle level (its set's id, its number from 1). False when there is
    // no such level.
    virtual bool StartPuzzle(const std::string& /*setId*/, int /*level*/) { return false; }
    // Starts play on the field set up last: the upper half of the rows filled, game running.
    virtual void NewGame() = 0;
    // The mode the screen is set up for.
    virtual GameMode Mode() const = 0;
    // The bubble and burst pictures the game built in BuildScreen; null before. The menu's
    // decorative launcher fires bubbles copied from them.
    virtual BubbleBanks* Banks() const = 0;

    // Shows a recorded game file on this screen; false, with a message for the player, when
    // the file cannot be played. `onLeave` is told when the player leaves the replay.
    // (`onLeave` is taken by value: the game screen keeps it.)
    virtual bool WatchRecording(const std::string& /*path*/,
                                // NOLINTNEXTLINE(performance-unnecessary-value-param)
                                std::function<void()> /*onLeave*/ = {}) {
        return false;
    }

    // The mode chosen on the main menu while the start confirmation is asked; read back when
    // the player confirms.
    void RememberMode(GameMode mode) { rememberedMode_ = mode; }
    GameMode RememberedMode() const { return rememberedMode_; }

private:
    GameMode rememberedMode_ = GameMode::kClassic;
};

// Creates the game screen the application shows under "GameWin".
std::unique_ptr<GameControl> CreateGameScreen();
