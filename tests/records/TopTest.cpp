#include "GfxTestSupport.h"
#include "TestSupport.h"
#include "data/TwDefFile.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwTop.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TwTopRecord Entry(const std::string& name, int score) {
    TwTopRecord record;
    record.PlayerName = name;
    record.Scores = score;
    return record;
}

std::vector<int> Scores(const TwTop& table) {
    std::vector<int> scores;
    for (const TwTopRecord& r : table.Records()) {
        scores.push_back(r.Scores);
    }
    return scores;
}

} // namespace

TEST(HighScores, FullTableKeepsTheEarlierOfEqualScores) {
    TwTop table("Data/Classic.Twt");
    for (int i = 0; i < 10; ++i) {
        table.Add(Entry("old" + std::to_string(i), 500));
    }
    table.Add(Entry("tie", 500));
    ASSERT_EQ(table.Count(), 10);
    for (const TwTopRecord& r : table.Records()) {
        EXPECT_NE(r.PlayerName, "tie");
    }
    table.Add(Entry("best", 501));
    ASSERT_EQ(table.Count(), 10);
    EXPECT_EQ(table.Records().front().PlayerName, "best");
    EXPECT_EQ(table.Records().back().PlayerName, "old8"); // old9 dropped

    // Zero is never entered; a negative score is, and sorts last.
    TwTop small("Data/Arcade.Twt", 3);
    small.Add(Entry("zero", 0));
    small.Add(Entry("neg", -5));
    small.Add(Entry("a", 10));
    small.Add(Entry("b", 10));
    EXPECT_EQ(Scores(small), (std::vector<int>{10, 10, -5}));
    EXPECT_EQ(small.Records()[0].PlayerName, "a");
    EXPECT_EQ(small.Records()[1].PlayerName, "b");
}

TEST(HighScores, LoadKeepsFileOrderUpToTheTablesCapacity) {
    zvtest::ScopedUserDirs dirs;
    TwDefFile file;
    file.SetInt("NumRecords", 12);
    for (int i = 0; i < 12; ++i) {
        file.SetString(std::to_string(i) + ".PlayerName", "p" + std::to_string(i));
        file.SetInt(std::to_string(i) + ".Scores", (i * 37) % 100 + 1);
    }
    ASSERT_EQ(file.Save(TwUserPath("Data/Classic.Twt")), 0);

    // The table shows ten rows: the first ten of the file are kept, in the file's order.
    TwTop table("Data/Classic.Twt");
    ASSERT_TRUE(table.Load());
    ASSERT_EQ(table.Count(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(table.Records()[static_cast<std::size_t>(i)].Scores, (i * 37) % 100 + 1);
    }
    table.Add(Entry("new", 50));
    EXPECT_EQ(table.Count(), 10);
    const std::vector<int> scores = Scores(table);
    EXPECT_TRUE(std::is_sorted(scores.rbegin(), scores.rend()));
    // The lowest of the eleven (1) went; the next lowest (12) is now last.
    EXPECT_EQ(table.Records().back().Scores, 12);
}

TEST(HighScores, SavedTableReadsBackEqualAndClearSurvivesRestart) {
    zvtest::ScopedUserDirs dirs;
    TwTop table("Data/Arcade.Twt");
    TwTopRecord full = Entry("Ann \"the\" \\ Best", 1234);
    full.Difficulty = "Hard";
    full.Level = 3;
    full.Episode = 2;
    full.Time = 99;
    table.Add(full);
    table.Add(Entry("Bob", 77));
    ASSERT_TRUE(table.Save());

    TwTop again("Data/Arcade.Twt");
    ASSERT_TRUE(again.Load());
    ASSERT_EQ(again.Count(), 2);
    const TwTopRecord& r = again.Records()[0];
    EXPECT_EQ(r.PlayerName, full.PlayerName);
    EXPECT_EQ(r.Difficulty, "Hard");
    EXPECT_EQ(r.Scores, 1234);
    EXPECT_EQ(r.Level, 3);
    EXPECT_EQ(r.Episode, 2);
    EXPECT_EQ(r.Time, 99);
    EXPECT_EQ(again.Records()[1].PlayerName, "Bob");

    again.Clear();
    TwTop afterClear("Data/Arcade.Twt");
    EXPECT_TRUE(afterClear.Load());
    EXPECT_EQ(afterClear.Count(), 0);
}

// A damaged table keeps every score it could read; the damaged file is copied aside, the
// player is told once and the kept scores are written back, so the next score joins them.
TEST(HighScores, DamagedFilesKeepEveryReadableScore) {
    const std::string good = "NumRecords=2\n0.PlayerName=\"Ann\"\n0.Scores=900\n"
                             "1.PlayerName=\"Bob\"\n1.Scores=300\n";
    const std::string damages[] = {good + "junk\n", good + "}\n", good + "2.PlayerName=\"Cy",
                                   "}\n" + good};
    for (const std::string& damaged : damages) {
        zvtest::ScopedUserDirs dirs;
        const std::string path = TwUserPath("Data/Classic.Twt");
        zvtest::WriteAll(path, damaged);
        zvtest::CapturedMessages messages;
        TwTop table("Data/Classic.Twt");
        EXPECT_FALSE(table.Load()) << damaged;
        EXPECT_EQ(Scores(table), (std::vector<int>{900, 300})) << damaged;
        EXPECT_EQ(messages.Texts().size(), 1u) << damaged;
        const auto copies =
            zvtest::FilesStartingWith(dirs.DataHome() + "/zorbit-volley", "Classic.Twt.damaged-");
        ASSERT_EQ(copies.size(), 1u);
        EXPECT_EQ(zvtest::ReadAll(dirs.DataHome() + "/zorbit-volley/" + copies[0]), damaged);

        table.Add(Entry("new", 500));
        ASSERT_TRUE(table.Save());
        TwTop again("Data/Classic.Twt");
        EXPECT_TRUE(again.Load());
        EXPECT_EQ(Scores(again), (std::vector<int>{900, 500, 300}));
    }
}

// A count that does not match the file neither invents rows nor loses the rows there.
TEST(HighScores, RecordCountsThatLieChangeNothingThatIsThere) {
    zvtest::ScopedUserDirs dirs;
    TwTop missing("Data/Classic.Twt");
    EXPECT_FALSE(missing.Load());
    EXPECT_EQ(missing.Count(), 0);

    const std::string rows = "0.PlayerName=\"Ann\"\n0.Scores=900\n1.Scores=5\n";
    for (const char* count : {"NumRecords=-1\n", "", "NumRecords=2000000000\n",
                              "NumRecords=1000000\n", "NumRecords=x\n"}) {
        zvtest::WriteAll(TwUserPath("Data/Classic.Twt"), count + rows);
        TwTop table("Data/Classic.Twt");
        EXPECT_TRUE(table.Load()) << count;
        EXPECT_EQ(Scores(table), (std::vector<int>{900, 5})) << count;
    }
    // Rows the file has no key of are not made up; missing keys read as 0 / empty.
    zvtest::WriteAll(TwUserPath("Data/Classic.Twt"), "NumRecords=2000000000\n1.Scores=5\n");
    TwTop hostile("Data/Classic.Twt");
    EXPECT_TRUE(hostile.Load());
    ASSERT_EQ(hostile.Count(), 1);
    EXPECT_EQ(hostile.Records()[0].Scores, 5);
    EXPECT_EQ(hostile.Records()[0].PlayerName, "");
    // A count below the rows there takes only as many, as the file says.
    zvtest::WriteAll(TwUserPath("Data/Classic.Twt"), "NumRecords=1\n" + rows);
    TwTop shorter("Data/Classic.Twt");
    EXPECT_TRUE(shorter.Load());
    EXPECT_EQ(Scores(shorter), (std::vector<int>{900}));
}

TEST(HighScores, FailedSaveKeepsThePreviousFile) {
    zvtest::ScopedUserDirs dirs;
    TwTop table("Data/Classic.Twt");
    table.Add(Entry("kept", 10));
    ASSERT_TRUE(table.Save());
    const std::string before = zvtest::ReadAll(TwUserPath("Data/Classic.Twt"));

    // The file's place is taken by a folder: the save reports failure.
    TwTop blocked("Data/Blocked.Twt");
    ASSERT_TRUE(TwMakeDirs(TwUserPath("Data/Blocked.Twt")));
    blocked.Add(Entry("x", 1));
    EXPECT_FALSE(blocked.Save());

    if (::geteuid() != 0) {
        ::chmod(TwDataDir().c_str(), 0555);
        table.Add(Entry("lost", 20));
        EXPECT_FALSE(table.Save());
        ::chmod(TwDataDir().c_str(), 0755);
    }
    EXPECT_EQ(zvtest::ReadAll(TwUserPath("Data/Classic.Twt")), before);
}
