#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

#include "platform/input/TwEvents.h"
#include "platform/window/TwVideo.h"

namespace {

using Kind = TwSyntheticEvent::Kind;

struct Message {
    int id;
    std::uint32_t wParam;
    bool operator==(const Message&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << "{" << m.id << ", " << m.wParam << "}";
}

// Collects the window messages that arrive within a short while (a controller's state is
// read when SDL pumps its events).
std::vector<Message> Drain() {
    std::vector<Message> messages;
    for (int round = 0; round < 5; ++round) {
        TwWindowMessage m;
        while (TwPeekMessage(m)) {
            messages.push_back({m.id, m.wParam});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return messages;
}

bool Push(Kind kind, const std::string& name = "", int value = 0) {
    TwSyntheticEvent event;
    event.kind = kind;
    event.key = name;
    event.x = value;
    return TwPushSyntheticEvent(event);
}

Message KeyDown(std::uint32_t vk) {
    return {kTwMsgKeyDown, vk};
}
Message KeyUp(std::uint32_t vk) {
    return {kTwMsgKeyUp, vk};
}

// A virtual controller, plugged in after the window's events run, as a player does mid-game.
class Gamepad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TwVideo::Init());
        TwFlushMessages();
        Drain();
        ASSERT_TRUE(Push(Kind::PadAttach));
        Drain();
        ASSERT_EQ(TwGamepadCount(), 1);
    }
    void TearDown() override {
        Push(Kind::PadDetach);
        Drain();
        TwFlushMessages();
    }
};

} // namespace

TEST_F(Gamepad, ButtonsSpeakAsTheKeysThatFireSwapAndGoBack) {
    ASSERT_TRUE(Push(Kind::PadButtonDown, "a"));
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(32)});
    EXPECT_TRUE(TwKeyHeld(32));
    ASSERT_TRUE(Push(Kind::PadButtonUp, "a"));
    EXPECT_EQ(Drain(), std::vector<Message>{KeyUp(32)});
    EXPECT_FALSE(TwKeyHeld(32));

    // B is Escape, character message included, as the keyboard's Escape.
    Push(Kind::PadButtonDown, "b");
    EXPECT_EQ(Drain(), (std::vector<Message>{KeyDown(27), {kTwMsgChar, 27}}));
    Push(Kind::PadButtonUp, "b");
    Drain();

    Push(Kind::PadButtonDown, "x");
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(40)});
    Push(Kind::PadButtonUp, "x");
    Drain();

    Push(Kind::PadButtonDown, "dpleft");
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(37)});
    EXPECT_TRUE(TwKeyHeld(37));
    Push(Kind::PadButtonUp, "dpleft");
    Drain();
    EXPECT_FALSE(TwKeyHeld(37));

    // Start confirms as Enter does, character message included.
    Push(Kind::PadButtonDown, "start");
    EXPECT_EQ(Drain(), (std::vector<Message>{KeyDown(13), {kTwMsgChar, 13}}));
    Push(Kind::PadButtonUp, "start");
    Drain();

    // Buttons without a key of their own send key 0 (their button tells them apart).
    Push(Kind::PadButtonDown, "rightshoulder");
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(0)});
    Push(Kind::PadButtonUp, "rightshoulder");
    EXPECT_EQ(Drain(), std::vector<Message>{KeyUp(0)});
}

// A controller's key messages carry their button plus one as x, so a game can bind buttons;
// the stick counts as the d-pad button it leans towards. Held buttons are not keyboard keys.
TEST_F(Gamepad, KeyMessagesTellTheirButtonAndHeldButtonsAreKnown) {
    auto sources = [] {
        std::vector<int> xs;
        for (int round = 0; round < 5; ++round) {
            TwWindowMessage m;
            while (TwPeekMessage(m)) {
                xs.push_back(m.x);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return xs;
    };
    Push(Kind::PadButtonDown, "start");
    EXPECT_EQ(sources(), (std::vector<int>{7, 7})); // Enter and its character
    EXPECT_TRUE(TwPadButtonHeld(6));
    EXPECT_TRUE(TwKeyHeld(13));
    EXPECT_FALSE(TwKeyboardKeyHeld(13));
    Push(Kind::PadButtonUp, "start");
    EXPECT_EQ(sources(), std::vector<int>{7});
    EXPECT_FALSE(TwPadButtonHeld(6));

    Push(Kind::PadAxis, "leftx", -30000);
    EXPECT_EQ(sources(), std::vector<int>{14}); // d-pad left
    EXPECT_TRUE(TwPadButtonHeld(13));
    Push(Kind::PadAxis, "leftx", 0);
    sources();
    EXPECT_FALSE(TwPadButtonHeld(13));
}

// The stick holds one arrow while pushed out, along its stronger axis, and lets go near the
// middle only, so it does not flutter at the edge.
TEST_F(Gamepad, StickHoldsOneArrowWithAMarginBeforeLettingGo) {
    Push(Kind::PadAxis, "leftx", -9000);
    EXPECT_TRUE(Drain().empty());
    Push(Kind::PadAxis, "leftx", -30000);
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(37)});
    EXPECT_TRUE(TwKeyHeld(37));
    Push(Kind::PadAxis, "leftx", -12000);
    EXPECT_TRUE(Drain().empty());
    EXPECT_TRUE(TwKeyHeld(37));
    Push(Kind::PadAxis, "leftx", -3000);
    EXPECT_EQ(Drain(), std::vector<Message>{KeyUp(37)});
    EXPECT_FALSE(TwKeyHeld(37));

    // Mostly up, a little right: Up; turning it mostly right moves to Right.
    Push(Kind::PadAxis, "lefty", -28000);
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(38)});
    Push(Kind::PadAxis, "leftx", 17000);
    EXPECT_TRUE(Drain().empty());
    Push(Kind::PadAxis, "lefty", -5000);
    EXPECT_EQ(Drain(), (std::vector<Message>{KeyUp(38), KeyDown(39)}));
    Push(Kind::PadAxis, "leftx", 0);
    EXPECT_EQ(Drain(), std::vector<Message>{KeyUp(39)});
}

// Pulling the controller out while a button is held lets the key go: nothing stays stuck.
TEST_F(Gamepad, UnpluggingReleasesWhatItHeld) {
    Push(Kind::PadButtonDown, "dpright");
    Drain();
    ASSERT_TRUE(TwKeyHeld(39));
    ASSERT_TRUE(Push(Kind::PadDetach));
    EXPECT_EQ(Drain(), std::vector<Message>{KeyUp(39)});
    EXPECT_FALSE(TwKeyHeld(39));
    EXPECT_EQ(TwGamepadCount(), 0);

    // Plugged in again it works at once.
    ASSERT_TRUE(Push(Kind::PadAttach));
    Drain();
    EXPECT_EQ(TwGamepadCount(), 1);
    Push(Kind::PadButtonDown, "a");
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(32)});
    Push(Kind::PadButtonUp, "a");
}

// Switching to another window lets go of every key and button: their releases would never
// arrive, and the launcher would go on turning.
TEST_F(Gamepad, LosingTheWindowReleasesEverything) {
    Push(Kind::PadButtonDown, "dpleft");
    Push(Kind::PadAxis, "lefty", 30000);
    Drain();
    TwPushSyntheticEvent(TwSyntheticEvent{Kind::KeyDown, "Right", "", 1, 0, 0});
    Drain();
    ASSERT_TRUE(TwKeyHeld(37) && TwKeyHeld(39) && TwKeyHeld(40));
    ASSERT_TRUE(Push(Kind::FocusLost));
    const std::vector<Message> released = Drain();
    EXPECT_FALSE(TwKeyHeld(37) || TwKeyHeld(39) || TwKeyHeld(40));
    EXPECT_EQ(released.size(), 2u) << "the controller's two keys sent their key-ups";
    Push(Kind::PadAxis, "lefty", 0);
    Push(Kind::PadButtonUp, "dpleft");
    EXPECT_TRUE(Drain().empty()) << "nothing is released twice";
}

TEST(HeldKeys, KeyboardKeysAreHeldFromPressToRelease) {
    ASSERT_TRUE(TwVideo::Init());
    TwFlushMessages();
    TwSyntheticEvent press{Kind::KeyDown, "Left", "", 1, 0, 0};
    ASSERT_TRUE(TwPushSyntheticEvent(press));
    EXPECT_EQ(Drain(), std::vector<Message>{KeyDown(37)});
    EXPECT_TRUE(TwKeyHeld(37));
    EXPECT_FALSE(TwKeyHeld(39));
    TwSyntheticEvent release{Kind::KeyUp, "Left", "", 1, 0, 0};
    ASSERT_TRUE(TwPushSyntheticEvent(release));
    EXPECT_EQ(Drain(), std::vector<Message>{KeyUp(37)});
    EXPECT_FALSE(TwKeyHeld(37));
}
