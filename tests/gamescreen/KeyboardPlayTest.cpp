// A game played with the keyboard and a controller: their events go through the window's
// real translation into the game screen, as the application delivers them.
#include <chrono>
#include <cmath>
#include <thread>

#include "ControlBindings.h"
#include "GameScreenFixture.h"
#include "GameSound.h"
#include "LauncherKeys.h"
#include "platform/input/TwEvents.h"
#include "platform/window/TwVideo.h"

namespace {

using Kind = TwSyntheticEvent::Kind;

class KeyboardPlayTest : public gstest::GameScreenTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(TwVideo::Init());
        TwFlushMessages();
        StartGame(Game::kClassic);
    }
    void TearDown() override {
        for (const char* key : {"Left", "Right", "Space", "Up", "Down", "F", "M"}) {
            Push(Kind::KeyUp, key);
        }
        Deliver();
        ControlBindings::Current() = ControlBindings::Defaults();
    }
    void WaitUntilLoaded() {
        ASSERT_TRUE(
            RunUntil([&] { return Gun().Loaded() != nullptr && Gun().ReloadRemaining() == 0; }));
    }

    void Push(Kind kind, const std::string& key) {
        TwSyntheticEvent event;
        event.kind = kind;
        event.key = key;
        ASSERT_TRUE(TwPushSyntheticEvent(event)) << key;
    }

    // The window's messages, translated into the input record and forwarded to the screen.
    void Deliver() {
        for (int round = 0; round < 3; ++round) {
            TwWindowMessage message;
            while (TwPeekMessage(message)) {
                if (input.Translate(message, true)) {
                    router.ForwardInput();
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    }

    void Press(const std::string& key) {
        Push(Kind::KeyDown, key);
        Deliver();
    }
    void Release(const std::string& key) {
        Push(Kind::KeyUp, key);
        Deliver();
    }
    float AimAngle() const {
        const TwVector d = Gun().Direction();
        return std::atan2(-d.y, d.x);
    }
};

} // namespace

TEST_F(KeyboardPlayTest, ArrowsAimSpaceFiresDownSwaps) {
    ASSERT_TRUE(
        RunUntil([&] { return Gun().Loaded() != nullptr && Gun().ReloadRemaining() == 0; }));
    const float start = AimAngle();
    Press("Left");
    Frames(10); // 200 ms held
    Release("Left");
    Frames(5);
    EXPECT_NEAR(AimAngle(), start + 200 * LauncherKeys::kTurnRate, 0.02f);

    // Swap needs two colours; make sure they differ.
    Layout({"000000000000", "111111111111"}, 2, 3);
    BaseBubble* next = Field().NextBubble();
    Press("Down");
    Release("Down");
    EXPECT_EQ(Gun().Loaded(), next);
    EXPECT_EQ(Count(GameSound::kSwap), 1);

    Press("Space");
    EXPECT_TRUE(Gun().Flying());
    EXPECT_EQ(Count(GameSound::kFireBall), 1);
    Release("Space");
}

// The "Menu" button in the corner neither takes the arrow keys nor swallows them while the
// pointer rests on it; Escape still presses it.
TEST_F(KeyboardPlayTest, MenuButtonLeavesTheKeysToTheLauncher) {
    ASSERT_TRUE(
        RunUntil([&] { return Gun().Loaded() != nullptr && Gun().ReloadRemaining() == 0; }));
    MoveMouse(744, 18); // on the Menu button
    Press("Up");
    EXPECT_TRUE(Gun().Flying()) << "Up fired";
    Release("Up");
    EXPECT_TRUE(router.Current() == &game);
    Press("Escape");
    Frame();
    EXPECT_TRUE(router.Current() != &game) << "Escape went back to the menu";
}

// A controller plugged in during the game: d-pad to aim, A to fire.
TEST_F(KeyboardPlayTest, GamepadPlaysTheSame) {
    ASSERT_TRUE(
        RunUntil([&] { return Gun().Loaded() != nullptr && Gun().ReloadRemaining() == 0; }));
    Push(Kind::PadAttach, "");
    Deliver();
    const float start = AimAngle();
    Push(Kind::PadButtonDown, "dpright");
    Deliver();
    Frames(10);
    Push(Kind::PadButtonUp, "dpright");
    Deliver();
    EXPECT_LT(AimAngle(), start - 0.1f);
    Push(Kind::PadButtonDown, "a");
    Deliver();
    EXPECT_TRUE(Gun().Flying());
    Push(Kind::PadButtonUp, "a");
    Push(Kind::PadDetach, "");
    Deliver();
}

// Keys and buttons changed in the controls dialog play the game; the old ones no longer do.
TEST_F(KeyboardPlayTest, AReboundFireKeyFiresAndTheOldOnesNoLonger) {
    WaitUntilLoaded();
    ASSERT_FALSE(ControlBindings::Current().AssignKey(ControlBindings::kFire, 'F'));
    Press("Space");
    Release("Space");
    Press("Up"); // fires beside Space only while Fire keeps Space
    Release("Up");
    EXPECT_FALSE(Gun().Flying());
    Press("F");
    EXPECT_TRUE(Gun().Flying());
    Release("F");
    EXPECT_EQ(Count(GameSound::kFireBall), 1);
}

TEST_F(KeyboardPlayTest, AReboundMenuKeyLeavesAndEscapeNoLonger) {
    WaitUntilLoaded();
    ASSERT_FALSE(ControlBindings::Current().AssignKey(ControlBindings::kMenu, 'M'));
    Press("Escape");
    Frame();
    EXPECT_TRUE(router.Current() == &game) << "Escape still left the game";
    Press("M");
    Frame();
    EXPECT_TRUE(router.Current() != &game);
}

TEST_F(KeyboardPlayTest, AReboundControllerButtonPausesAndStartNoLonger) {
    WaitUntilLoaded();
    ASSERT_FALSE(ControlBindings::Current().AssignPad(ControlBindings::kPause, 3)); // Y
    Push(Kind::PadAttach, "");
    Deliver();
    Push(Kind::PadButtonDown, "start");
    Deliver();
    Push(Kind::PadButtonUp, "start");
    Deliver();
    EXPECT_FALSE(game.Paused());
    Push(Kind::PadButtonDown, "y");
    Deliver();
    Push(Kind::PadButtonUp, "y");
    Deliver();
    EXPECT_TRUE(game.Paused());
    // The controller's B, Escape by default, resumes through the pause panel.
    Frames(20);
    Push(Kind::PadButtonDown, "b");
    Deliver();
    Push(Kind::PadButtonUp, "b");
    Deliver();
    Frame();
    EXPECT_FALSE(game.Paused());
    EXPECT_TRUE(router.Current() == &game);
    Push(Kind::PadDetach, "");
    Deliver();
}
