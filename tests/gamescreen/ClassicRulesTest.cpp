#include "GameScreenFixture.h"

#include "GameSound.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

using gstest::GameScreenTest;
using gstest::kSpreadRow;
using gstest::MissColour;

TEST_F(GameScreenTest, ClassicMissesBringARowAfterTheSixthOnEasy) {
    StartGame(Game::kClassic);
    Layout(kSpreadRow, MissColour(0), 1);
    const int columns[] = {0, 2, 4, 6, 8, 10};
    for (int shot = 0; shot < 6; ++shot) {
        const int column = columns[shot];
        Load(MissColour(column));
        ASSERT_TRUE(ShootAt(Under(column, 0))) << "shot " << shot << "\n" << Picture();
        if (shot < 5) {
            EXPECT_EQ(Field().NumMovesLeft, 4 - shot) << "after miss " << shot + 1;
            EXPECT_EQ(Count(GameSound::kLineFall), 0);
        }
    }
    // The sixth miss starts a row at once; the indicator then shows four symbols.
    EXPECT_EQ(Field().NumMovesLeft, 4);
    EXPECT_EQ(Field().NextNumBeginMoves, 3);
    EXPECT_EQ(Count(GameSound::kLineFall), 1);
    ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
    // The spread row has moved down to row 1 under a new row 0.
    EXPECT_EQ(Field().Bubble(1, 1)->Colour(), 1);
    EXPECT_EQ(Field().Bubble(5, 1)->Colour(), 5);
    for (int c = 0; c < Field().Columns(); ++c) {
        EXPECT_NE(Field().Bubble(c, 0), nullptr) << Picture();
    }
    EXPECT_EQ(game.State(), PlayState::kPlaying);
    EXPECT_EQ(Field().Score, 0);
}

TEST_F(GameScreenTest, MatchesScoreLeaveTheMovesAloneAndBuildTheBonus) {
    StartGame(Game::kClassic);
    // Five vertical pairs hanging from the ceiling, each far from the others; a spare of
    // each colour on the right keeps every colour in the field.
    Layout({"0.1.2.3.4.50", "0.1.2.3.4.51", "...........2", "...........3", "...........4"}, 0, 1);
    const int before = Field().NumMovesLeft;
    const int pairColumns[] = {0, 2, 4, 6, 8};
    const int expectedBonus[] = {0, 0, 25, 50, 75};
    for (int i = 0; i < 5; ++i) {
        const int column = pairColumns[i];
        Load(i);
        ASSERT_TRUE(ShootAt(Under(column, 1))) << Picture();
        EXPECT_EQ(Field().ComboCount, i + 1);
        EXPECT_EQ(Field().TripleBonus, expectedBonus[i]) << "match " << i + 1;
        EXPECT_EQ(Field().Bubble(column, 0), nullptr) << Picture();
        EXPECT_EQ(Field().NumMovesLeft, before);
    }
    EXPECT_EQ(Field().Score, 5 * 30);
    EXPECT_EQ(Count(GameSound::kColourRemoved), 0);

    // One miss ends the run of matches.
    Load(5);
    ASSERT_TRUE(ShootAt(Under(11, 4)));
    EXPECT_EQ(Field().ComboCount, 0);
    EXPECT_EQ(Field().TripleBonus, 75);
    EXPECT_EQ(Field().NumMovesLeft, before - 1);
}

TEST_F(GameScreenTest, LostGameShowsScoreAndBonusWhileTheTableGetsTheScoreAlone) {
    StartGame(Game::kClassic);
    TwProfileStore::Instance().CheckSavedGame();
    ASSERT_TRUE(game.SaveGame());
    ASSERT_TRUE(TwProfileStore::Instance().HasSavedGame());

    // A chain hangs from the ceiling down to row 10, just left of the launcher's line;
    // anything landing under it reaches the last row.
    std::vector<std::string> rows(11, "");
    for (int k = 0; k < 11; ++k) {
        rows[k] = std::string(5, '.') + static_cast<char>('0' + (k % 2 == 0 ? 1 : 2));
    }
    rows[0] = "3.....1....0";
    Layout(rows, 0, 3);
    Field().Score = 420;
    Field().TripleBonus = 75;
    Load(3);
    ASSERT_TRUE(ShootAt(Cell(5, 10) + TwVector(0, 30))) << Picture();
    EXPECT_EQ(game.State(), PlayState::kNotPlaying) << Picture();
    ASSERT_TRUE(game.IsOpen(Game::kGameOverPanel));
    const GameCompletePanel& panel = *game.GameOverPanel();
    EXPECT_EQ(panel.ScoreTarget(), 420);
    EXPECT_EQ(panel.BonusTarget(), 75);
    EXPECT_EQ(panel.TotalTarget(), 495);
    ASSERT_EQ(Table(ModeNumber(Game::kClassic)).Count(), 1);
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Records()[0].Scores, 420);
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Records()[0].PlayerName, "Tester");
    EXPECT_EQ(Table(ModeNumber(Game::kArcade)).Count(), 0);
    // The saved game is gone with the finished one.
    EXPECT_EQ(SlotText(), "");
    EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_TRUE(game.IsFinished());

    // The table was written: a fresh table reads the entry back.
    TwTop reread("Data/Classic.Twt");
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.Count(), 1);
}

TEST_F(GameScreenTest, ClearedFieldCompletesAndItsButtonLeadsToTheMenu) {
    StartGame(Game::kClassic);
    Layout({"22"}, 2, 2);
    Field().Score = 100;
    ASSERT_TRUE(ShootAt(Under(0, 0)));
    EXPECT_TRUE(Field().IsEmpty());
    EXPECT_EQ(game.State(), PlayState::kCompleteShown);
    EXPECT_TRUE(game.IsFinished());
    ASSERT_TRUE(game.IsOpen(Game::kCompletePanel));
    EXPECT_EQ(game.CompletePanel()->ScoreTarget(), 130);
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Records().at(0).Scores, 130);

    // The field keeps running under the dialog, but the mouse no longer reaches the launcher.
    const TwVector aim = Gun().Direction();
    MoveMouse(200, 200);
    EXPECT_EQ(Gun().Direction(), aim);

    // The dialog's button drops it at once and shows the menu.
    ASSERT_TRUE(RunUntil([this] { return game.CompletePanel()->IsSteady(); }));
    const TwBaseGuiElemen* ok = game.CompletePanel()->FindElement(Game::kCompleteButton);
    ASSERT_NE(ok, nullptr);
    game.SetPendingEvent(Game::kCompleteButton);
    Frame();
    EXPECT_FALSE(game.IsOpen(Game::kCompletePanel));
    EXPECT_TRUE(game.IsOpen(Game::kMenuPanel));
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_EQ(game.PendingEvent(), "");
}

TEST_F(GameScreenTest, FallingBubblesBurstUnderTheResultDialog) {
    StartGame(Game::kClassic);
    // Bursting the pair at the top leaves the two bubbles hanging from it without hold:
    // the grid is empty at once and the game is won while they are still falling.
    Layout({"00", "1", "1"}, 0, 1);
    ASSERT_TRUE(ShootAt(Under(1, 0)));
    // Everything is either burst or falling: the shot cleared the grid.
    EXPECT_EQ(game.State(), PlayState::kCompleteShown);
    EXPECT_FALSE(Field().FallingList().empty());
    const int scoreAtEnd = Field().Score;
    ASSERT_TRUE(RunUntil([this] { return Field().FallingList().empty(); }, 200));
    EXPECT_EQ(Field().Score, scoreAtEnd + 2 * 70);
    // Still one dialog, one table entry.
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Count(), 1);
    EXPECT_EQ(game.PanelStack().size(), 2u);
}

TEST_F(GameScreenTest, EscapeSavesAndGoesToTheMenuAndLeavesAResultDialog) {
    StartGame(Game::kClassic);
    KeyDown(27);
    EXPECT_EQ(game.PendingEvent(), Game::kMenuButton);
    Frame();
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_NE(SlotText().find("GameID"), std::string::npos);
    EXPECT_FALSE(game.IsFinished());

    // Escape on a result dialog, once it has faded in, leaves it as its button does.
    const auto escapeLeaves = [this](const char* name, GameCompletePanel* panel) {
        ASSERT_TRUE(game.IsOpen(name));
        ASSERT_TRUE(RunUntil([panel] { return panel->IsSteady(); }));
        KeyDown(27);
        Frame();
        EXPECT_EQ(router.Current(), &menu) << name;
        EXPECT_FALSE(game.IsOpen(name));
    };
    // Back in the game; it is cleared, and the finished game is not saved on the way out.
    router.SwitchScreen(Game::kScreenName);
    Layout({"33"}, 3, 3);
    ASSERT_TRUE(ShootAt(Under(1, 0)));
    escapeLeaves(Game::kCompletePanel, game.CompletePanel());
    EXPECT_EQ(SlotText(), "");
    // The same on the game-over dialog.
    StartGame(Game::kClassic);
    game.Session().SetState(PlayState::kLost);
    Frame();
    escapeLeaves(Game::kGameOverPanel, game.GameOverPanel());
}

TEST_F(GameScreenTest, RightClickSwapsAndClicksOnTheMenuButtonNeverFire) {
    if (!packsOpen) {
        GTEST_SKIP() << "the menu button needs its picture from the packs";
    }
    StartGame(Game::kClassic);
    Layout(kSpreadRow, 1, 4);
    RightClick(400, 300);
    EXPECT_EQ(Gun().Loaded()->Colour(), 4);
    EXPECT_EQ(Field().NextBubble()->Colour(), 1);
    // A click on the menu button is the button's, not the launcher's.
    LeftClick(744, 18);
    EXPECT_FALSE(Gun().Flying());
    EXPECT_EQ(game.PendingEvent(), Game::kMenuButton);
}

TEST_F(GameScreenTest, AbandonErasesTheSaveAndSuspendKeepsIt) {
    StartGame(Game::kClassic);
    ASSERT_TRUE(game.SaveGame());
    game.Suspend();
    EXPECT_TRUE(game.IsFinished());
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());
    game.Abandon();
    EXPECT_TRUE(game.IsFinished());
    EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_EQ(SlotText(), "");
}

TEST_F(GameScreenTest, AFinishedGameNeverEndsASecondTime) {
    StartGame(Game::kClassic);
    std::vector<std::string> rows(11, ".....1");
    Layout(rows, 1, 1);
    Field().Score = 50;
    game.Session().SetState(PlayState::kLost);
    Frame();
    ASSERT_TRUE(game.IsOpen(Game::kGameOverPanel));
    // Rows still pushed in under the dialog reach the last row again.
    Field().MapState = GameMap::kRowStart;
    Frames(60);
    EXPECT_FALSE(Field().RowEmpty(Field().Rows() - 1));
    EXPECT_EQ(game.State(), PlayState::kNotPlaying);
    EXPECT_EQ(game.PanelStack().size(), 2u);
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Count(), 1);
}
