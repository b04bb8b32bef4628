// The Puzzle mode from the outside: the level select opens from the main menu, the player's
// own set (the page before the first, round from the shipped sets) shows its level 1, which
// starts from its tile, and a level killed after a few shots continues where it was.
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"
#include "data/TwDefFile.h"

namespace e2e {
namespace {

// The level select (560 x 520, centred): its tile grid, the first tile and the left arrow.
constexpr Area kTileGrid{150, 172, 500, 300};
constexpr double kFirstTileX = 200, kFirstTileY = 216;
constexpr double kPrevPageX = 178, kPrevPageY = 137;

// A set of the player's own: one level of six rows in which no bubble touches its own
// colour, so a few shots cannot clear it.
const std::string kOwnSet = "Title = \"Pia's Set\"\nLevel1 = {\n  Shots = 6\n  Field = {\n"
                            "    [0 1 2 3 4 5 0 1 2 3 4 5]\n    [3 4 5 0 1 2 3 4 5 0 1 2]\n"
                            "    [1 2 3 4 5 0 1 2 3 4 5 0]\n    [4 5 0 1 2 3 4 5 0 1 2 3]\n"
                            "    [2 3 4 5 0 1 2 3 4 5 0 1]\n    [5 0 1 2 3 4 5 0 1 2 3 4]\n"
                            "  }\n}\n";

void StartAtMenu(GameRun& run) {
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
}

TEST(PuzzleMode, KilledLevelContinuesFromTheLastShot) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    WritePlayers(run, {"Pia"}, 0);
    zvtest::WriteAll(run.DataDir() + "/Levels/Pia.Txt", kOwnSet);
    StartAtMenu(run);
    run.Click(menu::kPuzzleX, menu::kPuzzleY);
    ASSERT_TRUE(run.WaitFor("level-select", [](const GameView& v) { return !MainMenuShown(v); }));
    ASSERT_TRUE(run.WaitSteady("level-select-shown", kTileGrid, 10s));
    run.Click(kPrevPageX, kPrevPageY);
    ASSERT_TRUE(run.WaitSteady("own-set-shown", kTileGrid, 10s));
    run.Click(kFirstTileX, kFirstTileY);
    ASSERT_TRUE(run.WaitFor("puzzle-level", GameScreenShown, 10s));
    run.MoveTo(700, 300);
    ASSERT_TRUE(run.WaitSteady("level-revealed", kField, 10s));

    const struct { double x, y; } aims[] = {{400, 200}, {250, 250}, {560, 250}};
    std::string previous;
    for (const auto& aim : aims) {
        run.Click(aim.x, aim.y);
        std::this_thread::sleep_for(700ms);
        run.MoveTo(700, 300);
        ASSERT_TRUE(run.WaitSteady("after-shot", kField, 10s));
        TwDefFile slot;
        ASSERT_EQ(slot.LoadFromFile(SlotFile(run, "Pia")), 0) << "the shot was not saved";
        EXPECT_EQ(slot.GetInt("GameID", -1), 2);
        EXPECT_EQ(slot.GetInt("PuzzleLevel", -1), 1);
        const std::string bytes = zvtest::ReadAll(SlotFile(run, "Pia"));
        EXPECT_NE(bytes, previous);
        previous = bytes;
    }
    const GameView before = run.Snap("puzzle-before-the-kill");
    ASSERT_EQ(::kill(run.Game().Pid(), SIGKILL), 0);
    ASSERT_TRUE(run.Game().WaitForExit(10s).has_value());

    StartAtMenu(run);
    EXPECT_TRUE(ContinueEnabled(run.Look())) << "Continue is not offered after the kill";
    ExpectContinuedField(run, before, "before the kill");
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
