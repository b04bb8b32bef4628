#include "FieldFixture.h"

#include <cmath>

using zvtest::FieldTest;

namespace {
float Dist(const TwVector& a, const TwVector& b) {
    return (a - b).Length();
}
} // namespace

TEST_F(FieldTest, AimStaysAboveTheLowestWallPoint) {
    const TwVector start = launcher.Direction();
    EXPECT_FALSE(launcher.Aim(TwVector(100, 570)));
    EXPECT_FALSE(launcher.Aim(TwVector(300, 590)));
    EXPECT_EQ(launcher.Direction(), start);

    // Far left and low: clamped to the direction of (218, 490).
    EXPECT_TRUE(launcher.Aim(TwVector(0, 560)));
    const TwVector flattest = NormaliseOrKeep(TwVector(218 - 400, 490 - 570));
    EXPECT_NEAR(launcher.Direction().x, flattest.x, 1e-5);
    EXPECT_NEAR(launcher.Direction().y, flattest.y, 1e-5);
    // The same on the right wall.
    EXPECT_TRUE(launcher.Aim(TwVector(800, 565)));
    const TwVector right = NormaliseOrKeep(TwVector(586 - 400, 490 - 570));
    EXPECT_NEAR(launcher.Direction().x, right.x, 1e-5);
    // Steep aims are kept as they are.
    launcher.Aim(TwVector(380, 100));
    const TwVector steep = NormaliseOrKeep(TwVector(-20, -470));
    EXPECT_NEAR(launcher.Direction().x, steep.x, 1e-5);
    EXPECT_NEAR(launcher.Direction().y, steep.y, 1e-5);
}

TEST_F(FieldTest, ShotOffTheWallToTheCeilingEndsOnTheCeilingCell) {
    Load(2);
    ASSERT_TRUE(FireAt(TwVector(250, 400)));
    const auto& path = field.FlightPath();
    ASSERT_EQ(path.size(), 3u);
    EXPECT_FLOAT_EQ(path[1].x, 218.0f);
    const TwCell target = field.TargetCell();
    EXPECT_EQ(target.y, 0);
    EXPECT_EQ(path[2], field.CellToScreen(target.x, 0));

    FlyUntilLanded();
    EXPECT_FALSE(launcher.Flying());
    ASSERT_NE(field.Bubble(target.x, 0), nullptr);
    EXPECT_EQ(field.Bubble(target.x, 0)->Colour(), 2);
    // The bounce sounded once, when its leg ended; the final leg never sounds.
    EXPECT_EQ(Count(GameSound::kHitWall), 1);
    EXPECT_EQ(Count(GameSound::kFireBall), 1);
    EXPECT_EQ(Count(GameSound::kStopBall), 1);
    // The next bubble is loaded; colour 5 is gone from the field, so it was replaced.
    ASSERT_NE(launcher.Loaded(), nullptr);
    EXPECT_EQ(launcher.Loaded()->Colour(), 2);
}

// Shots whose ray leaves the field through the very point where ceiling and wall meet.
class CornerShotTest : public FieldTest {
protected:
    void ExpectSticksToTheCeiling(bool leftCorner) {
        const GameMap::Walls& walls = field.GetWalls();
        const float cornerX = static_cast<float>(leftCorner ? walls.leftX : walls.rightX);
        Load(2);
        ASSERT_TRUE(FireAt(TwVector(cornerX, static_cast<float>(walls.topY))));
        const TwCell target = field.TargetCell();
        EXPECT_EQ(target.y, 0);
        FlyUntilLanded();
        EXPECT_NE(field.Bubble(target.x, 0), nullptr);
    }
};

TEST_F(CornerShotTest, LeftTopCornerSticksToTheCeiling) {
    ExpectSticksToTheCeiling(true);
}

TEST_F(CornerShotTest, RightTopCornerSticksToTheCeiling) {
    ExpectSticksToTheCeiling(false);
}

TEST_F(FieldTest, FlightMovesAtNinePixelsPerTenthOfASecond) {
    Load(1);
    ASSERT_TRUE(FireAt(TwVector(400, 100)));
    const TwVector start = launcher.Loaded()->Position();
    field.Update(100);
    EXPECT_NEAR(Dist(launcher.Loaded()->Position(), start), 90.0f, 0.01f);
}

TEST_F(FieldTest, GrazingBubblesCountUpToAQuarterRadiusBeyondTouching) {
    Layout({"3"});
    Load(1);
    BaseBubble* target = field.Bubble(0, 0);
    const TwVector a(400, 539);
    const TwVector up(0, -1);
    const TwVector b(400, 44);
    target->PlaceAt(TwVector(420.0f, 200.0f)); // 1.25 r from the line
    EXPECT_TRUE(field.FindCollision(a, up, b));
    EXPECT_EQ(field.ContactCentre(), TwVector(420.0f, 200.0f));
    field.SetFlightPath({});
    target->PlaceAt(TwVector(420.16f, 200.0f)); // 1.26 r
    EXPECT_FALSE(field.FindCollision(a, up, b));
}

TEST_F(FieldTest, ShortLastLegIsReplacedByADirectLegToTheCell) {
    field.SetTargetCell({5, 3});
    const TwVector goal = field.CellToScreen(5, 3);
    field.SetFlightPath(
        {TwVector(400, 539), TwVector(586, 300), goal + TwVector(20, 0), goal + TwVector(5, 0)});
    field.FinishPath();
    ASSERT_EQ(field.FlightPath().size(), 3u);
    EXPECT_EQ(field.FlightPath()[2], goal);
    // With only the launch point and one more, the route goes straight to the cell.
    field.SetFlightPath({TwVector(400, 539), TwVector(300, 100)});
    field.FinishPath();
    EXPECT_EQ(field.FlightPath()[1], goal);

    // A long last leg stays, but ends on the cell centre when it misses it by over 4 px.
    field.SetFlightPath({TwVector(400, 539), TwVector(586, 300), goal + TwVector(3, 0)});
    field.FinishPath();
    ASSERT_EQ(field.FlightPath().size(), 3u);
    EXPECT_EQ(field.FlightPath()[2], goal + TwVector(3, 0));
    field.SetFlightPath({TwVector(400, 539), TwVector(586, 300), goal + TwVector(5, 0)});
    field.FinishPath();
    EXPECT_EQ(field.FlightPath()[2], goal);
}

TEST_F(FieldTest, ShotStopsBesideTheBubbleItHits) {
    Layout({"000000000000", "     11     "});
    Load(1);
    ASSERT_TRUE(FireAt(TwVector(400, 100)));
    EXPECT_EQ(field.TargetCell(), (TwCell{6, 2}));
    EXPECT_EQ(field.ContactCentre(), field.CellToScreen(5, 1));
    EXPECT_EQ(field.FlightPath().back(), field.CellToScreen(6, 2));
    FlyUntilLanded();
    // The two ones above it join the shot: three burst, the zeros stay.
    EXPECT_EQ(field.Score, 30);
    EXPECT_EQ(field.BubbleCount(), 12);
    EXPECT_EQ(field.Bubble(6, 2), nullptr);
    EXPECT_EQ(Count(GameSound::kBallDelete), 1);
}

TEST_F(FieldTest, RouteWithoutATargetOfItsOwnNeverLandsOnABubble) {
    Layout({"0"});
    Load(4);
    // A narrow shaft makes the shot bounce more often than a route may.
    field.SetWalls({395, 44, 405});
    field.SetTargetCell({0, 0}); // left over from an earlier shot, and taken
    launcher.SetDirection(NormaliseOrKeep(TwVector(-100, -30)));
    launcher.PlaceLoadedBubble();
    ASSERT_TRUE(launcher.Fire());
    EXPECT_EQ(field.FlightPath().size(), 10u); // launch point, eight bounces, the cell
    ASSERT_TRUE(field.InField(field.TargetCell()));
    EXPECT_EQ(field.Bubble(field.TargetCell().x, field.TargetCell().y), nullptr);
    FlyUntilLanded();
    // Far from the others it hangs from nothing and falls at once.
    ASSERT_EQ(field.FallingList().size(), 1u);
    EXPECT_EQ(field.FallingList().front()->Colour(), 4);
    ASSERT_NE(field.Bubble(0, 0), nullptr);
    EXPECT_EQ(field.Bubble(0, 0)->Colour(), 0);
}

TEST_F(FieldTest, FiringWaitsForReloadReadinessAndTheRows) {
    Layout({"1"});
    Load(1);
    field.MapState = GameMap::kRowSlide;
    EXPECT_FALSE(FireAt(TwVector(400, 100)));
    field.MapState = GameMap::kReady;
    field.RowPending = true;
    EXPECT_FALSE(FireAt(TwVector(400, 100)));
    field.RowPending = false;
    EXPECT_TRUE(FireAt(TwVector(400, 100)));
    EXPECT_EQ(launcher.ReloadRemaining(), 500);
    EXPECT_TRUE(banks.Scene().OnTop(launcher.Loaded()));
    EXPECT_FALSE(launcher.Fire()); // already flying
    FlyUntilLanded();
    EXPECT_FALSE(banks.Scene().OnTop(field.Bubble(field.TargetCell().x, 0)));
    EXPECT_TRUE(banks.Scene().Contains(field.Bubble(field.TargetCell().x, 0)));
    // The reload runs on the launcher's own clock.
    launcher.SetDirection(TwVector(0, -1));
    EXPECT_FALSE(launcher.Fire());
    launcher.Update(500);
    EXPECT_TRUE(launcher.Fire());
}

TEST_F(FieldTest, RecoilKicksBackSixPixelsAndReturns) {
    Load(1);
    ASSERT_TRUE(FireAt(TwVector(400, 100)));
    launcher.Update(67); // about half way
    EXPECT_NEAR(launcher.Position().y, 570.0f + 6.0f, 0.05f);
    launcher.Update(70);
    EXPECT_FALSE(launcher.Recoiling());
    EXPECT_EQ(launcher.Position(), TwVector(400, 570));
}

TEST_F(FieldTest, RightClickSwapsOnlyDifferentColours) {
    Load(2, 2);
    launcher.HandleInput(2, Launcher::kRightReleased, 517, TwVector(400, 300), 0);
    EXPECT_EQ(Count(GameSound::kSwap), 0);

    Load(2, 3);
    BaseBubble* loaded = launcher.Loaded();
    BaseBubble* next = field.NextBubble();
    launcher.HandleInput(2, Launcher::kRightReleased, 517, TwVector(400, 300), 0);
    EXPECT_EQ(launcher.Loaded(), next);
    EXPECT_EQ(field.NextBubble(), loaded);
    EXPECT_EQ(Count(GameSound::kSwap), 1);
}

TEST_F(FieldTest, ShotRightAfterASwapLeavesFromTheMuzzle) {
    // Swap and fire in the same frame: the bubble just swapped in still waits behind the
    // launcher where the last frame drew it, yet its route starts at the muzzle.
    Load(2, 3);
    launcher.Aim(TwVector(300, 200));
    field.NextBubble()->PlaceAt(TwVector(0, 0));
    launcher.HandleInput(2, Launcher::kRightReleased, 517, TwVector(300, 200), 0);
    launcher.HandleInput(2, Launcher::kLeftReleased, 514, TwVector(300, 200), 0);
    ASSERT_TRUE(launcher.Flying());
    const TwVector muzzle = launcher.Position() + launcher.Direction() * 31.0f;
    ASSERT_FALSE(field.FlightPath().empty());
    EXPECT_NEAR(field.FlightPath().front().x, muzzle.x, 0.01f);
    EXPECT_NEAR(field.FlightPath().front().y, muzzle.y, 0.01f);
    for (const TwVector& corner : field.FlightPath()) {
        EXPECT_GE(corner.x, field.GetWalls().leftX - 0.5f);
        EXPECT_LE(corner.x, field.GetWalls().rightX + 0.5f);
    }
}

TEST_F(FieldTest, MouseMoveThatMeetsNoWallOnlyAims) {
    Load(1);
    launcher.HandleInput(2, Launcher::kLeftReleased, Launcher::kMouseMove, TwVector(400, 100), 0);
    EXPECT_FALSE(launcher.Flying());
    // A move whose aim line meets a wall goes on to the button handling.
    launcher.HandleInput(2, Launcher::kLeftReleased, Launcher::kMouseMove, TwVector(250, 400), 0);
    EXPECT_TRUE(launcher.Flying());
}

TEST(FieldLifetime, FieldAndLauncherMayDieInEitherOrder) {
    TwSetMessageSink([](const std::string&, const std::string&) {});
    BubbleBanks banks;
    for (bool fieldFirst : {true, false}) {
        auto field = std::make_unique<GameMap>(banks, zvtest::StandardGeometry());
        auto launcher = std::make_unique<Launcher>();
        field->SetLauncher(launcher.get());
        launcher->SetField(field.get());
        field->Reset(true);
        field->Update(16); // the intro loads the launcher
        ASSERT_NE(launcher->Loaded(), nullptr);
        launcher->SetDirection(TwVector(0, -1));
        field->MapState = GameMap::kReady;
        ASSERT_TRUE(launcher->Fire()); // its bubble is now in the scene
        if (fieldFirst) {
            field.reset();
            EXPECT_EQ(launcher->Field(), nullptr);
            launcher.reset();
        } else {
            launcher.reset();
            EXPECT_EQ(field->GetLauncher(), nullptr);
            field->Update(16);
            field.reset();
        }
        EXPECT_EQ(banks.Scene().Size(), 0u);
    }
    TwSetMessageSink(nullptr);
}
