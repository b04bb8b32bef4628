#include <gtest/gtest.h>
#include <vector>

#include "gfx/TwRenderDevice.h"
#include "gui/TwInputEvent.h"
#include "platform/input/TwEvents.h"

namespace {

using Kind = TwSyntheticEvent::Kind;

// What the screens saw for one message.
struct Seen {
    int eventClass, messageId, button;
    float eventX, eventY;
    int key;
    std::uint32_t character;
};

// Pushes real SDL events and runs them through the window's translation into the record,
// as the window procedure does.
class InputEventTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TwRenderDevice::Instance().CreateHeadless());
        TwFlushMessages();
    }

    void Push(Kind kind, const char* key = "", int x = 0, int y = 0, int button = 1,
              const char* text = "") {
        TwSyntheticEvent event;
        event.kind = kind;
        event.key = key;
        event.text = text;
        event.x = x;
        event.y = y;
        event.button = button;
        ASSERT_TRUE(TwPushSyntheticEvent(event));
    }

    std::vector<Seen> Pump() {
        std::vector<Seen> seen;
        TwWindowMessage message;
        while (TwPeekMessage(message)) {
            if (record.Translate(message, true)) {
                seen.push_back(Seen{record.eventClass, record.messageId, record.button,
                                    record.eventX, record.eventY, record.key, record.character});
            }
        }
        return seen;
    }

    TwInputEvent record;
};

} // namespace

TEST_F(InputEventTest, ClickBeforeAnyMoveReportsTheOrigin) {
    Push(Kind::ButtonDown, "", 300, 200, 1);
    Push(Kind::ButtonUp, "", 300, 200, 1);
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].eventClass, TwInputEvent::kMouse);
    EXPECT_EQ(seen[0].messageId, 513);
    EXPECT_EQ(seen[0].button, 0);
    EXPECT_EQ(seen[1].messageId, 514);
    EXPECT_EQ(seen[1].button, TwInputEvent::kLeftReleased);
    for (const Seen& s : seen) {
        EXPECT_EQ(s.eventX, 0.0f);
        EXPECT_EQ(s.eventY, 0.0f);
    }
    EXPECT_EQ(record.eventZ, 0.0f);
}

TEST_F(InputEventTest, ButtonsCarryThePositionOfTheLastMove) {
    Push(Kind::MouseMove, "", 120, 340);
    Push(Kind::ButtonUp, "", 5, 5, 3);
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].messageId, 512);
    EXPECT_EQ(seen[0].eventX, 120.0f);
    EXPECT_EQ(seen[0].eventY, 340.0f);
    EXPECT_EQ(seen[1].messageId, 517);
    EXPECT_EQ(seen[1].button, TwInputEvent::kRightReleased);
    EXPECT_EQ(seen[1].eventX, 120.0f);
    EXPECT_EQ(seen[1].eventY, 340.0f);
}

TEST_F(InputEventTest, PointerOutsideThePictureIsClampedToItsEdge) {
    Push(Kind::MouseMove, "", 950, -20);
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].eventX, 799.0f);
    EXPECT_EQ(seen[0].eventY, 0.0f);
}

TEST_F(InputEventTest, RightPressAndMiddleButtonAreEmptyEvents) {
    Push(Kind::ButtonDown, "", 10, 10, 3);
    Push(Kind::ButtonDown, "", 10, 10, 2);
    Push(Kind::ButtonUp, "", 10, 10, 2);
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 3u);
    for (const Seen& s : seen) {
        EXPECT_EQ(s.eventClass, TwInputEvent::kNone);
        EXPECT_EQ(s.messageId, -1);
        EXPECT_EQ(s.button, 0);
    }
}

TEST_F(InputEventTest, ControlKeysGiveKeyDownCharacterAndEmptyRelease) {
    Push(Kind::KeyDown, "Escape");
    Push(Kind::KeyUp, "Escape");
    Push(Kind::KeyDown, "Return");
    Push(Kind::KeyDown, "Backspace");
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0].messageId, 256);
    EXPECT_EQ(seen[0].eventClass, TwInputEvent::kKeyboard);
    EXPECT_EQ(seen[0].key, 27);
    EXPECT_EQ(seen[1].messageId, 258);
    EXPECT_EQ(seen[1].key, 27);
    EXPECT_EQ(seen[2].messageId, -1);
    EXPECT_EQ(seen[2].eventClass, TwInputEvent::kNone);
    EXPECT_EQ(seen[3].key, 13);
    EXPECT_EQ(seen[4].messageId, 258);
    EXPECT_EQ(seen[4].key, 13);
    EXPECT_EQ(seen[5].key, 8);
    EXPECT_EQ(seen[6].key, 8);
}

TEST_F(InputEventTest, LettersUseUpperCaseKeyCodesAndTypedTextForCharacters) {
    Push(Kind::KeyDown, "A");
    Push(Kind::Text, "", 0, 0, 1, "a");
    Push(Kind::KeyRepeat, "A");
    Push(Kind::Text, "", 0, 0, 1, "a");
    Push(Kind::KeyUp, "A");
    Push(Kind::KeyDown, "Left");
    Push(Kind::KeyDown, "7");
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0].messageId, 256);
    EXPECT_EQ(seen[0].key, 'A');
    EXPECT_EQ(seen[1].messageId, 258);
    EXPECT_EQ(seen[1].key, 'a');
    EXPECT_EQ(seen[2].messageId, 256); // held key repeats its key-down
    EXPECT_EQ(seen[3].key, 'a');
    EXPECT_EQ(seen[4].messageId, -1);
    EXPECT_EQ(seen[5].key, 37);
    EXPECT_EQ(seen[6].key, '7');
}

// Typed text arrives as whole Unicode characters; past Latin-1 the key byte stays 0, so a
// letter such as U+0408 never reads as Backspace (8). Broken sequences are dropped.
TEST_F(InputEventTest, TypedTextArrivesAsWholeCharacters) {
    Push(Kind::Text, "", 0, 0, 1, "\xC3\xA9z\xE2\x82\xAC\xD0\x88\xFF\xD0"); // é z € Ј
    const auto seen = Pump();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].key, 0xE9);
    EXPECT_EQ(seen[0].character, 0xE9u);
    EXPECT_EQ(seen[1].key, 'z');
    EXPECT_EQ(seen[2].character, 0x20ACu);
    EXPECT_EQ(seen[2].key, 0);
    EXPECT_EQ(seen[3].character, 0x408u);
    EXPECT_EQ(seen[3].key, 0);
}

TEST_F(InputEventTest, WindowMessagesAreNotInput) {
    Push(Kind::Minimize);
    Push(Kind::Restore);
    Push(Kind::Close);
    Push(Kind::DeviceReset);
    std::vector<TwWindowMessage> messages;
    TwWindowMessage message;
    while (TwPeekMessage(message)) {
        EXPECT_FALSE(record.Translate(message, true));
        messages.push_back(message);
    }
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].id, kTwMsgSize);
    EXPECT_EQ(messages[0].wParam, kTwSizeMinimized);
    EXPECT_EQ(messages[1].wParam, kTwSizeRestored);
    EXPECT_EQ(messages[2].id, kTwMsgClose);
    EXPECT_EQ(messages[3].id, kTwMsgDeviceReset);
}

TEST(InputEventRecord, WithoutActiveWindowNothingChanges) {
    TwInputEvent record;
    record.mouseX = 5;
    const TwWindowMessage move{kTwMsgMouseMove, 0, 100, 100};
    EXPECT_FALSE(record.Translate(move, false));
    EXPECT_EQ(record.mouseX, 5.0f);
    EXPECT_EQ(record.messageId, -1);
}

TEST(InputEventRecord, DoubleClicksAndUnknownMessagesAreNotReported) {
    TwInputEvent record;
    EXPECT_FALSE(record.Translate(TwWindowMessage{kTwMsgLButtonDblClk, 0, 1, 1}, true));
    EXPECT_FALSE(record.Translate(TwWindowMessage{kTwMsgRButtonDblClk, 0, 1, 1}, true));
    EXPECT_FALSE(record.Translate(TwWindowMessage{12345, 0, 1, 1}, true));
}

TEST_F(InputEventTest, RecordedSessionReplaysToTheSameInput) {
    std::vector<TwWindowMessage> recorded;
    TwSetMessageRecorder([&recorded](const TwWindowMessage& m) { recorded.push_back(m); });
    Push(Kind::MouseMove, "", 40, 50);
    Push(Kind::ButtonDown, "", 40, 50, 1);
    Push(Kind::ButtonUp, "", 40, 50, 1);
    Push(Kind::KeyDown, "Escape");
    const auto live = Pump();
    TwSetMessageRecorder({});
    ASSERT_EQ(recorded.size(), 5u);

    record = TwInputEvent{};
    for (const TwWindowMessage& m : recorded) {
        TwReplayMessage(m);
    }
    const auto replayed = Pump();
    ASSERT_EQ(replayed.size(), live.size());
    for (std::size_t i = 0; i < live.size(); ++i) {
        EXPECT_EQ(replayed[i].messageId, live[i].messageId);
        EXPECT_EQ(replayed[i].eventX, live[i].eventX);
        EXPECT_EQ(replayed[i].key, live[i].key);
    }
}
