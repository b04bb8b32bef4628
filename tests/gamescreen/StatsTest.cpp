// The statistics a game played through the screen's own input leaves in its player's file:
// once when the game starts, once per shot at rest, once when it ends.
#include "GameScreenFixture.h"

#include "PlayerStats.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

using gstest::GameScreenTest;

namespace {

class StatsTest : public GameScreenTest {
protected:
    // Runs until the last shot has come to rest (and its statistics are written).
    void Rest() {
        ASSERT_TRUE(RunUntil([this] { return Field().Settled(); }));
        Frames(3);
    }
};

TEST_F(StatsTest, ASeededGamePlayedByInputGivesTheExpectedCounts) {
    StartGame(Game::kClassic);
    EXPECT_EQ(PlayerStats::Load("Tester").modes[ModeNumber(Game::kClassic)].started, 1);
    // Pairs hanging from the ceiling, far apart; a spare of each colour keeps every colour.
    Layout({"0.1.2.3.4.50", "0.1.2.3.4.51", "...........2", "...........3", "...........4"}, 0, 1);
    struct Shot {
        int colour, column, row;
    };
    const Shot shots[] = {{0, 0, 1}, {1, 2, 1}, {5, 11, 4}, {2, 4, 1}};
    for (const Shot& shot : shots) {
        Load(shot.colour);
        ASSERT_TRUE(ShootAt(Under(shot.column, shot.row))) << Picture();
        Rest();
    }
    const PlayerStats stats = PlayerStats::Load("Tester");
    EXPECT_EQ(stats.shots, 4);
    EXPECT_EQ(stats.burstingShots, 3);
    EXPECT_EQ(stats.Accuracy(), 75);
    EXPECT_EQ(stats.bubblesBurst, 9);
    EXPECT_EQ(stats.bubblesDropped, 0);
    EXPECT_EQ(stats.longestRun, 2);
    EXPECT_EQ(stats.currentRun, 1);
    EXPECT_EQ(stats.modes[ModeNumber(Game::kClassic)].finished, 0);
    EXPECT_GE(stats.secondsPlayed, 1);
    // Frames alone (aiming, nothing fired) write nothing.
    const std::string before = zvtest::ReadAll(PlayerStats::PathOf("Tester"));
    Frames(200);
    EXPECT_EQ(zvtest::ReadAll(PlayerStats::PathOf("Tester")), before);
}

TEST_F(StatsTest, TheLastShotAndTheWonGameAreCountedOnce) {
    StartGame(Game::kClassic);
    // A row of four and one bubble hanging under it: bursting the row lets it fall.
    Layout({"0000", "5"}, 0, 0);
    ASSERT_TRUE(ShootAt(Under(3, 0))) << Picture();
    ASSERT_EQ(game.State(), PlayState::kCompleteShown);
    Frames(100);
    const PlayerStats stats = PlayerStats::Load("Tester");
    EXPECT_EQ(
        stats.modes[ModeNumber(Game::kClassic)],
        (PlayerStats::Mode{1, 1, 1, Table(ModeNumber(Game::kClassic)).Records().at(0).Scores}));
    EXPECT_EQ(stats.shots, 1);
    EXPECT_EQ(stats.bubblesBurst, 5);
    EXPECT_EQ(stats.bubblesDropped, 1);
    EXPECT_EQ(stats.biggestDrop, 1);
    EXPECT_EQ(stats.modes[ModeNumber(Game::kArcade)], PlayerStats::Mode{});
}

TEST_F(StatsTest, TwoPlayersStatisticsStayApart) {
    StartGame(Game::kClassic);
    Layout(gstest::kSpreadRow, gstest::MissColour(0), 1);
    ASSERT_TRUE(ShootAt(Under(0, 0)));
    Rest();

    TwProfileStore::Instance().TryAddProfile("Other");
    ASSERT_EQ(TwProfileStore::Instance().ActiveName(), "Other");
    StartGame(Game::kArcade);
    Layout(gstest::kSpreadRow, gstest::MissColour(2), 1);
    ASSERT_TRUE(ShootAt(Under(2, 0)));
    Rest();
    Load(gstest::MissColour(4));
    ASSERT_TRUE(ShootAt(Under(4, 0)));
    Rest();

    const PlayerStats tester = PlayerStats::Load("Tester");
    const PlayerStats other = PlayerStats::Load("Other");
    EXPECT_EQ(tester.shots, 1);
    EXPECT_EQ(tester.modes[ModeNumber(Game::kClassic)].started, 1);
    EXPECT_EQ(tester.modes[ModeNumber(Game::kArcade)].started, 0);
    EXPECT_EQ(other.shots, 2);
    EXPECT_EQ(other.modes[ModeNumber(Game::kClassic)].started, 0);
    EXPECT_EQ(other.modes[ModeNumber(Game::kArcade)].started, 1);
}

TEST_F(StatsTest, PausedTimeIsNotPlayedTime) {
    StartGame(Game::kClassic);
    Layout(gstest::kSpreadRow, gstest::MissColour(0), 1);
    KeyDown('P');
    ASSERT_TRUE(game.Paused());
    Frames(500, 20); // ten seconds
    KeyDown('P');
    ASSERT_TRUE(ShootAt(Under(0, 0)));
    Rest();
    EXPECT_LT(PlayerStats::Load("Tester").secondsPlayed, 5);
}

} // namespace
