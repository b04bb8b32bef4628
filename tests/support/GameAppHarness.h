#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GameApplication.h"
#include "TestSupport.h"
#include "TwVector.h"
#include "platform/input/TwEvents.h"
#include "platform/os/TwClock.h"

class Game;
class GameControl;
class MenuGui;
class TwBaseGuiElemen;
class TwEventListener;
class TwPanel;

namespace zvtest {

// The whole application's harness: started as the game starts it (packs of the build tree,
// settings, profiles, window, sound, load step) in private player directories, with a fixed
// clock whose frames last exactly as long as the test says, and input pushed as real window
// events. The game screen is the real one unless Start is given another.
class GameAppHarness {
public:
    using GameFactory = std::function<std::unique_ptr<GameControl>()>;

    GameAppHarness();
    ~GameAppHarness();
    GameAppHarness(const GameAppHarness&) = delete;
    GameAppHarness& operator=(const GameAppHarness&) = delete;

    // Player files written before the start: Profiles.Txt with these names (the first
    // active), and the settings (written with defaults at the start when missing).
    void WriteProfiles(const std::vector<std::string>& names, int active = 0);
    void WriteSettings(bool windowed, int sound, int music, int difficulty);
    // Every interface and game sound requested from now on is noted in Sounds() (and still
    // played).
    void RecordSounds();

    // False (with a test failure) when the packs, the window or the game screen are missing.
    // `gameScreen` makes the application's game screen instead of the real game.
    bool Start(GameFactory gameScreen = {});
    // Shuts the application down as the game does at exit.
    void Stop();

    // Delivers waiting window messages (a close request only counts), then runs one frame
    // of `frameMs` milliseconds.
    void Frame(std::uint32_t frameMs = kFrameMs);
    void Frames(int count);
    // Frames until every dialog has finished fading.
    void Settle() { Frames(14); }

    // Input through the window's own path. The clicks run a frame afterwards.
    bool Push(const TwSyntheticEvent& event);
    void MoveTo(float x, float y);
    void LeftClick(float x, float y);
    void RightClick(float x, float y);
    void LeftDown(float x, float y);
    void LeftUp(float x, float y);
    void Key(const std::string& sdlName);
    void Type(const std::string& text);
    // Clicks the centre of the element with this name in the menu's panel, then settles.
    void Click(const std::string& panel, const std::string& element);
    // Moves to a point, clicks there, then settles.
    void ClickAt(const TwVector& where);

    // Draws a frame and writes it as <build>/screenshots/<name>.png.
    void Screenshot(const std::string& name);

    GameApplication& App() { return *app_; }
    GameControl* GameScreen() const { return app_->GameScreen(); }
    // The real game screen; null when Start was given another.
    Game* RealGame() const;
    MenuGui& Menu();
    TwEventListener* CurrentScreen() const;
    TwPanel* Top();
    std::string TopName();
    TwBaseGuiElemen* Element(const std::string& panel, const std::string& element);
    TwFixedClock& Clock() { return clock_; }
    bool QuitRequested() const;
    int QuitRequests() const { return quitRequests_; }
    int WindowRebuilds() const { return windowRebuilds_; }
    std::vector<int>& Sounds() { return *sounds_; }

    static constexpr std::uint32_t kFrameMs = 20;

private:
    void PushPointer(TwSyntheticEvent::Kind kind, float x, float y, int button = 1);

    ScopedUserDirs userDirs_;
    TwFixedClock clock_{0};
    std::unique_ptr<GameApplication> app_;
    int quitRequests_ = 0;
    int windowRebuilds_ = 0;
    bool recordingSounds_ = false;
    std::shared_ptr<std::vector<int>> sounds_ = std::make_shared<std::vector<int>>();
};

} // namespace zvtest
