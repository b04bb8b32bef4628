#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "GameApplication.h"
#include "TestSupport.h"
#include "platform/TwClock.h"
#include "platform/TwEvents.h"

class Game;

namespace zvtest {

// The whole application with the real game screen, started as the game starts it (packs of
// the build tree, settings, profiles, window, sound, load step) with a fixed clock, in
// private player directories. One player, "Soak", exists from the start.
class GameAppHarness {
public:
    GameAppHarness();
    ~GameAppHarness();
    GameAppHarness(const GameAppHarness&) = delete;
    GameAppHarness& operator=(const GameAppHarness&) = delete;

    // False (with a test failure) when the packs or the window are missing.
    bool Start();
    void Stop();

    // Delivers waiting window messages (a close request only counts), then runs one frame
    // of `frameMs` milliseconds.
    void Frame(std::uint32_t frameMs = 20);
    // Queues a window event as the window system would deliver it.
    bool Push(const TwSyntheticEvent& event);

    GameApplication& App() { return *app_; }
    Game* GameScreen() const;
    TwFixedClock& Clock() { return clock_; }
    int QuitRequests() const { return quitRequests_; }

private:
    zvtest::ScopedUserDirs userDirs_;
    TwFixedClock clock_{0};
    std::unique_ptr<GameApplication> app_;
    int quitRequests_ = 0;
};

} // namespace zvtest
