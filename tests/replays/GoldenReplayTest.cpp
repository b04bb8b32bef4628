// The golden recordings: real games kept in tests/replays/golden/ with how each must end,
// played through the rules on every run. A change that alters how any of them turns out
// fails here. docs/TESTING.md says how to record them anew.
#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "GameSession.h"
#include "Replay.h"
#include "ReplayPlayer.h"
#include "ReplayVerify.h"
#include "TestSupport.h"
#include "platform/os/TwUserFiles.h"

#include <gtest/gtest.h>

namespace {

const std::string kGoldenDir = zvtest::SourceDir() + "/tests/replays/golden/";
const std::string kList = kGoldenDir + "list.txt";

// One line of list.txt: file, mode, difficulty, score, shots, field hash, end.
struct GoldenEntry {
    std::string file;
    std::string mode;
    std::string difficulty;
    int score = 0;
    int shots = 0;
    std::string field;
    std::string end;
};

std::vector<GoldenEntry> ReadList() {
    std::vector<GoldenEntry> entries;
    std::ifstream in(kList);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream fields(line);
        GoldenEntry e;
        fields >> e.file >> e.mode >> e.difficulty >> e.score >> e.shots >> e.field >> e.end;
        entries.push_back(e);
    }
    return entries;
}

std::string Hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

const char* EndName(const ReplayOutcome& outcome) {
    if (!outcome.ended) {
        return "unfinished";
    }
    return outcome.result.outcome == ReplayResult::kCleared ? "cleared" : "lost";
}

} // namespace

TEST(GoldenReplays, EveryRecordingEndsAsListed) {
    const std::vector<GoldenEntry> entries = ReadList();
    ASSERT_GE(entries.size(), 20u) << kList;
    std::set<std::string> modes, difficulties, ends;
    int longest = 0, shortest = 1 << 30;
    for (const GoldenEntry& entry : entries) {
        SCOPED_TRACE(entry.file);
        std::string bytes;
        ASSERT_TRUE(TwReadFile(kGoldenDir + entry.file, bytes));
        Replay replay;
        ASSERT_EQ(Replay::Parse(bytes, replay), Replay::ReadError::kNone);
        const ReplayOutcome outcome = PlayReplayHeadless(replay);
        EXPECT_FALSE(outcome.diverged);
        EXPECT_EQ(ReplayModeName(replay.mode), entry.mode);
        EXPECT_EQ(outcome.result.score, entry.score);
        EXPECT_EQ(outcome.result.shots, entry.shots);
        EXPECT_EQ(Hex(outcome.result.fieldHash), entry.field);
        EXPECT_EQ(EndName(outcome), entry.end);
        ASSERT_TRUE(replay.result.has_value());
        EXPECT_EQ(*replay.result, outcome.result);
        modes.insert(entry.mode);
        difficulties.insert(entry.difficulty);
        ends.insert(entry.end);
        longest = std::max(longest, entry.shots);
        shortest = std::min(shortest, entry.shots);
    }
    // What the set covers: every mode, every difficulty, wins and losses, short and long.
    EXPECT_EQ(modes, (std::set<std::string>{"Arcade", "Classic", "Puzzle"}));
    EXPECT_EQ(difficulties.size(), 3u);
    EXPECT_TRUE(ends.count("cleared") && ends.count("lost"));
    EXPECT_LT(shortest, 30);
    EXPECT_GT(longest, 100);
}

// Sessions share nothing: each golden recording, played on a session of its own while the
// next recording plays on another one and the two are stepped frame by frame in turn, ends
// exactly as it does alone (as listed).
TEST(GoldenReplays, TwoSessionsSteppedInTurnEndAsEachDoesAlone) {
    const std::vector<GoldenEntry> entries = ReadList();
    ASSERT_GE(entries.size(), 2u);
    std::vector<Replay> replays(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::string bytes;
        ASSERT_TRUE(TwReadFile(kGoldenDir + entries[i].file, bytes));
        ASSERT_EQ(Replay::Parse(bytes, replays[i]), Replay::ReadError::kNone);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t j = (i + 1) % entries.size();
        SCOPED_TRACE(entries[i].file + " beside " + entries[j].file);
        GameSession sessions[2];
        ReplayPlayer players[2] = {ReplayPlayer(replays[i]), ReplayPlayer(replays[j])};
        bool running[2] = {true, true};
        for (int k = 0; k < 2; ++k) {
            ASSERT_TRUE(players[k].Begin(sessions[k], FieldGeometry()));
        }
        while (running[0] || running[1]) {
            for (int k = 0; k < 2; ++k) {
                GameSession& session = sessions[k];
                running[k] = running[k] && players[k].StepFrame(session, [&session](int ms) {
                    if (session.Step(ms) != GameSession::Event::kNone) {
                        session.SettleEnd();
                    }
                });
            }
        }
        for (int k = 0; k < 2; ++k) {
            const GoldenEntry& entry = entries[k == 0 ? i : j];
            const ReplayResult result = sessions[k].CurrentResult();
            EXPECT_FALSE(players[k].Diverged()) << entry.file;
            EXPECT_EQ(result.score, entry.score) << entry.file;
            EXPECT_EQ(result.shots, entry.shots) << entry.file;
            EXPECT_EQ(Hex(result.fieldHash), entry.field) << entry.file;
        }
    }
}
