// The golden recordings: real games kept in tests/replays/golden/ with how each must end,
// played through the rules on every run. A change that alters how any of them turns out
// fails here. docs/TESTING.md says how to record them anew.
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "GameScreenFixture.h"
#include "GameSession.h"
#include "LevelLibrary.h"
#include "Replay.h"
#include "ReplayPlayer.h"
#include "ReplayVerify.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"

using gstest::GameScreenTest;

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

// Records the golden set anew: ZV_RECORD_GOLDEN=1 build/test_replays
// --gtest_filter=GoldenRecorder.*  (see docs/TESTING.md). Skipped otherwise.
class GoldenRecorder : public GameScreenTest {
protected:
    // The same-colour group a bubble of `colour` in `cell` would join, itself included.
    int GroupAt(TwCell cell, int colour) const {
        const float reach = 2.2f * static_cast<float>(Field().Radius());
        std::vector<TwCell> open{cell};
        std::set<std::pair<int, int>> seen{{cell.x, cell.y}};
        while (!open.empty()) {
            const TwCell at = open.back();
            open.pop_back();
            const TwVector centre = Cell(at.x, at.y);
            Field().ForEachBubble([&](const BaseBubble& bubble, int c, int k) {
                if (bubble.Colour() == colour && !seen.count({c, k}) &&
                    (Cell(c, k) - centre).Length() < reach) {
                    seen.insert({c, k});
                    open.push_back({c, k});
                }
            });
        }
        return static_cast<int>(seen.size());
    }

    // The best aim for a bubble of `colour`: the one that bursts the biggest group, else
    // the one beside most of its colour, the highest of equals. Its value through `value`.
    TwVector BestAim(int colour, int& value) {
        const TwVector base = Gun().Position();
        TwVector best = BotAim();
        value = -1;
        for (int step = 0; step <= 160; ++step) {
            const float angle = 0.15f + static_cast<float>(step) * (2.84f / 160.0f);
            const TwVector point(base.x + std::cos(angle) * 300.0f,
                                 base.y - std::sin(angle) * 300.0f, 0.0f);
            Gun().Aim(point);
            const GameMap::ShotRoute route =
                Field().PredictRoute(Gun().Muzzle(), Gun().Direction());
            if (!Field().InField(route.target)) {
                continue;
            }
            const int group = GroupAt(route.target, colour);
            // Bursts first, the bigger the better; otherwise beside its colour, as high up as
            // possible, so the field does not grow downwards.
            const int worth = (group >= 3 ? 1000 + group * 20 : group * 20) - route.target.y;
            if (worth > value) {
                value = worth;
                best = point;
            }
        }
        return best;
    }

    // A player who looks where each aim would land (with the aim guide's prediction), for
    // the loaded bubble and the next one, swaps when the next one does better, and takes
    // the best aim.
    TwVector PlannedAim() {
        const int loaded = Gun().Loaded() != nullptr ? Gun().Loaded()->Colour() : -1;
        const int next = Field().NextBubble() != nullptr ? Field().NextBubble()->Colour() : -1;
        int loadedValue = 0, nextValue = 0;
        const TwVector loadedAim = BestAim(loaded, loadedValue);
        if (next < 0 || next == loaded) {
            return loadedAim;
        }
        const TwVector nextAim = BestAim(next, nextValue);
        if (nextValue >= 1000 && loadedValue < 1000) {
            RightClick(400, 300);
            return nextAim;
        }
        return loadedAim;
    }

    // How the player plays: 0 the simple player, 1 aims anywhere (short games), 2 the
    // simple player who swaps now and then, 3 the player who plans each shot.
    void PlayGame(int style, std::uint32_t seed, int maxShots = 1500) {
        std::uint32_t dice = seed * 2654435761u + 1;
        auto roll = [&dice](int range) {
            dice = dice * 1103515245u + 12345u;
            return static_cast<int>((dice >> 16) % static_cast<std::uint32_t>(range));
        };
        for (int shot = 0; shot < maxShots && game.State() == PlayState::kPlaying; ++shot) {
            if (style == 2 && roll(4) == 0) {
                RunUntil([this] { return Field().MapState == GameMap::kReady; });
                RightClick(400, 300);
            }
            RunUntil([this] { return Field().MapState == GameMap::kReady && !Field().RowPending; });
            const TwVector aim = style == 1   ? TwVector(static_cast<float>(150 + roll(500)),
                                                         static_cast<float>(100 + roll(350)))
                                 : style == 3 ? PlannedAim()
                                              : BotAim();
            if (std::getenv("ZV_GOLDEN_DEBUG") && style == 3) {
                Gun().Aim(aim);
                const auto r = Field().PredictRoute(Gun().Muzzle(), Gun().Direction());
                std::fprintf(stderr, "aim %.0f,%.0f predicted %d,%d colour %d\n", aim.x, aim.y,
                             r.target.x, r.target.y,
                             Gun().Loaded() ? Gun().Loaded()->Colour() : -1);
            }
            // In Arcade a row may start between aiming and the click; then aim again.
            int refused = 0;
            while (!ShootAt(aim) && game.State() == PlayState::kPlaying && ++refused < 5) {
            }
            if (refused == 5) {
                if (std::getenv("ZV_GOLDEN_DEBUG")) {
                    std::fprintf(
                        stderr,
                        "refused: state %d row %d reload %d falling %zu loaded %p flying %d\n",
                        Field().MapState, Field().RowPending, Gun().ReloadRemaining(),
                        Field().FallingList().size(), (void*)Gun().Loaded(), Gun().Flying());
                }
                break;
            }
        }
    }

    // The list's line for a recording: how the recording says its game ended (the score
    // of the moment the game ended, before bubbles still falling add to it).
    static std::string Describe(const std::string& file, const Replay& replay) {
        static const char* kDifficulty[] = {"Easy", "Normal", "Hard"};
        const ReplayResult& r = *replay.result;
        std::ostringstream line;
        line << file << ' ' << ReplayModeName(replay.mode) << ' ' << kDifficulty[replay.difficulty]
             << ' ' << r.score << ' ' << r.shots << ' ' << Hex(r.fieldHash) << ' '
             << (r.outcome == ReplayResult::kCleared ? "cleared" : "lost");
        return line.str();
    }
};

TEST_F(GoldenRecorder, RecordTheGoldenSet) {
    if (std::getenv("ZV_RECORD_GOLDEN") == nullptr ||
        std::string(std::getenv("ZV_RECORD_GOLDEN")) != "1") {
        GTEST_SKIP() << "set ZV_RECORD_GOLDEN=1 to record the golden replays anew";
    }
    struct Plan {
        int mode, difficulty, style;
        bool continued;
    };
    std::vector<Plan> plans;
    for (int mode : {ModeNumber(Game::kClassic), ModeNumber(Game::kArcade)}) {
        for (int difficulty = 0; difficulty < 3 && !std::getenv("ZV_GOLDEN_DEBUG"); ++difficulty) {
            for (int style = 0; style < 3; ++style) {
                plans.push_back({mode, difficulty, style, false});
            }
            plans.push_back({mode, difficulty, 0, true});
        }
    }
    // Games of the planning player on Easy until each mode has one won.
    for (int mode : {ModeNumber(Game::kClassic), ModeNumber(Game::kArcade)}) {
        plans.push_back({mode, 0, -1, false});
    }

    // The Puzzle lines stay; RecordThePuzzleSet records those.
    std::vector<std::string> puzzleLines;
    {
        std::ifstream old(kList);
        std::string line;
        while (std::getline(old, line)) {
            if (line.find(" Puzzle ") != std::string::npos) {
                puzzleLines.push_back(line);
            }
        }
    }
    std::ofstream list(kList);
    list << "# file mode difficulty score shots field end (see docs/TESTING.md)\n";
    for (const std::string& line : puzzleLines) {
        list << line << "\n";
    }
    int wins = 0;
    std::uint32_t seed = 1;
    for (const Plan& plan : plans) {
        TwSRand(seed++);
        TwSysConfig::Instance().DifficultLevel = plan.difficulty;
        StartGame(plan.mode);
        if (plan.style < 0) {
            const int attempts = std::getenv("ZV_GOLDEN_DEBUG") ? 4 : 300;
            for (int attempt = 0; attempt < attempts; ++attempt) {
                PlayGame(3, seed);
                if (std::getenv("ZV_GOLDEN_DEBUG")) {
                    std::fprintf(stderr, "attempt %d: %d points %d shots %d left\n", attempt,
                                 Field().Score, game.ShotsFired(), Field().BubbleCount());
                }
                if (game.CurrentResult().outcome == ReplayResult::kCleared) {
                    break;
                }
                TwSRand(seed++);
                StartGame(plan.mode);
            }
        }
        if (plan.continued) {
            PlayGame(plan.style, seed, 12);
            game.SetPendingEvent(Game::kMenuButton);
            Frame();
            ASSERT_TRUE(game.Restore());
            router.SwitchScreen(Game::kScreenName);
        }
        if (plan.style >= 0) {
            PlayGame(plan.style, seed);
        }
        ASSERT_NE(game.State(), PlayState::kPlaying);
        wins += game.State() == PlayState::kCompleteShown;
        char name[64];
        std::snprintf(name, sizeof name, "%s-%d-%d%s-%u.Twv", ReplayModeName(plan.mode),
                      plan.difficulty, std::max(plan.style, 0), plan.continued ? "c" : "", seed);
        std::filesystem::copy_file(TwUserPath(ReplayRecorder::kFolder) + game.LastRecording(),
                                   kGoldenDir + name,
                                   std::filesystem::copy_options::overwrite_existing);
        std::string bytes;
        ASSERT_TRUE(TwReadFile(kGoldenDir + name, bytes));
        Replay replay;
        ASSERT_EQ(Replay::Parse(bytes, replay), Replay::ReadError::kNone);
        list << Describe(name, replay) << "\n";
    }
    EXPECT_GT(wins, 0);
}

// Records the Puzzle golden replays anew on shipped levels and puts them in the list in place
// of the Puzzle lines before: ZV_RECORD_GOLDEN=puzzle build/test_replays
// --gtest_filter=GoldenRecorder.RecordThePuzzleSet. The recordings keep their levels, so a
// shipped level changed later does not change them.
TEST_F(GoldenRecorder, RecordThePuzzleSet) {
    if (std::getenv("ZV_RECORD_GOLDEN") == nullptr ||
        std::string(std::getenv("ZV_RECORD_GOLDEN")) != "puzzle") {
        GTEST_SKIP() << "set ZV_RECORD_GOLDEN=puzzle to record the Puzzle golden replays anew";
    }
    struct Plan {
        const char* set;
        int level, style;
        bool continued;
        bool lose; // deals again until the player loses (players here mostly win)
    };
    const std::vector<Plan> plans = {{"01-FirstSteps.Txt", 1, 3, false, false},
                                     {"01-FirstSteps.Txt", 6, 0, true, false},
                                     {"03-HangingGardens.Txt", 4, 0, false, false},
                                     {"05-Masters.Txt", 2, 1, false, false},
                                     {"05-Masters.Txt", 18, 1, false, true}};
    LevelLibrary::Shared().Load(12, 12);
    std::vector<std::string> lines;
    {
        std::ifstream old(kList);
        std::string line;
        while (std::getline(old, line)) {
            if (line.find(" Puzzle ") == std::string::npos) {
                lines.push_back(line);
            }
        }
    }
    std::set<int> outcomes;
    bool cameDown = false;
    std::uint32_t seed = 200;
    for (const Plan& plan : plans) {
        TwSRand(seed++);
        ASSERT_TRUE(game.StartPuzzle(plan.set, plan.level)) << plan.set << " " << plan.level;
        ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
        if (plan.continued) {
            PlayGame(plan.style, seed, 4);
            game.SetPendingEvent(Game::kMenuButton);
            Frame();
            ASSERT_TRUE(game.Restore());
            router.SwitchScreen(Game::kScreenName);
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            for (int shot = 0; shot < 400 && game.State() == PlayState::kPlaying; ++shot) {
                PlayGame(plan.style, seed + static_cast<std::uint32_t>(shot), 1);
                cameDown = cameDown || Field().CeilingRow > 0;
            }
            if (!plan.lose || game.State() != PlayState::kCompleteShown) {
                break;
            }
            TwSRand(seed++);
            ASSERT_TRUE(game.StartPuzzle(plan.set, plan.level));
            ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
        }
        ASSERT_NE(game.State(), PlayState::kPlaying);
        const std::string set(plan.set);
        char name[96];
        std::snprintf(name, sizeof name, "Puzzle-%s-%d-%d%s-%u.Twv",
                      set.substr(0, set.find('-')).c_str(), plan.level, plan.style,
                      plan.continued ? "c" : "", seed);
        std::filesystem::copy_file(TwUserPath(ReplayRecorder::kFolder) + game.LastRecording(),
                                   kGoldenDir + name,
                                   std::filesystem::copy_options::overwrite_existing);
        std::string bytes;
        ASSERT_TRUE(TwReadFile(kGoldenDir + name, bytes));
        Replay replay;
        ASSERT_EQ(Replay::Parse(bytes, replay), Replay::ReadError::kNone);
        outcomes.insert(replay.result->outcome);
        lines.push_back(Describe(name, replay));
    }
    std::ofstream list(kList);
    for (const std::string& line : lines) {
        list << line << "\n";
    }
    // A win, a loss, and a field that came down on the way.
    EXPECT_EQ(outcomes.size(), 2u);
    EXPECT_TRUE(cameDown);
}
