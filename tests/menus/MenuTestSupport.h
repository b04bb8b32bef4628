#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BubbleBanks.h"
#include "GameAppHarness.h"
#include "GameControl.h"

namespace menutest {

// A stand-in for the game screen that keeps its "field" as a number and its saved game as a
// small text file in the player's real save slot, so the menu's decisions can be followed
// without playing bubbles. Escape (key down) saves and goes back to the menu, as the real
// game's menu button does.
class FakeGame : public GameControl {
public:
    enum State { kPlaying = 0, kNotPlaying = 3 };

    void BuildScreen() override;
    void StartClassic() override { SetUp(0); }
    void StartArcade() override { SetUp(1); }
    void NewGame() override;
    GameMode Mode() const override { return static_cast<GameMode>(gameId); }
    BubbleBanks* Banks() const override { return built ? banks.get() : nullptr; }

    bool HasField() const override { return field != 0; }
    bool IsFinished() const override { return state != kPlaying; }
    void Abandon() override;
    void Suspend() override;
    bool Restore() override;
    bool SaveGame() override;

    bool HandleInput(TwInputEvent& input) override;

    // Ends the game lost with a score: the score goes into the mode's table under the
    // active player's name, the saved game is erased and the menu is shown.
    void Lose(int score);

    int gameId = 0;
    int field = 0; // 0: no field yet; otherwise a number that identifies the field
    int state = kNotPlaying;
    int setUps = 0, newGames = 0, abandons = 0, suspends = 0, restores = 0, saves = 0;
    bool built = false;
    std::unique_ptr<BubbleBanks> banks = std::make_unique<BubbleBanks>();

private:
    void SetUp(int mode);
    void BackToMenu();
};

// The whole application (zvtest::GameAppHarness) with the stand-in game screen, every sound
// recorded.
class MenuHarness : public zvtest::GameAppHarness {
public:
    MenuHarness() { RecordSounds(); }

    // With `realGame` the application makes its own game screen instead of the stand-in
    // (Game() is then not available).
    bool Start(bool realGame = false);

    FakeGame& Game() { return *game_; }

private:
    FakeGame* game_ = nullptr;
};

} // namespace menutest
