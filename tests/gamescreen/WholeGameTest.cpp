#include "GameScreenFixture.h"

#include "gui/TwBaseGuiElemen.h"
#include "platform/os/TwRand.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

using gstest::GameScreenTest;

// A simple player plays whole games on the screen: it aims from below at the lowest bubble
// of the loaded colour (or the lowest bubble of all when there is none) and fires, until the
// game ends.
class WholeGameTest : public GameScreenTest, public ::testing::WithParamInterface<int> {
protected:
    // Plays until the game ends; returns the number of shots.
    int PlayToTheEnd(int maxShots) {
        int shots = 0;
        int lastScore = 0;
        while (game.State() == PlayState::kPlaying && shots < maxShots) {
            if (!ShootAt(BotAim())) {
                // The game may have ended while the launcher was waiting for a row.
                EXPECT_NE(game.State(), PlayState::kPlaying) << Picture();
                break;
            }
            ++shots;
            EXPECT_GE(Field().Score, lastScore);
            lastScore = Field().Score;
            Field().ForEachBubble([](const BaseBubble& bubble, int, int) {
                EXPECT_TRUE(bubble.Colour() >= 0 && bubble.Colour() < 6);
            });
        }
        return shots;
    }

    // Counts the result dialog up to its end and leaves it through its button.
    void FinishThroughTheDialog(const char* panelName, const char* buttonName) {
        ASSERT_TRUE(game.IsOpen(panelName));
        auto* panel = dynamic_cast<GameCompletePanel*>(game.GetPanel(panelName));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->ScoreTarget(), scoreAtEnd);
        EXPECT_EQ(panel->TotalTarget(), scoreAtEnd + bonusAtEnd);
        ASSERT_TRUE(RunUntil([panel] { return panel->CountDone() && panel->IsSteady(); }));
        EXPECT_EQ(panel->TotalShown(), scoreAtEnd + bonusAtEnd);

        const TwBaseGuiElemen* button = panel->FindElement(buttonName);
        ASSERT_NE(button, nullptr);
        if (packsOpen) {
            LeftClick(button->Position().x, button->Position().y);
        } else {
            game.SetPendingEvent(buttonName);
        }
        Frame();
        EXPECT_EQ(router.Current(), &menu);
        EXPECT_FALSE(game.IsOpen(panelName));
    }

    void PlayWholeGame(int mode) {
        TwSRand(static_cast<std::uint32_t>(GetParam()));
        StartGame(mode);
        ASSERT_TRUE(game.SaveGame());
        const int shots = PlayToTheEnd(1500);
        ASSERT_NE(game.State(), PlayState::kPlaying) << "after " << shots << " shots";
        scoreAtEnd = Field().Score;
        bonusAtEnd = Field().TripleBonus;
        // Bubbles still falling may add points after the end; the dialog keeps the end's.
        const bool won = game.State() == PlayState::kCompleteShown;
        if (!won) {
            EXPECT_FALSE(Field().RowEmpty(Field().Rows() - 1)) << Picture();
        }
        EXPECT_EQ(SlotText(), "");
        EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
        if (scoreAtEnd > 0) {
            ASSERT_EQ(Table(mode).Count(), 1);
            EXPECT_EQ(Table(mode).Records()[0].Scores, scoreAtEnd);
        }
        if (won) {
            FinishThroughTheDialog(Game::kCompletePanel, Game::kCompleteButton);
        } else {
            FinishThroughTheDialog(Game::kGameOverPanel, Game::kGameOverButton);
        }
    }

    int scoreAtEnd = 0;
    int bonusAtEnd = 0;
};

TEST_P(WholeGameTest, ClassicGamePlayedToItsEnd) {
    PlayWholeGame(ModeNumber(Game::kClassic));
}

TEST_P(WholeGameTest, ArcadeGamePlayedToItsEnd) {
    PlayWholeGame(ModeNumber(Game::kArcade));
}

INSTANTIATE_TEST_SUITE_P(Seeds, WholeGameTest, ::testing::Values(1, 77, 4096));
