#pragma once
#include <functional>
#include <string>
#include <vector>

#include "BaseBubble.h"
#include "FieldFixture.h"
#include "Game.h"
#include "GameCompletePanel.h"
#include "GameMap.h"
#include "Launcher.h"
#include "PlayState.h"
#include "TestSupport.h"
#include "gui/TwEventListener.h"
#include "gui/TwEventRouter.h"
#include "gui/TwInputEvent.h"

#include <gtest/gtest.h>

class TwTop;

namespace gstest {

// Opens the game's pictures and data of this build tree once; false without them (the
// screen then runs without pictures).
bool OpenGamePacks();

// The game screen's harness. The field it plays on is the one the game ships with.
using zvtest::ShippedGeometry;

// Row 0 with every colour twice, no two neighbours alike, so no shot bursts anything by
// accident and no colour can vanish.
inline const std::vector<std::string> kSpreadRow = {"012345012345"};

// A shot straight at a row-0 bubble of the spread row lands beside it in row 1; this colour
// differs from the bubble and both its neighbours.
inline int MissColour(int column) {
    return (column % 6 + 3) % 6;
}

// The game screen as the application runs it, without packs or window: a player "Tester"
// with an empty save slot, both high-score tables, a menu screen to go back to, a seeded
// random generator, Easy, and every effect request recorded. Frames are 20 ms unless a test
// says otherwise; input goes through the screen's own HandleInput.
class GameScreenTest : public ::testing::Test {
protected:
    GameScreenTest();
    ~GameScreenTest() override;

    // One frame as the application runs it: pending event, update, draw.
    void Frame(int ms = 20);
    void Frames(int count, int ms = 20);
    // Frames until `done` holds; false when `limit` frames were not enough.
    bool RunUntil(const std::function<bool()>& done, int limit = 2000, int ms = 20);

    void MoveMouse(float x, float y);
    void LeftClick(float x, float y);
    void RightClick(float x, float y);
    void KeyDown(unsigned char key);

    // A new game of a mode, run until the field has been revealed and aiming is allowed.
    void StartGame(GameMode mode);
    void StartGame(int mode) { StartGame(static_cast<GameMode>(mode)); }
    // Replaces the field's bubbles with a layout (row 0 first; a digit is a colour, anything
    // else an empty cell) and loads the launcher with `loaded` and `next`.
    void Layout(const std::vector<std::string>& rows, int loaded, int next);
    // Loads the launcher with a bubble of `colour` (the next bubble stays).
    void Load(int colour);
    // Waits until the launcher may fire, aims at a point, clicks and runs until the shot
    // has landed. False when the launcher would not fire.
    bool ShootAt(const TwVector& target);
    // Where a simple player aims: from below at the lowest bubble of the loaded colour (the
    // lowest bubble of all when there is none).
    TwVector BotAim() const;
    // Centre of a cell of the current field.
    TwVector Cell(int column, int row) const;
    // A little below a cell's centre: aiming there hits the bubble in that cell from below
    // (aiming exactly into the field's top corners would graze both walls at once).
    TwVector Under(int column, int row) const { return Cell(column, row) + TwVector(0, 6); }
    // The field's colours, one text per row ('.' for empty), for messages.
    std::string Picture() const { return zvtest::FieldPicture(Field()); }

    int Count(int sound) const;
    TwTop& Table(int mode) const;
    std::string SlotPath() const;
    std::string SlotText() const;
    void WriteSlot(const std::string& text) const;
    GameMap& Field() const { return *game.Field(); }
    Launcher& Gun() const { return *game.GetLauncher(); }

    bool packsOpen = false;
    zvtest::ScopedUserDirs dirs;
    TwInputEvent input;
    TwEventRouter router{&input};
    TwEventListener menu;
    Game game;
    std::vector<int> sounds;
    // Run after every frame the harness runs (tests that watch the game shot by shot).
    std::function<void()> afterFrame;
};

} // namespace gstest
