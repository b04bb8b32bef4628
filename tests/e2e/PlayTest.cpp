// Playing: a whole Classic game to its end, and an Arcade game left and continued after
// the program was closed and started again.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"

namespace e2e {
namespace {

// A returning player: a profile and settings already on disk.
void ReturningPlayer(GameRun& run, const std::string& name, int difficulty) {
    WritePlayers(run, {name}, difficulty);
}

void StartAtMenu(GameRun& run) {
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
}

// The score of the first row of a high-score table file ("0.Scores=..."), 0 when absent.
int ScoreInTable(const std::string& table) {
    const std::string key = "0.Scores=";
    const auto at = table.find(key);
    return at == std::string::npos ? 0 : std::atoi(table.c_str() + at + key.size());
}

TEST(ClassicGame, PlayedToTheEndThenTheScoreIsInTheTable) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    ReturningPlayer(run, "Rex", 2);
    StartAtMenu(run);

    run.Click(menu::kClassicX, menu::kClassicY);
    ASSERT_TRUE(run.WaitFor("classic-game", GameScreenShown, 10s));
    ASSERT_TRUE(run.WaitSteady("field-revealed", kField, 10s));

    // Fire until a result panel covers the field's middle (the game is lost or cleared),
    // looking as often as possible after each shot so the panel's counting is seen.
    const GameView start = run.Look();
    std::vector<GameView> panel;
    ASSERT_TRUE(PlayUntilResultPanel(run, 150, &panel)) << "no result panel after 150 shots";
    EXPECT_GT(run.Look().ChangedShare(start, kField, 40), 0.05) << "the field never changed";
    run.Snap("result-counting");
    const auto watchEnd = std::chrono::steady_clock::now() + 1500ms;
    while (std::chrono::steady_clock::now() < watchEnd) {
        panel.push_back(run.Look());
    }

    // The panel counts score, bonus and total up from zero, then they hold: while it was
    // on screen its numbers changed.
    ASSERT_TRUE(run.WaitSteady("result-counted", kResultNumbers, 15s));
    const GameView counted = run.Snap("result-final");
    double largestChange = 0;
    for (const GameView& view : panel) {
        largestChange = std::max(largestChange, counted.Difference(view, kResultNumbers));
    }

    run.Click(kResultOkX, kResultOkY);
    ASSERT_TRUE(run.WaitFor("back-at-menu", MainMenuShown, 10s));

    // The table of Classic scores holds the player's entry, first row, name and score.
    const std::string table = zvtest::ReadAll(run.DataDir() + "/Classic.Twt");
    EXPECT_NE(table.find("Rex"), std::string::npos) << table;
    // A score of 128 or more counts up in about 128 steps of a few frames each, long enough to
    // be seen; a smaller one (a game lost early) may be counted before the panel has faded in.
    if (ScoreInTable(table) >= 128) {
        EXPECT_GT(largestChange, 0.3) << "the numbers did not count up";
    }
    run.Click(menu::kScoresX, menu::kScoresY);
    ASSERT_TRUE(run.WaitFor("score-dialog", ScoreDialogShown, 10s));
    ASSERT_TRUE(run.WaitSteady("score-dialog-shown", {170, 140, 460, 330}, 10s));
    const GameView scores = run.Snap("score-table");
    EXPECT_GT(scores.WhiteShare({246, 150, 60, 20}, 180), 0.02) << "no name in the first row";
    EXPECT_GT(scores.WhiteShare({530, 150, 65, 20}, 180), 0.02) << "no score in the first row";
    EXPECT_LT(scores.WhiteShare({246, 180, 350, 270}, 180), 0.002) << "more rows than games";
    EXPECT_EQ(run.CloseWindow(), 0);
}

TEST(ArcadeGame, LeftThenContinuedAfterARestartWithTheSameField) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    ReturningPlayer(run, "Ivy", 0);
    StartAtMenu(run);
    EXPECT_FALSE(ContinueEnabled(run.Look()));

    run.Click(menu::kArcadeX, menu::kArcadeY);
    ASSERT_TRUE(run.WaitFor("arcade-game", GameScreenShown, 10s));
    ASSERT_TRUE(run.WaitSteady("field-revealed", kField, 10s));
    for (int shot = 0; shot < 4; ++shot) {
        const auto& aim = kAimPoints[shot];
        run.Click(aim.x, aim.y);
        std::this_thread::sleep_for(700ms);
    }
    // The pointer goes aside so that it hides nothing of the field.
    run.MoveTo(700, 300);
    ASSERT_TRUE(run.WaitSteady("field-before-leaving", kField, 10s));
    const GameView before = run.Snap("field-before-leaving");

    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("menu-after-escape", MainMenuShown, 10s));
    EXPECT_TRUE(ContinueEnabled(run.Look()));
    EXPECT_EQ(run.CloseWindow(), 0);

    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitFor("menu-after-restart", MainMenuShown, 20s));
    EXPECT_TRUE(ContinueEnabled(run.Look())) << "Continue is not offered after the restart";

    ExpectContinuedField(run, before, "left");
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
