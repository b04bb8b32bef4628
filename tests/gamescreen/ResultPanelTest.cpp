#include "GameScreenFixture.h"

#include "GameSound.h"

using gstest::GameScreenTest;

namespace {

// Frames (of `ms`) after the dialog opened until the score, the bonus and the total have
// each finished counting.
struct CountFrames {
    int score = -1;
    int bonus = -1;
    int total = -1;
};

} // namespace

class ResultPanelTest : public GameScreenTest {
protected:
    // Ends the game lost with a score and bonus and follows the counts frame by frame.
    CountFrames LoseAndCount(int score, int bonus, int ms) {
        StartGame(Game::kClassic);
        Field().Score = score;
        Field().TripleBonus = bonus;
        game.Session().SetState(PlayState::kLost);
        Frame(ms);
        EXPECT_TRUE(game.IsOpen(Game::kGameOverPanel));
        const GameCompletePanel& panel = *game.GameOverPanel();
        CountFrames done;
        for (int frame = 1; frame <= 400 && !panel.CountDone(); ++frame) {
            Frame(ms);
            if (done.score < 0 && panel.ScoreDone()) {
                done.score = frame;
            }
            if (done.bonus < 0 && panel.BonusDone()) {
                done.bonus = frame;
            }
            if (panel.CountDone()) {
                done.total = frame;
            }
        }
        return done;
    }
};

TEST_F(ResultPanelTest, ThousandPointsAtTwentyMillisecondsTakeFifteenFrames) {
    const CountFrames done = LoseAndCount(1000, 0, 20);
    const GameCompletePanel& panel = *game.GameOverPanel();
    // Step 7, ten steps a frame: 980 after 14 frames, 1050 goes past on the 15th.
    EXPECT_EQ(done.score, 15);
    EXPECT_EQ(done.bonus, 16);
    EXPECT_EQ(done.total, 31);
    EXPECT_EQ(panel.ScoreShown(), 1000);
    EXPECT_EQ(panel.BonusShown(), 0);
    EXPECT_EQ(panel.TotalShown(), 1000);
    EXPECT_EQ(Count(GameCompletePanel::kSeekScoreEnd), 3);
}

TEST_F(ResultPanelTest, ZeroScoreFinishesEachCountInOneFrameDuringTheFade) {
    const CountFrames done = LoseAndCount(0, 0, 20);
    EXPECT_EQ(done.score, 1);
    EXPECT_EQ(done.bonus, 2);
    EXPECT_EQ(done.total, 3);
    EXPECT_EQ(Count(GameCompletePanel::kSeekScoreEnd), 3);
    // Still fading in: counting does not wait for the dialog to settle.
    EXPECT_FALSE(game.GameOverPanel()->IsSteady());
}

TEST_F(ResultPanelTest, CountsShowOnlyOneCounterMovingAtATimeAndRestartOnReopen) {
    CountFrames done = LoseAndCount(300, 75, 16);
    const GameCompletePanel& panel = *game.GameOverPanel();
    EXPECT_LT(done.score, done.bonus);
    EXPECT_LT(done.bonus, done.total);
    EXPECT_EQ(panel.TotalShown(), 375);

    // The dialog's button: straight back to the menu, no dialog left over the field.
    game.SetPendingEvent(Game::kGameOverButton);
    Frame();
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_FALSE(game.IsOpen(Game::kGameOverPanel));

    // A second game lost: the counts start again from zero.
    // Ten points in steps of one, ten steps a frame: the first frame lands exactly on the
    // value, and only the second goes past it.
    done = LoseAndCount(10, 0, 20);
    EXPECT_EQ(done.score, 2);
    EXPECT_EQ(panel.ScoreShown(), 10);
    EXPECT_EQ(panel.TotalShown(), 10);
}

TEST_F(ResultPanelTest, LongFramesAndHugeScoresNeverOvershootOrWrap) {
    // 2000 million points in frames of a whole second: each step is far beyond the int
    // range once multiplied, yet each count stops exactly on its value.
    const CountFrames done = LoseAndCount(2000000000, 100000000, 1000);
    const GameCompletePanel& panel = *game.GameOverPanel();
    EXPECT_EQ(done.score, 1);
    EXPECT_EQ(panel.ScoreShown(), 2000000000);
    EXPECT_EQ(panel.BonusShown(), 100000000);
    EXPECT_GT(done.total, 0);
}
