#include "FieldFixture.h"

#include <deque>

// Thousands of shots in random directions at random fields: whatever happens, the field
// stays sound after every landing.
namespace {

int Random(int low, int high) {
    return low + TwRand() % (high - low + 1);
}

// Runs frames until the field is calm: nothing falling, no row moving, ready to fire.
void Settle(GameMap& field, Launcher& launcher) {
    for (int i = 0; i < 5000 && field.State() == PlayState::kPlaying; ++i) {
        const bool calm = field.Settled() && !launcher.Flying();
        if (calm) {
            return;
        }
        launcher.Update(16);
        field.Update(Random(1, 40));
    }
}

// True when every bubble reaches row 0 through touching bubbles.
bool AllHangFromTheCeiling(const GameMap& field) {
    std::vector<std::vector<bool>> seen(field.Columns(), std::vector<bool>(field.Rows(), false));
    std::deque<TwCell> open;
    for (int c = 0; c < field.Columns(); ++c) {
        if (field.Bubble(c, 0) != nullptr) {
            seen[c][0] = true;
            open.push_back({c, 0});
        }
    }
    while (!open.empty()) {
        const TwCell cell = open.front();
        open.pop_front();
        for (const TwCell& n : ColourGrid::Neighbours(cell.x, cell.y)) {
            if (field.InField(n) && !seen[n.x][n.y] && field.Bubble(n.x, n.y) != nullptr) {
                seen[n.x][n.y] = true;
                open.push_back(n);
            }
        }
    }
    bool all = true;
    field.ForEachBubble([&](const BaseBubble&, int c, int k) { all &= seen[c][k]; });
    return all;
}

// Every grid bubble rests on (or within the landing tolerance of) its own cell's centre.
bool AllRestOnTheirCells(const GameMap& field) {
    bool all = true;
    field.ForEachBubble([&](const BaseBubble& b, int c, int k) {
        const bool ok = (b.RestPosition() - field.CellToScreen(c, k)).Length() <= 4.01f;
        if (!ok) {
            ADD_FAILURE() << "bubble in cell " << c << "," << k << " rests at "
                          << b.RestPosition().x << "," << b.RestPosition().y;
        }
        all &= ok;
    });
    return all;
}

} // namespace

TEST(FieldProperty, RandomShotsNeverBreakTheField) {
    TwSetMessageSink([](const std::string&, const std::string&) {});
    TwSRand(20261207);
    BubbleBanks banks;
    int shots = 0;
    int games = 0;
    while (shots < 3000) {
        ++games;
        FieldGeometry geometry = zvtest::StandardGeometry(Random(9, 16));
        geometry.radius = Random(0, 1) != 0 ? 16 : 18; // the test size and the shipped one
        geometry.columns = Random(8, 14);
        const int difficulty = Random(0, 2);
        GameMap field(banks, geometry, difficulty);
        field.SetState(PlayState::kPlaying);
        Launcher launcher;
        launcher.SetField(&field);
        field.SetLauncher(&launcher);
        field.Reset(true);
        // Knock random holes into the fresh field so that overhangs and islands occur.
        for (int c = 0; c < field.Columns(); ++c) {
            for (int k = 0; k < field.Rows(); ++k) {
                if (TwRand() % 4 == 0) {
                    field.TakeBubble(c, k);
                }
            }
        }
        field.DropUnsupported();
        Settle(field, launcher);

        int previousScore = field.Score;
        while (field.State() == PlayState::kPlaying && shots < 3000) {
            ASSERT_NE(launcher.Loaded(), nullptr);
            launcher.Aim(
                TwVector(static_cast<float>(Random(0, 800)), static_cast<float>(Random(0, 560))));
            launcher.PlaceLoadedBubble();
            launcher.Update(500);
            ASSERT_TRUE(launcher.Fire()) << "game " << games << " shot " << shots;
            ++shots;
            const TwCell target = field.TargetCell();
            ASSERT_TRUE(field.InField(target)) << "game " << games << " shot " << shots;
            ASSERT_EQ(field.Bubble(target.x, target.y), nullptr) << "target taken";
            const int colour = launcher.Loaded()->Colour();
            const int before = field.BubbleCount();

            for (int frame = 0; frame < 2000 && launcher.Flying(); ++frame) {
                field.Update(Random(1, 40));
                if (field.State() != PlayState::kPlaying) {
                    break;
                }
            }
            ASSERT_FALSE(launcher.Flying());
            // The shot either sits in its cell or burst with its group (taking others along).
            const BaseBubble* landed = field.Bubble(target.x, target.y);
            if (landed != nullptr) {
                EXPECT_EQ(landed->Colour(), colour);
            } else {
                EXPECT_LE(field.BubbleCount(), before);
            }
            EXPECT_GE(field.Score, previousScore);
            previousScore = field.Score;
            if (field.MapState == GameMap::kReady) { // not while a row slides in
                EXPECT_TRUE(AllRestOnTheirCells(field));
            }

            Settle(field, launcher);
            EXPECT_GE(field.Score, previousScore);
            previousScore = field.Score;
            if (field.State() != PlayState::kPlaying) {
                break;
            }
            ASSERT_TRUE(AllHangFromTheCeiling(field)) << "game " << games << " shot " << shots;
            ASSERT_TRUE(AllRestOnTheirCells(field));
        }
        if (field.State() == PlayState::kCleared) {
            EXPECT_TRUE(field.IsEmpty());
        }
        banks.Scene().Clear();
    }
    EXPECT_GT(games, 1);
    TwSetMessageSink(nullptr);
}
