// The pause: P (or a controller's Start) holds the game under a small
// panel; the Arcade clock, the shot in flight and the animations stand still.
#include "GameScreenFixture.h"
#include "GuiTestSupport.h"

#include "ArcadeMap.h"
#include "BaseBubble.h"

using gstest::GameScreenTest;
using gstest::kSpreadRow;

namespace {

constexpr unsigned char kP = 'P';

class PauseTest : public GameScreenTest {
protected:
    void SetUp() override {
        StartGame(Game::kArcade);
        Layout(kSpreadRow, 1, 2);
        Field().ElapsedTime = 1000;
    }
    // Runs frames until the pause panel has faded in and takes input.
    void Settle() { Frames(20); }
};

TEST_F(PauseTest, TheArcadeClockHoldsAcrossAPauseOfSeveralSeconds) {
    KeyDown(kP);
    ASSERT_TRUE(game.Paused());
    EXPECT_TRUE(game.IsOpen(Game::kPausePanel));
    Frames(400, 20); // eight seconds: a tick and more
    EXPECT_EQ(Field().ElapsedTime, 1000);
    EXPECT_EQ(Field().NumMovesLeft, 5);

    KeyDown(kP);
    EXPECT_FALSE(game.Paused());
    Frames(10, 20);
    EXPECT_EQ(Field().ElapsedTime, 1200);
}

TEST_F(PauseTest, AShotInFlightAndTheLauncherHoldAndNothingFiresWhilePaused) {
    MoveMouse(Cell(5, 0).x, Cell(5, 0).y + 40);
    LeftClick(Cell(5, 0).x, Cell(5, 0).y + 40);
    Frame();
    ASSERT_TRUE(Gun().Flying());
    const TwVector there = Gun().Loaded()->Position();
    // A controller's Start: Enter from button 6.
    guitest::SetKey(input, TwInputCodes::kKeyDown, TwInputCodes::kEnter);
    input.padButton = 6;
    router.ForwardInput();
    ASSERT_TRUE(game.Paused());
    Frames(50);
    ASSERT_TRUE(Gun().Flying());
    EXPECT_EQ(Gun().Loaded()->Position().x, there.x);
    EXPECT_EQ(Gun().Loaded()->Position().y, there.y);

    // Clicks and fire keys on the paused field do nothing to the game.
    Settle();
    const TwVector aim = Gun().Direction();
    MoveMouse(100, 300);
    KeyDown(TwInputCodes::kSpace);
    KeyDown(TwInputCodes::kLeft);
    Frames(5);
    EXPECT_EQ(Gun().Direction().x, aim.x);
    EXPECT_TRUE(game.Paused());

    // Escape presses resume; the shot flies on to its cell.
    KeyDown(TwInputCodes::kEscape);
    Frame();
    EXPECT_FALSE(game.Paused());
    EXPECT_TRUE(RunUntil([this] { return !Gun().Flying(); }));
}

TEST_F(PauseTest, TheMenuButtonSavesTheGameAndNoPauseOutsidePlay) {
    KeyDown(kP);
    Settle();
    game.SetPendingEvent(Game::kPauseMenuButton);
    Frame();
    EXPECT_FALSE(game.Paused());
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_NE(SlotText().find("ElapsedTime"), std::string::npos);

    // A game that has ended cannot be paused.
    router.SwitchScreen(Game::kScreenName);
    game.Session().SetState(PlayState::kLost);
    Frame();
    KeyDown(kP);
    EXPECT_FALSE(game.Paused());
}

TEST_F(PauseTest, ANewGameStartsUnpaused) {
    KeyDown(kP);
    ASSERT_TRUE(game.Paused());
    game.StartClassic();
    game.NewGame();
    EXPECT_FALSE(game.Paused());
    EXPECT_FALSE(game.IsOpen(Game::kPausePanel));
}

} // namespace
