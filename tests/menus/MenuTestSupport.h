#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BubbleBanks.h"
#include "GameApplication.h"
#include "GameControl.h"
#include "TestSupport.h"
#include "TwVector.h"
#include "platform/TwClock.h"

class MenuGui;
class TwBaseGuiElemen;
class TwPanel;

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
    int GetGameID() const override { return gameId; }
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

// The whole application, started as the game starts it (packs of the build tree, settings,
// profiles, window, sound, load step), with the fake game screen, a fixed clock and input
// pushed as real window events.
class MenuHarness {
public:
    // Player files (profiles, settings) may be written before Start.
    MenuHarness();
    ~MenuHarness();
    MenuHarness(const MenuHarness&) = delete;
    MenuHarness& operator=(const MenuHarness&) = delete;

    // Writes Profiles.Txt with these names (the first active) before the start.
    void WriteProfiles(const std::vector<std::string>& names, int active = 0);
    void WriteSettings(bool windowed, int sound, int music, int difficulty);
    // False when the packs or the window are missing. With `realGame` the application makes
    // its own game screen instead of the stand-in (Game() is then not available).
    bool Start(bool realGame = false);
    // Shuts the application down as the game does at exit.
    void Stop();

    // Delivers waiting window messages, then runs one 20 ms frame.
    void Frame();
    void Frames(int count);
    // Frames until every dialog has finished fading.
    void Settle() { Frames(14); }

    // Input through the window's own path.
    void MoveTo(float x, float y);
    void LeftClick(float x, float y);
    void RightClick(float x, float y);
    void LeftDown(float x, float y);
    void LeftUp(float x, float y);
    void Key(const std::string& sdlName);
    void Type(const std::string& text);
    // Clicks the centre of the element with this name in the panel, then settles.
    void Click(const std::string& panel, const std::string& element);
    // Moves to a point, clicks there, then settles.
    void ClickAt(const TwVector& where);

    // Draws a frame and writes it as <build>/screenshots/<name>.png.
    void Screenshot(const std::string& name);

    GameApplication& App() { return *app_; }
    MenuGui& Menu();
    FakeGame& Game() { return *game_; }
    GameControl* GameScreen() const { return app_->GameScreen(); }
    TwEventListener* CurrentScreen() const;
    TwPanel* Top();
    std::string TopName();
    TwBaseGuiElemen* Element(const std::string& panel, const std::string& element);
    bool QuitRequested() const;
    int WindowRebuilds() const { return windowRebuilds_; }
    std::vector<int>& Sounds() { return *sounds_; }

private:
    void Push(int kind, float x, float y, int button = 1);

    zvtest::ScopedUserDirs userDirs_;
    TwFixedClock clock_{0};
    std::unique_ptr<GameApplication> app_;
    FakeGame* game_ = nullptr;
    int windowRebuilds_ = 0;
    std::shared_ptr<std::vector<int>> sounds_ = std::make_shared<std::vector<int>>();
    bool started_ = false;
};

} // namespace menutest
