// Every shipped level loads, fits the field, hangs from the ceiling, uses the game's colours,
// and is cleared by a solver that plays it through the game's own launcher, route, bursts,
// falls and descents without ever letting a bubble reach the last row.
#include <algorithm>
#include <array>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ColourGrid.h"
#include "LevelLibrary.h"
#include "PuzzleFixture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct ShippedSet {
    std::string file;
    LevelSet set;
};

std::vector<ShippedSet> ReadShippedSets() {
    std::vector<ShippedSet> sets;
    const fs::path folder = fs::path(zvtest::SourceDir()) / "assets/Data/Levels";
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    for (const fs::path& path : files) {
        const std::string bytes = zvtest::ReadAll(path.string());
        ShippedSet shipped;
        shipped.file = path.filename().string();
        const LevelSetProblem problem =
            LevelSetReader(12, 12).Read(bytes.data(), bytes.size(), shipped.set);
        EXPECT_FALSE(problem) << shipped.file << " line " << problem.line << ": "
                              << LevelProblemName(problem.kind);
        sets.push_back(std::move(shipped));
    }
    return sets;
}

// The greedy player: for the loaded and the next colour and every cell the game's route can
// reach, what the shot would burst and drop (by the game's own group and support searches);
// failing a burst, the place that touches most bubbles of its colour, high in the field.
class Solver {
public:
    explicit Solver(zvtest::PuzzleField& play) : play_(play) {}

    // Plays until the level ends or `maxShots` have been fired. True when cleared.
    bool Play(int maxShots, int& shotsFired) {
        shotsFired = 0;
        while (!play_.Ended() && shotsFired < maxShots) {
            if (!PlayOneShot()) {
                return false;
            }
            ++shotsFired;
        }
        return play_.Won();
    }

private:
    struct Choice {
        TwVector aim;
        bool swap = false;
        int value = -1000000;
    };

    bool PlayOneShot() {
        GameMap& field = play_.field;
        const int loaded = play_.launcher.Loaded()->Colour();
        const int next = field.NextBubble() != nullptr ? field.NextBubble()->Colour() : loaded;
        // Every distinct cell the route reaches, with one aim that reaches it.
        std::map<std::pair<int, int>, TwVector> targets;
        for (int i = 0; i <= 400; ++i) {
            const TwVector aim(-400.0f + 4.0f * static_cast<float>(i), 300.0f, 0.0f);
            const TwCell cell = play_.RouteTarget(aim);
            if (field.InField(cell)) {
                targets.emplace(std::pair{cell.x, cell.y}, aim);
            }
        }
        Choice best;
        for (const auto& [cell, aim] : targets) {
            for (const bool swap : {false, true}) {
                const int value = Value(cell.first, cell.second, swap ? next : loaded);
                if (value > best.value) {
                    best = {aim, swap, value};
                }
            }
        }
        if (targets.empty()) {
            return false;
        }
        if (best.swap && next != loaded) {
            play_.launcher.Swap();
        }
        return play_.Shoot(best.aim);
    }

    int Value(int column, int row, int colour) {
        GameMap& field = play_.field;
        ColourGrid grid;
        grid.SetSize(field.Columns(), field.Rows());
        grid.SetCeiling(field.CeilingRow);
        grid.Fill(ColourGrid::kEmpty);
        field.ForEachBubble([&](const BaseBubble& b, int c, int k) { grid.At(c, k) = b.Colour(); });
        grid.At(column, row) = colour;
        std::vector<TwCell> group;
        ColourGrid search = grid;
        search.CollectGroup(column, row, colour, group);
        if (group.size() >= 3) {
            for (const TwCell& cell : group) {
                grid.At(cell.x, cell.y) = ColourGrid::kEmpty;
            }
            int dropped = 0;
            ColourGrid support = grid;
            for (int c = 0; c < field.Columns(); ++c) {
                for (int k = 0; k < field.Rows(); ++k) {
                    if (support.At(c, k) == ColourGrid::kEmpty) {
                        continue;
                    }
                    std::vector<TwCell> part;
                    if (!support.CollectSupport(c, k, part)) {
                        dropped += static_cast<int>(part.size());
                    }
                }
            }
            return 10000 + 1000 * static_cast<int>(group.size()) + 1500 * dropped;
        }
        // No burst: beside its own colour, as high as possible; a lone shot low in the field
        // is the worst place.
        int same = 0;
        for (const TwCell& n : ColourGrid::Neighbours(column, row)) {
            if (field.InField(n) && grid.At(n.x, n.y) == colour) {
                ++same;
            }
        }
        return 200 * same - 40 * row;
    }

    zvtest::PuzzleField& play_;
};

TEST(ShippedLevels, LoadFitAndHangFromTheCeiling) {
    const std::vector<ShippedSet> sets = ReadShippedSets();
    ASSERT_GE(sets.size(), 5u);
    std::size_t levels = 0;
    for (const ShippedSet& shipped : sets) {
        EXPECT_FALSE(shipped.set.title.empty()) << shipped.file;
        levels += shipped.set.levels.size();
        for (const PuzzleLevel& level : shipped.set.levels) {
            // The reader refuses loose bubbles, bad colours and rows past the field; a
            // shipped level also leaves at least three rows free for the descents.
            EXPECT_LE(level.rows.size(), 8u) << shipped.file;
        }
    }
    EXPECT_GE(levels, 100u);
}

TEST(ShippedLevels, EveryLevelIsClearedByTheSolver) {
    const std::vector<ShippedSet> sets = ReadShippedSets();
    TwSetMessageSink([](const std::string&, const std::string&) {});
    for (const ShippedSet& shipped : sets) {
        for (std::size_t i = 0; i < shipped.set.levels.size(); ++i) {
            // A level is winnable when some deal of the launcher's colours lets the greedy
            // solver clear it: up to three seeded deals are tried.
            bool won = false;
            int shots = 0;
            std::string lastField;
            for (unsigned deal = 0; deal < 3 && !won; ++deal) {
                TwSRand(static_cast<unsigned>(1000 * (deal + 1) + i));
                zvtest::PuzzleField play;
                play.Start(shipped.set.levels[i], shipped.file, static_cast<int>(i + 1));
                Solver solver(play);
                shots = 0;
                won = solver.Play(200, shots);
                lastField = zvtest::FieldPicture(play.field);
            }
            EXPECT_TRUE(won) << shipped.file << " level " << i + 1 << " after " << shots
                             << " shots:\n"
                             << lastField;
        }
    }
    TwSetMessageSink(nullptr);
}

} // namespace
