#include <gtest/gtest.h>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "gui/TwScoreDlg.h"
#include "records/TwHighScoreTables.h"
#include "records/TwTop.h"

using menutest::MenuHarness;

namespace {

void Fill(TwTop& table, int rows) {
    for (int i = 0; i < rows; ++i) {
        TwTopRecord record;
        record.PlayerName = "P" + std::to_string(i);
        record.Scores = 1000 - i;
        table.Add(record);
    }
}

} // namespace

// Rows fade in one after another: each starts once the row above is past an eighth.
TEST(ScoreDialog, RowsRevealFromTheTop) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwTop& classic = *TwHighScoreTable(0);
    Fill(classic, 3);
    TwScoreDlg& scores = *menu.Menu().ScoreDialog();

    scores.Open();
    EXPECT_TRUE(scores.IsRevealing());
    EXPECT_EQ(classic.At(0).DisplayAlpha, 0);
    scores.Update(20);
    EXPECT_EQ(classic.At(0).DisplayAlpha, 20);
    EXPECT_EQ(classic.At(1).DisplayAlpha, 0);
    scores.Update(20);
    EXPECT_EQ(classic.At(0).DisplayAlpha, 40);
    EXPECT_EQ(classic.At(1).DisplayAlpha, 20) << "starts on the second frame";
    EXPECT_EQ(classic.At(2).DisplayAlpha, 0);
    for (int frame = 3; frame <= 12; ++frame) {
        scores.Update(20);
    }
    EXPECT_EQ(classic.At(0).DisplayAlpha, 240);
    scores.Update(20);
    EXPECT_EQ(classic.At(0).DisplayAlpha, 255) << "opaque on the 13th frame";
    while (scores.IsRevealing()) {
        scores.Update(20);
    }
    EXPECT_EQ(classic.At(2).DisplayAlpha, 255);

    // Closing fades the rows out with the dialog.
    scores.Close();
    scores.Update(100);
    EXPECT_EQ(classic.At(1).DisplayAlpha, static_cast<int>(scores.Alpha()));
    EXPECT_LT(classic.At(1).DisplayAlpha, 255);
}

TEST(ScoreDialog, EmptyTableNeverFinishesRevealing) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwScoreDlg& scores = *menu.Menu().ScoreDialog();
    scores.Open();
    for (int i = 0; i < 50; ++i) {
        scores.Update(20);
    }
    EXPECT_TRUE(scores.IsRevealing());
}

// The arrows only lead to the other table; a second press of the right arrow does not restart
// the Arcade table's reveal, and every opening starts again at Classic.
TEST(ScoreDialog, ArrowsSwitchBetweenTheTwoTables) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwTop& arcade = *TwHighScoreTable(1);
    Fill(arcade, 2);
    TwScoreDlg& scores = *menu.Menu().ScoreDialog();

    scores.Open();
    scores.NextTable();
    EXPECT_EQ(scores.CurrentTable(), 1);
    while (scores.IsRevealing()) {
        scores.Update(20);
    }
    scores.NextTable();
    EXPECT_EQ(scores.CurrentTable(), 1);
    EXPECT_FALSE(scores.IsRevealing());
    EXPECT_EQ(arcade.At(0).DisplayAlpha, 255);

    scores.PrevTable();
    EXPECT_EQ(scores.CurrentTable(), 0);
    scores.PrevTable();
    EXPECT_EQ(scores.CurrentTable(), 0);

    scores.NextTable();
    scores.Open();
    EXPECT_EQ(scores.CurrentTable(), 0);
}
