// Recordings from the outside: a game played with the mouse to its end is kept, its
// recording checked on the command line gives the score the table shows, and the game
// opened with --replay plays it in the window.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"

namespace e2e {
namespace {

// The text after "<key>" in a table file or the program's output, up to the line's end.
std::string ValueAfter(const std::string& text, const std::string& key) {
    const auto at = text.find(key);
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + key.size();
    return text.substr(start, text.find('\n', start) - start);
}

TEST(Replay, AGamePlayedIsVerifiedOnTheCommandLineAndWatchedWithReplay) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    WritePlayers(run, {"Kim"}, 2);
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
    run.Click(menu::kClassicX, menu::kClassicY);
    ASSERT_TRUE(run.WaitFor("classic-game", GameScreenShown, 10s));
    ASSERT_TRUE(run.WaitSteady("field-revealed", kField, 10s));
    ASSERT_TRUE(PlayUntilResultPanel(run, 150)) << "no result panel after 150 shots";
    ASSERT_TRUE(run.WaitSteady("result-counted", kResultNumbers, 15s));
    run.Click(kResultOkX, kResultOkY);
    ASSERT_TRUE(run.WaitFor("back-at-menu", MainMenuShown, 10s));
    EXPECT_EQ(run.CloseWindow(), 0);

    const std::string table = zvtest::ReadAll(run.DataDir() + "/Classic.Twt");
    // One entry: its keys are written in the block "0 = { ... }".
    std::string name = ValueAfter(table, "Replay=\"");
    ASSERT_FALSE(name.empty()) << table;
    name = name.substr(0, name.find('"'));
    const std::string recording = run.DataDir() + "/Replays/" + name;

    // Checked without a window: the score the table shows, and nothing on standard error
    // about the pictures a run of the rules alone does not load.
    std::string printed;
    Environment env = Environment::Inherited();
    env.Unset("DISPLAY");
    ASSERT_EQ(RunCommand({"/bin/sh", "-c", "exec \"$0\" --verify-replay \"$1\" 2>&1",
                          zvtest::BinaryDir() + "/zorbit-volley", recording},
                         env, &printed, 60s),
              0)
        << printed;
    EXPECT_EQ(printed.find("Not Found"), std::string::npos) << printed;
    EXPECT_EQ(ValueAfter(printed, "mode: "), "Classic") << printed;
    EXPECT_EQ(ValueAfter(printed, "score: "), ValueAfter(table, "Scores=")) << printed;
    EXPECT_FALSE(ValueAfter(printed, "shots: ").empty()) << printed;

    // Watched in the window: the game screen with the field moving as it was played.
    run.Launch({"--replay", recording});
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitFor("replay-started", GameScreenShown, 20s));
    run.MoveTo(790, 590);
    std::this_thread::sleep_for(3s);
    const GameView early = run.Snap("replay-early");
    std::this_thread::sleep_for(4s);
    const GameView later = run.Snap("replay-midway");
    EXPECT_GT(later.ChangedShare(early, kField, 40), 0.01) << "the replay did not move";
    // Escape ends the program that was started to show the recording.
    run.Key("Escape");
    EXPECT_EQ(run.WaitForExit(10s), 0);
}

// A player's own level of three full rows, each of one colour: whatever the aim, a shot of
// the lowest row's colour bursts that row and the next can reach the row above, so the level
// is cleared in a few shots (blocks of colours took fifty shots and more by the fixed aims).
const std::string kShortLevel = "Title = \"Short\"\nLevel1 = {\n  Shots = 3\n  Field = {\n"
                                "    [0 0 0 0 0 0 0 0 0 0 0 0]\n"
                                "    [1 1 1 1 1 1 1 1 1 1 1 1]\n"
                                "    [0 0 0 0 0 0 0 0 0 0 0 0]\n  }\n}\n";

// The level select's first tile and left arrow (to the player's own sets), and the Puzzle
// result dialog's Watch, under its title.
constexpr double kFirstTileX = 200, kFirstTileY = 216;
constexpr double kPrevPageX = 178, kPrevPageY = 137;
constexpr double kPuzzleWatchX = 400, kPuzzleWatchY = 223;

TEST(Replay, APuzzleLevelPlayedToItsEndIsWatchedFromItsResult) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    WritePlayers(run, {"Pia"}, 0);
    zvtest::WriteAll(run.DataDir() + "/Levels/Pia.Txt", kShortLevel);
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
    run.Click(menu::kPuzzleX, menu::kPuzzleY);
    ASSERT_TRUE(run.WaitFor("level-select", [](const GameView& v) { return !MainMenuShown(v); }));
    std::this_thread::sleep_for(1s);
    run.Click(kPrevPageX, kPrevPageY);
    std::this_thread::sleep_for(1s);
    run.Click(kFirstTileX, kFirstTileY);
    ASSERT_TRUE(run.WaitFor("puzzle-level", GameScreenShown, 10s));
    ASSERT_TRUE(run.WaitSteady("level-revealed", kField, 10s));
    ASSERT_TRUE(PlayUntilResultPanel(run, 60)) << "the level did not end in 60 shots";
    ASSERT_TRUE(run.WaitSteady("puzzle-result", kResultNumbers, 15s));
    run.Snap("puzzle-result");

    // The level lasts a few seconds: the replay is watched from its first frame until its
    // field moves, before its own result dialog comes.
    run.Click(kPuzzleWatchX, kPuzzleWatchY);
    ASSERT_TRUE(run.WaitFor("puzzle-replay", GameScreenShown, 10s));
    run.MoveTo(790, 590);
    const GameView early = run.Snap("puzzle-replay-early");
    EXPECT_TRUE(run.WaitFor(
        "puzzle-replay-moved",
        [&early](const GameView& v) {
            return GameScreenShown(v) && v.ChangedShare(early, kField, 40) > 0.005;
        },
        10s))
        << "the replay did not move";
    // The replay ends in its own result dialog; Escape leaves it for the menu.
    ASSERT_TRUE(run.WaitFor("puzzle-replay-end", ResultPanelShown, 60s));
    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("back-at-menu", MainMenuShown, 10s));
    EXPECT_EQ(run.CloseWindow(), 0);

    // The recording names its level on the command line.
    std::string newest;
    for (const auto& entry : std::filesystem::directory_iterator(run.DataDir() + "/Replays")) {
        newest = entry.path().string();
    }
    ASSERT_FALSE(newest.empty());
    std::string printed;
    Environment env = Environment::Inherited();
    env.Unset("DISPLAY");
    ASSERT_EQ(RunCommand({zvtest::BinaryDir() + "/zorbit-volley", "--verify-replay", newest}, env,
                         &printed, 60s),
              0)
        << printed;
    EXPECT_EQ(ValueAfter(printed, "mode: "), "Puzzle") << printed;
    EXPECT_EQ(ValueAfter(printed, "level: "), "1 of User/Pia.Txt") << printed;
}

} // namespace
} // namespace e2e
