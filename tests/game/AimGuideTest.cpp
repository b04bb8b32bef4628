#include "FieldFixture.h"

#include <memory>

// The aim guide's promise: the cell it shows is the cell the shot fills. Over ten thousand
// random fields and aims, the route predicted before the shot ends where the fired bubble
// lands.
namespace {

int Random(int low, int high) {
    return low + TwRand() % (high - low + 1);
}

// Fills each column from the ceiling down to a random depth (so every bubble hangs), with
// here and there a gap in the lowest bubbles that leaves an overhang.
void RandomField(GameMap& field) {
    field.Reset(false);
    for (int c = 0; c < field.Columns(); ++c) {
        const int depth = Random(0, field.Rows() - 3);
        for (int k = 0; k < depth; ++k) {
            if (k > 0 && k == depth - 2 && Random(0, 3) == 0) {
                continue;
            }
            field.PlaceNewBubble(c, k, Random(0, GameMap::kColourCount - 1));
        }
    }
    field.DropUnsupported();
    field.RecountColours();
    field.MapState = GameMap::kReady;
}

} // namespace

TEST(AimGuideProperty, ThePredictedCellIsTheCellTheShotFills) {
    TwSetMessageSink([](const std::string&, const std::string&) {});
    TwSRand(26);
    BubbleBanks banks;
    std::unique_ptr<GameMap> field;
    Launcher launcher;
    int burst = 0;
    for (int shot = 0; shot < 10000; ++shot) {
        if (shot % 250 == 0) {
            // Now and then another size of field: the test size, the shipped one, others.
            FieldGeometry geometry =
                Random(0, 1) ? zvtest::StandardGeometry(Random(9, 16)) : zvtest::ShippedGeometry();
            geometry.columns = Random(8, 14);
            field.reset(); // the old field lets go of the launcher first
            field = std::make_unique<GameMap>(banks, geometry);
            field->ComputeWalls();
            launcher.SetField(field.get());
            field->SetLauncher(&launcher);
        }
        field->SetState(PlayState::kPlaying);
        launcher.Reset();
        RandomField(*field);
        launcher.SetLoaded(field->NewBubbleOfColour(Random(0, GameMap::kColourCount - 1)));
        field->SetNextBubble(field->NewBubbleOfColour(0));
        launcher.Aim(
            TwVector(static_cast<float>(Random(0, 800)), static_cast<float>(Random(0, 560))));
        launcher.Update(500);

        const GameMap::ShotRoute guide =
            field->PredictRoute(launcher.Muzzle(), launcher.Direction());
        ASSERT_TRUE(field->InField(guide.target)) << "shot " << shot;
        ASSERT_GE(guide.path.size(), 2u);
        const BaseBubble* bubble = launcher.Loaded();
        ASSERT_TRUE(launcher.Fire()) << "shot " << shot;
        // The guide's route is the one the shot flies.
        ASSERT_EQ(field->FlightPath().size(), guide.path.size()) << "shot " << shot;
        for (std::size_t i = 0; i < guide.path.size(); ++i) {
            ASSERT_EQ(field->FlightPath()[i].x, guide.path[i].x) << "shot " << shot;
            ASSERT_EQ(field->FlightPath()[i].y, guide.path[i].y) << "shot " << shot;
        }
        for (int frame = 0; frame < 2000 && launcher.Flying(); ++frame) {
            field->Update(Random(1, 40));
        }
        ASSERT_FALSE(launcher.Flying());
        if (field->Bubble(guide.target.x, guide.target.y) == bubble) {
            continue;
        }
        // Not there: then it burst with its group, from the predicted cell.
        ++burst;
        bool elsewhere = false;
        field->ForEachBubble([&](const BaseBubble& b, int, int) { elsewhere |= &b == bubble; });
        ASSERT_FALSE(elsewhere) << "shot " << shot << " landed away from the guide's cell";
        ASSERT_EQ(field->TargetCell(), guide.target) << "shot " << shot;
        ASSERT_GT(field->Score, 0) << "shot " << shot;
    }
    // Both kinds of landing happened many times.
    EXPECT_GT(burst, 500);
    EXPECT_LT(burst, 9500);
    TwSetMessageSink(nullptr);
}
