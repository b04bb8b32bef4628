// Playing with the keyboard and a game controller: their events, pushed through the window's
// real translation, aim, fire and swap exactly as the mouse does.
#include <chrono>
#include <cmath>
#include <thread>

#include "FieldFixture.h"
#include "LauncherKeys.h"
#include "gui/TwInputEvent.h"
#include "platform/input/TwEvents.h"
#include "platform/window/TwVideo.h"

namespace {

using Kind = TwSyntheticEvent::Kind;

class LauncherKeysTest : public zvtest::FieldTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(TwVideo::Init());
        TwFlushMessages();
        Load(1, 3);
    }
    void TearDown() override {
        for (const char* key : {"Left", "Right", "Left Shift", "Space", "Up", "Down"}) {
            Push(Kind::KeyUp, key);
        }
        Deliver();
        if (padAttached_) {
            Push(Kind::PadDetach, "");
            Deliver();
        }
    }

    void Push(Kind kind, const std::string& key, int value = 0) {
        TwSyntheticEvent event;
        event.kind = kind;
        event.key = key;
        event.x = value;
        ASSERT_TRUE(TwPushSyntheticEvent(event)) << key;
    }

    // Every waiting message goes through the input record to the keys and the launcher, as
    // the game screen passes them on while playing.
    void Deliver() {
        for (int round = 0; round < 4; ++round) {
            TwWindowMessage message;
            while (TwPeekMessage(message)) {
                if (record.Translate(message, true)) {
                    keys.HandleInput(launcher, record);
                    LauncherKeys::HandlePointer(launcher, record);
                }
            }
            // A controller's state is read when the window's events are next looked at.
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    }

    void Tap(const std::string& key) {
        Push(Kind::KeyDown, key);
        Deliver();
        keys.Update(launcher, 16);
        Push(Kind::KeyUp, key);
        Deliver();
        keys.Update(launcher, 16);
    }

    // Holds a key for `ms` milliseconds of 16-ms frames, then lets it go.
    void Hold(const std::string& key, int ms) {
        Push(Kind::KeyDown, key);
        Deliver();
        for (int t = 0; t < ms; t += 16) {
            keys.Update(launcher, 16);
        }
        Push(Kind::KeyUp, key);
        Deliver();
    }

    // Angle of the aim above the horizontal, counted from the right, in radians.
    float AimAngle() const {
        const TwVector d = launcher.Direction();
        return std::atan2(-d.y, d.x);
    }

    void AttachPad() {
        Push(Kind::PadAttach, "");
        padAttached_ = true;
        Deliver();
    }

    LauncherKeys keys;
    TwInputEvent record;
    bool padAttached_ = false;
};

constexpr float kHalfPi = 1.5707964f;

} // namespace

// Held Left turns the aim smoothly at the turning rate, Right turns it back, and Shift turns
// four times slower; the key's own repeats add nothing.
TEST_F(LauncherKeysTest, HeldKeysTurnSmoothlyAndFinerWithShift) {
    ASSERT_NEAR(AimAngle(), kHalfPi, 1e-5f);
    Hold("Left", 160);
    EXPECT_NEAR(AimAngle(), kHalfPi + 160 * LauncherKeys::kTurnRate, 1e-3f);
    keys.Update(launcher, 100);
    EXPECT_NEAR(AimAngle(), kHalfPi + 160 * LauncherKeys::kTurnRate, 1e-3f) << "released";

    Push(Kind::KeyDown, "Left Shift");
    Deliver();
    Hold("Right", 320);
    EXPECT_NEAR(AimAngle(),
                kHalfPi + 160 * LauncherKeys::kTurnRate - 320 * LauncherKeys::kFineTurnRate, 1e-3f);
    Push(Kind::KeyUp, "Left Shift");
    Deliver();

    Push(Kind::KeyDown, "Right");
    Push(Kind::KeyRepeat, "Right");
    Push(Kind::KeyRepeat, "Right");
    Deliver();
    const float before = AimAngle();
    keys.Update(launcher, 16);
    EXPECT_NEAR(AimAngle(), before - 16 * LauncherKeys::kTurnRate, 1e-4f);
}

// Turning far to one side stops at the same flattest aim the mouse reaches there.
TEST_F(LauncherKeysTest, TurningStopsAtTheMouseAimLimit) {
    Hold("Left", 3000);
    const TwVector keyed = launcher.Direction();
    launcher.Aim(TwVector(0, 560)); // the mouse far to the left, just above the launcher
    const TwVector moused = launcher.Direction();
    EXPECT_NEAR(keyed.x, moused.x, 1e-4f);
    EXPECT_NEAR(keyed.y, moused.y, 1e-4f);
    EXPECT_LT(keyed.x, 0.0f);
    Hold("Right", 6000);
    EXPECT_GT(launcher.Direction().x, 0.0f);
    EXPECT_LT(launcher.Direction().y, 0.0f) << "still pointing up";
}

// Space fires as a left click does: the same route, sound and reload; holding it does not
// fire again, a second press after the reload does.
TEST_F(LauncherKeysTest, SpaceAndUpFireLikeTheLeftButton) {
    Hold("Left", 200);
    launcher.PlaceLoadedBubble();
    Push(Kind::KeyDown, "Space");
    Push(Kind::KeyRepeat, "Space");
    Deliver();
    ASSERT_TRUE(launcher.Flying());
    EXPECT_EQ(Count(GameSound::kFireBall), 1);
    EXPECT_EQ(launcher.ReloadRemaining(), Launcher::kReloadTime);
    const std::vector<TwVector> keyedRoute = field.FlightPath();
    const TwVector keyedAim = launcher.Direction();
    FlyUntilLanded();

    // Ready again, with Space still held: its repeats fire nothing until it is let go.
    Load(1, 3);
    field.MapState = GameMap::kReady;
    launcher.Update(Launcher::kReloadTime);
    Push(Kind::KeyRepeat, "Space");
    Deliver();
    keys.Update(launcher, 16);
    EXPECT_EQ(Count(GameSound::kFireBall), 1);
    Push(Kind::KeyUp, "Space");
    Deliver();
    keys.Update(launcher, 16);
    Tap("Up");
    EXPECT_EQ(Count(GameSound::kFireBall), 2);

    // The same aim fired with a left click on a twin field takes the same route.
    struct Twin : zvtest::FieldTest {
        void TestBody() override {}
        std::vector<TwVector> ClickRoute(const TwVector& aim) {
            Load(1, 3);
            launcher.SetDirection(aim);
            launcher.PlaceLoadedBubble();
            launcher.HandleInput(2, Launcher::kLeftReleased, 514, TwVector(400, 300), 0);
            return field.FlightPath();
        }
    } twin;
    const std::vector<TwVector> clickedRoute = twin.ClickRoute(keyedAim);
    ASSERT_EQ(clickedRoute.size(), keyedRoute.size());
    for (std::size_t i = 0; i < keyedRoute.size(); ++i) {
        EXPECT_NEAR(clickedRoute[i].x, keyedRoute[i].x, 0.01f);
        EXPECT_NEAR(clickedRoute[i].y, keyedRoute[i].y, 0.01f);
    }
}

TEST_F(LauncherKeysTest, DownSwapsLikeTheRightButtonOnlyForDifferentColours) {
    BaseBubble* loaded = launcher.Loaded();
    BaseBubble* next = field.NextBubble();
    Tap("Down");
    EXPECT_EQ(launcher.Loaded(), next);
    EXPECT_EQ(field.NextBubble(), loaded);
    EXPECT_EQ(Count(GameSound::kSwap), 1);
    Load(2, 2);
    Tap("Down");
    EXPECT_EQ(Count(GameSound::kSwap), 1);
}

// A controller plugged in mid-game: the d-pad turns, A fires, X swaps.
TEST_F(LauncherKeysTest, GamepadAimsFiresAndSwaps) {
    AttachPad();
    ASSERT_EQ(TwGamepadCount(), 1);
    Push(Kind::PadButtonDown, "dpright");
    Deliver();
    for (int t = 0; t < 160; t += 16) {
        keys.Update(launcher, 16);
    }
    Push(Kind::PadButtonUp, "dpright");
    Deliver();
    EXPECT_NEAR(AimAngle(), kHalfPi - 160 * LauncherKeys::kTurnRate, 1e-3f);

    BaseBubble* next = field.NextBubble();
    Push(Kind::PadButtonDown, "x");
    Deliver();
    Push(Kind::PadButtonUp, "x");
    Deliver();
    EXPECT_EQ(launcher.Loaded(), next);

    launcher.PlaceLoadedBubble();
    Push(Kind::PadButtonDown, "a");
    Deliver();
    EXPECT_TRUE(launcher.Flying());
    EXPECT_EQ(Count(GameSound::kFireBall), 1);
    Push(Kind::PadButtonUp, "a");
    Deliver();
}
