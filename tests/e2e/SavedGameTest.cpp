// Saved games from the outside: a game reaches its own player's slot whoever is active when
// the program ends, and a killed program loses nothing but the shot under way.
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"
#include "data/TwDefFile.h"

namespace e2e {
namespace {

// The players dialog's list.
constexpr Area kPlayerList{250, 130, 300, 120};

// Bob's Arcade game: three bubbles, as the game writes a slot.
const std::string kBobsGame = "GameID=1\nPlayerBubbleID=3\nNextPlayerBubbleID=3\nScore=120.000000\n"
                              "Map={[5 5 5]}\n";

void StartAtMenu(GameRun& run) {
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";
    ASSERT_TRUE(run.WaitFor("menu", MainMenuShown, 20s));
}

// The mode ("GameID") of the game in a slot; -1 when the slot holds no game.
int SlotMode(const GameRun& run, const std::string& name) {
    TwDefFile slot;
    if (zvtest::ReadAll(SlotFile(run, name)).size() < 4 ||
        slot.LoadFromFile(SlotFile(run, name)) != 0) {
        return -1;
    }
    return slot.GetInt("GameID", -1);
}

void Shoot(GameRun& run, double x, double y) {
    run.Click(x, y);
    std::this_thread::sleep_for(700ms);
}

// Bob has a saved Arcade game. Ann plays Classic, fires once and presses Escape (her game is
// saved); she opens the players dialog and clicks Bob, who is active from then on.
void AnnLeavesHerGameAndPicksBob(GameRun& run) {
    WritePlayers(run, {"Ann", "Bob"}, 0);
    std::filesystem::create_directories(run.DataDir() + "/Save");
    zvtest::WriteAll(SlotFile(run, "Bob"), kBobsGame);
    StartAtMenu(run);
    EXPECT_FALSE(ContinueEnabled(run.Look())) << "Ann has no saved game yet";

    run.Click(menu::kClassicX, menu::kClassicY);
    ASSERT_TRUE(run.WaitFor("anns-game", GameScreenShown, 10s));
    ASSERT_TRUE(run.WaitSteady("anns-field", kField, 10s));
    Shoot(run, 400, 150);
    run.Key("Escape");
    ASSERT_TRUE(run.WaitFor("menu-after-escape", MainMenuShown, 10s));
    EXPECT_EQ(SlotMode(run, "Ann"), 0);

    run.Click(menu::kPlayersX, menu::kPlayersY);
    ASSERT_TRUE(run.WaitFor("players-dialog", [](const GameView& v) { return !MainMenuShown(v); }));
    ASSERT_TRUE(run.WaitSteady("players-dialog-shown", kPlayerList));
    run.Click(players::kEntryX, players::kFirstEntryY + players::kEntryStep);
    ASSERT_TRUE(run.WaitSteady("bob-picked", kPlayerList));
}

// Each player's slot holds that player's own game.
void ExpectBothGamesKept(const GameRun& run) {
    EXPECT_EQ(zvtest::ReadAll(SlotFile(run, "Bob")), kBobsGame) << "Bob's game was overwritten";
    EXPECT_EQ(SlotMode(run, "Ann"), 0) << "Ann's Classic game is not in her slot";
}

TEST(SavedGameOwner, WindowClosedAfterPickingAnotherPlayerKeepsBothGames) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    AnnLeavesHerGameAndPicksBob(run);
    if (HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(run.CloseWindow(), 0);
    ExpectBothGamesKept(run);

    // At the next start Bob continues his own Arcade game, and it stays his.
    WritePlayers(run, {"Bob", "Ann"}, 0);
    StartAtMenu(run);
    EXPECT_TRUE(ContinueEnabled(run.Look()));
    run.Click(menu::kContinueX, menu::kContinueY);
    ASSERT_TRUE(run.WaitFor("bobs-game", GameScreenShown, 10s));
    EXPECT_EQ(run.CloseWindow(), 0);
    EXPECT_EQ(SlotMode(run, "Bob"), 1);
    EXPECT_EQ(SlotMode(run, "Ann"), 0);
}

TEST(SavedGameOwner, TerminatedAfterACancelledNewPlayerKeepsBothGames) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    AnnLeavesHerGameAndPicksBob(run);
    if (HasFatalFailure()) {
        return;
    }
    run.Click(players::kNewX, players::kNewY);
    ASSERT_TRUE(run.WaitFor("new-player", NameDialogShown, 10s));
    run.Click(players::kNameCancelX, players::kNameCancelY);
    ASSERT_TRUE(
        run.WaitFor("name-cancelled", [](const GameView& v) { return !NameDialogShown(v); }));
    ASSERT_TRUE(run.WaitSteady("players-again", kPlayerList));

    ASSERT_EQ(::kill(run.Game().Pid(), SIGTERM), 0);
    EXPECT_TRUE(run.Game().WaitForExit(10s).has_value()) << "SIGTERM did not end the game";
    ExpectBothGamesKept(run);
}

// A few shots, then the program is killed outright: the next start continues the field as it
// was after the last shot.
TEST(SaveEveryShot, KilledGameContinuesFromTheLastShot) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    WritePlayers(run, {"Rex"}, 0);
    StartAtMenu(run);
    run.Click(menu::kClassicX, menu::kClassicY);
    ASSERT_TRUE(run.WaitFor("classic-game", GameScreenShown, 10s));
    ASSERT_TRUE(run.WaitSteady("field-revealed", kField, 10s));
    EXPECT_EQ(SlotMode(run, "Rex"), -1) << "saved before the first shot";

    // Each shot, once its field has come to rest, is on disk.
    const struct { double x, y; } aims[] = {{400, 120}, {250, 200}, {560, 200}};
    std::string previous;
    for (const auto& aim : aims) {
        Shoot(run, aim.x, aim.y);
        run.MoveTo(700, 300);
        ASSERT_TRUE(run.WaitSteady("after-shot", kField, 10s));
        const std::string slot = zvtest::ReadAll(SlotFile(run, "Rex"));
        EXPECT_EQ(SlotMode(run, "Rex"), 0);
        EXPECT_NE(slot, previous) << "the shot was not saved";
        previous = slot;
    }
    const GameView before = run.Snap("field-before-the-kill");

    ASSERT_EQ(::kill(run.Game().Pid(), SIGKILL), 0);
    ASSERT_TRUE(run.Game().WaitForExit(10s).has_value());
    EXPECT_EQ(zvtest::ReadAll(SlotFile(run, "Rex")), previous);

    StartAtMenu(run);
    EXPECT_TRUE(ContinueEnabled(run.Look())) << "Continue is not offered after the kill";
    ExpectContinuedField(run, before, "before the kill");
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
