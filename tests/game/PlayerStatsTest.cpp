// A player's lifetime statistics: what the game's events add, the file that keeps them, a
// damaged file, and a write killed half way.
#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include "PlayerStats.h"
#include "TestSupport.h"
#include "data/TwDefFile.h"
#include "platform/os/TwUserFiles.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::string> DamagedCopies(const std::string& path) {
    std::vector<std::string> copies;
    const fs::path file(path);
    for (const auto& entry : fs::directory_iterator(file.parent_path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(file.filename().string() + ".damaged-", 0) == 0) {
            copies.push_back(entry.path().string());
        }
    }
    return copies;
}

TEST(PlayerStats, ShotsAndGamesAddUp) {
    PlayerStats stats;
    stats.GameStarted(0);
    stats.ShotDone(3, 0);
    stats.ShotDone(4, 6);
    stats.ShotDone(0, 0); // a miss ends the run
    stats.ShotDone(3, 2);
    stats.GameEnded(0, true, 900);
    stats.GameStarted(1);
    stats.GameEnded(1, false, 300);
    stats.AddSeconds(75);

    EXPECT_EQ(stats.modes[0], (PlayerStats::Mode{1, 1, 1, 900}));
    EXPECT_EQ(stats.modes[1], (PlayerStats::Mode{1, 1, 0, 300}));
    EXPECT_EQ(stats.shots, 4);
    EXPECT_EQ(stats.burstingShots, 3);
    EXPECT_EQ(stats.Accuracy(), 75);
    EXPECT_EQ(stats.bubblesBurst, 10);
    EXPECT_EQ(stats.bubblesDropped, 8);
    EXPECT_EQ(stats.biggestDrop, 6);
    EXPECT_EQ(stats.longestRun, 2);
    EXPECT_EQ(stats.currentRun, 1);
    EXPECT_EQ(stats.secondsPlayed, 75);

    // A lower score leaves the best; counts stop at the largest int.
    stats.GameStarted(0);
    stats.GameEnded(0, false, 100);
    EXPECT_EQ(stats.modes[0].bestScore, 900);
    stats.bubblesBurst = INT_MAX - 1;
    stats.ShotDone(5, 0);
    EXPECT_EQ(stats.bubblesBurst, INT_MAX);
    // A game continued from before the statistics existed still ends as started.
    PlayerStats older;
    older.GameEnded(1, true, 50);
    EXPECT_EQ(older.modes[1], (PlayerStats::Mode{1, 1, 1, 50}));
}

TEST(PlayerStats, KeptPerPlayerInTheirOwnFileAndDeletedWithThem) {
    zvtest::ScopedUserDirs dirs;
    EXPECT_EQ(PlayerStats::Load("Ann"), PlayerStats()) << "none before the first game";
    ASSERT_TRUE(UpdatePlayerStats("Ann", [](PlayerStats& s) { s.ShotDone(3, 1); }));
    ASSERT_TRUE(UpdatePlayerStats("Bob/..", [](PlayerStats& s) { s.GameStarted(1); }));
    EXPECT_EQ(PlayerStats::Load("Ann").shots, 1);
    EXPECT_EQ(PlayerStats::Load("Ann").modes[1].started, 0);
    EXPECT_EQ(PlayerStats::Load("Bob/..").modes[1].started, 1);
    EXPECT_EQ(PlayerStats::Load("Bob/..").shots, 0);
    // The name never leaves the statistics folder.
    EXPECT_EQ(fs::path(PlayerStats::PathOf("Bob/..")).parent_path(),
              fs::path(dirs.DataHome() + "/zorbit-volley/Stats"));
    EXPECT_FALSE(UpdatePlayerStats("", [](PlayerStats& s) { s.ShotDone(1, 0); }));

    PlayerStats::Delete("Ann");
    EXPECT_FALSE(fs::exists(PlayerStats::PathOf("Ann")));
    EXPECT_EQ(PlayerStats::Load("Bob/..").modes[1].started, 1);
}

TEST(PlayerStats, ADamagedFileStartsThatPlayerAfreshAndIsKeptBeside) {
    zvtest::ScopedUserDirs dirs;
    ASSERT_TRUE(UpdatePlayerStats("Bob", [](PlayerStats& s) { s.ShotDone(3, 0); }));
    const std::string path = PlayerStats::PathOf("Ann");
    for (const std::string& damaged :
         {std::string("Shots=12\nBurstingShots=20\n"), std::string("Shots=-3\n"),
          std::string("Shots=4\n}\nBubblesBurst=2\n"), std::string("Shots=\"many\"\n")}) {
        for (const std::string& copy : DamagedCopies(path)) {
            fs::remove(copy);
        }
        zvtest::WriteAll(path, damaged);
        EXPECT_EQ(PlayerStats::Load("Ann"), PlayerStats()) << damaged;
        ASSERT_TRUE(UpdatePlayerStats("Ann", [](PlayerStats& s) { s.ShotDone(0, 0); }));
        EXPECT_EQ(PlayerStats::Load("Ann").shots, 1) << damaged;
        const std::vector<std::string> copies = DamagedCopies(path);
        ASSERT_FALSE(copies.empty()) << damaged;
        EXPECT_EQ(zvtest::ReadAll(copies.front()), damaged);
    }
    EXPECT_EQ(PlayerStats::Load("Bob").shots, 1) << "another player's statistics are untouched";
}

// The file is written through the atomic writer: a writer killed at any moment leaves the
// old statistics or the new ones, never a file that reads as damaged.
TEST(PlayerStats, AWriterKilledHalfWayLeavesTheOldOrTheNewFile) {
    zvtest::ScopedUserDirs dirs;
    ASSERT_TRUE(UpdatePlayerStats("Ann", [](PlayerStats& s) { s.GameStarted(0); }));
    for (int round = 0; round < 12; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                UpdatePlayerStats("Ann", [](PlayerStats& s) { s.ShotDone(3, 2); });
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + 1700 * round));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        TwDefFile file;
        ASSERT_EQ(file.LoadFromFile(PlayerStats::PathOf("Ann")), 0) << "round " << round;
        PlayerStats read;
        EXPECT_TRUE(read.Read(file)) << "round " << round;
        EXPECT_EQ(read.modes[0].started, 1);
        EXPECT_EQ(read.bubblesBurst, 3 * read.shots);
    }
    EXPECT_TRUE(DamagedCopies(PlayerStats::PathOf("Ann")).empty());
}

} // namespace
