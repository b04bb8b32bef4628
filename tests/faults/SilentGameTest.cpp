// Without a sound device the whole game still loads and plays, only silently: the menu
// music, button sounds and every effect of a game are asked for and simply not heard.
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

#include "FaultTestSupport.h"
#include "Game.h"
#include "GameMap.h"
#include "audio/TwSoundManager.h"
#include "gui/TwEventRouter.h"

namespace {

// Points SDL at a sound driver that does not exist for the test's lifetime.
class NoSoundDevice {
public:
    NoSoundDevice() {
        if (const char* old = std::getenv("SDL_AUDIODRIVER")) {
            old_ = old;
            hadOld_ = true;
        }
        ::setenv("SDL_AUDIODRIVER", "zv-no-sound-device", 1);
    }
    ~NoSoundDevice() {
        if (hadOld_) {
            ::setenv("SDL_AUDIODRIVER", old_.c_str(), 1);
        } else {
            ::unsetenv("SDL_AUDIODRIVER");
        }
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

TEST(SilentGame, NoSoundDeviceGivesAGameThatPlaysWithoutSound) {
    NoSoundDevice noSound;
    faults::PlayingApp app;
    ASSERT_TRUE(app.Start());
    EXPECT_FALSE(TwSoundManager::Instance().IsStarted());

    // Shots fly, bubbles land and burst, a row comes: every effect of a game is asked for.
    for (int shot = 0; shot < 8; ++shot) {
        ASSERT_TRUE(app.Shoot(250.0f + 30.0f * static_cast<float>(shot), 120.0f));
    }
    app.Frames(100);
    ASSERT_NE(app.TheGame().Field(), nullptr);
    ASSERT_FALSE(app.TheGame().IsFinished());

    // Back to the menu through the game's own menu button (Escape), where the menu music
    // would start, and the options' volume sliders would be heard.
    TwSyntheticEvent escape;
    escape.kind = TwSyntheticEvent::Kind::KeyDown;
    escape.key = "Escape";
    app.Harness().Push(escape);
    app.Frames(30);
    EXPECT_NE(app.Harness().App().Router()->Current(), &app.TheGame());
    TwSoundManager::Instance().SetSoundVolume(200);
    TwSoundManager::Instance().MoveMusicSlider(50);
    app.Frames(30);
    EXPECT_FALSE(TwSoundManager::Instance().IsStarted());
}

} // namespace
