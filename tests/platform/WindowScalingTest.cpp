#include <gtest/gtest.h>

#include "platform/input/TwEvents.h"
#include "platform/window/TwVideo.h"

namespace {

using Kind = TwSyntheticEvent::Kind;

// A windowed game window with its renderer, as the game opens it.
class WindowScaling : public ::testing::Test {
protected:
    void SetUp() override {
        TwWindowSettings settings;
        settings.title = "Zorbit Volley";
        ASSERT_TRUE(TwVideo::CreateWindow(settings));
        ASSERT_TRUE(TwVideo::CreateRenderer());
        TwFlushMessages();
    }
    void TearDown() override {
        TwVideo::DestroyWindow();
        TwFlushMessages();
    }

    // Pushes one event and returns the first message of the given kind it turned into.
    TwWindowMessage Through(const TwSyntheticEvent& event, int id) {
        EXPECT_TRUE(TwPushSyntheticEvent(event));
        TwWindowMessage message, wanted;
        while (TwPeekMessage(message)) {
            if (message.id == id && wanted.id == 0) {
                wanted = message;
            }
        }
        return wanted;
    }

    TwWindowMessage ClickAt(int x, int y) {
        return Through(TwSyntheticEvent{Kind::ButtonDown, "", "", 1, x, y}, kTwMsgLButtonDown);
    }
    TwWindowMessage MoveTo(int x, int y) {
        return Through(TwSyntheticEvent{Kind::MouseMove, "", "", 1, x, y}, kTwMsgMouseMove);
    }

    void Resize(int width, int height) {
        ASSERT_TRUE(TwPushSyntheticEvent(TwSyntheticEvent{Kind::Resize, "", "", 1, width, height}));
        TwWindowMessage message;
        while (TwPeekMessage(message)) {
        }
    }
};

} // namespace

// The 800 x 600 picture is scaled to fit the resized window with its shape kept and bars on
// the sides; clicks land on the game pixels under the pointer.
TEST_F(WindowScaling, ClicksMapToGamePixelsAfterAResize) {
    EXPECT_TRUE(TwVideo::WindowResizable());
    TwWindowMessage click = ClickAt(400, 300);
    EXPECT_EQ(click.x, 400);
    EXPECT_EQ(click.y, 300);

    Resize(1600, 900); // scale 1.5: the picture is 1200 x 900, bars 200 wide left and right
    click = ClickAt(200 + 600, 450);
    EXPECT_EQ(click.x, 400);
    EXPECT_EQ(click.y, 300);
    click = ClickAt(200 + 15, 15);
    EXPECT_EQ(click.x, 10);
    EXPECT_EQ(click.y, 10);
    TwWindowMessage move = MoveTo(1399, 899); // bottom-right corner of the picture
    EXPECT_EQ(move.x, 799);
    EXPECT_EQ(move.y, 599);
    click = ClickAt(50, 450); // on the left bar: the picture's edge
    EXPECT_EQ(click.x, 0);
    EXPECT_EQ(click.y, 300);

    Resize(400, 600); // scale 0.5: bars above and below
    click = ClickAt(200, 150 + 150);
    EXPECT_EQ(click.x, 400);
    EXPECT_EQ(click.y, 300);
    move = MoveTo(100, 150 + 75);
    EXPECT_EQ(move.x, 200);
    EXPECT_EQ(move.y, 150);
}

TEST_F(WindowScaling, OnlyTheWindowedModeIsResizable) {
    TwWindowSettings settings;
    settings.windowed = false;
    ASSERT_TRUE(TwVideo::CreateWindow(settings));
    EXPECT_FALSE(TwVideo::WindowResizable());
}

TEST_F(WindowScaling, ResizingNeedsAWindowAndASize) {
    EXPECT_FALSE(TwPushSyntheticEvent(TwSyntheticEvent{Kind::Resize, "", "", 1, 0, 600}));
    TwVideo::DestroyWindow();
    EXPECT_FALSE(TwPushSyntheticEvent(TwSyntheticEvent{Kind::Resize, "", "", 1, 800, 600}));
}
