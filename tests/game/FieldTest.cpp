#include "FieldFixture.h"
#include "FieldPainter.h"

#include "data/TwDefFile.h"

#include <cmath>
#include <map>
#include <set>

using zvtest::FieldTest;

TEST_F(FieldTest, CellCentresFollowTheOffsetRows) {
    EXPECT_EQ(field.CellToScreen(0, 0), TwVector(218, 44));
    EXPECT_EQ(field.CellToScreen(11, 0), TwVector(570, 44));
    EXPECT_EQ(field.CellToScreen(0, 1), TwVector(234, 76));
    EXPECT_EQ(field.CellToScreen(11, 1), TwVector(586, 76));
    const GameMap::Walls& walls = field.GetWalls();
    EXPECT_EQ(walls.leftX, 218);
    EXPECT_EQ(walls.topY, 44);
    EXPECT_EQ(walls.rightX, 586);
}

TEST_F(FieldTest, PointsFindTheirCellAndSharedEdgesGoToTheLowerColumnThenRow) {
    EXPECT_EQ(field.ScreenToCell(TwVector(218, 44)), (TwCell{0, 0}));
    EXPECT_EQ(field.ScreenToCell(TwVector(590, 80)), (TwCell{11, 1}));
    // The edge between columns 0 and 1 of row 0 lies at x = 234.
    EXPECT_EQ(field.ScreenToCell(TwVector(234, 44)), (TwCell{0, 0}));
    // (240, 60) is on the edge of (1, 0) and of (0, 1): the lower column wins.
    EXPECT_EQ(field.ScreenToCell(TwVector(240, 60)), (TwCell{0, 1}));
    // (218, 60) is on the edge of (0, 0) and (0, 1): then the lower row.
    EXPECT_EQ(field.ScreenToCell(TwVector(218, 60)), (TwCell{0, 0}));
    EXPECT_EQ(field.ScreenToCell(TwVector(100, 44)), (TwCell{-1, -1}));
    EXPECT_EQ(field.ScreenToCell(TwVector(400, 590)), (TwCell{-1, -1}));

    Layout({"1"});
    EXPECT_EQ(field.ScreenToFreeCell(TwVector(234, 44)), (TwCell{1, 0}));
    EXPECT_EQ(field.ScreenToFreeCell(TwVector(218, 44)), (TwCell{-1, -1}));
}

TEST_F(FieldTest, FastCellLookupAgreesWithAFullScan) {
    Layout({"012345012345", " 1 2 3 4 5 0"});
    auto scan = [this](const TwVector& p, bool freeOnly) {
        for (int c = 0; c < field.Columns(); ++c) {
            for (int k = 0; k < field.Rows(); ++k) {
                if (freeOnly && field.Bubble(c, k) != nullptr) {
                    continue;
                }
                if (field.Geometry().CellSquareHolds(c, k, p)) {
                    return TwCell{c, k};
                }
            }
        }
        return TwCell{-1, -1};
    };
    for (float y = 20; y < 480; y += 3.5f) {
        for (float x = 190; x < 620; x += 2.5f) {
            ASSERT_EQ(field.ScreenToCell(TwVector(x, y)), scan(TwVector(x, y), false))
                << x << "," << y;
            ASSERT_EQ(field.ScreenToFreeCell(TwVector(x, y)), scan(TwVector(x, y), true));
        }
    }
}

TEST_F(FieldTest, NeighboursDependOnRowParity) {
    const auto even = ColourGrid::Neighbours(3, 2);
    const auto odd = ColourGrid::Neighbours(3, 1);
    EXPECT_EQ(even[1], (TwCell{2, 3}));
    EXPECT_EQ(even[3], (TwCell{2, 1}));
    EXPECT_EQ(odd[1], (TwCell{4, 2}));
    EXPECT_EQ(odd[3], (TwCell{4, 0}));
    EXPECT_EQ(odd[4], (TwCell{4, 1}));
    EXPECT_EQ(odd[5], (TwCell{2, 1}));
}

TEST(FieldGeometry, MapFileValuesAreReadAndKeptWithinTheStorage) {
    const std::string text = "xMax=30\nyMax=0\nBubbleRadius=18\nxPlayerPos=410\nyPlayerPos=560\n";
    TwDefFile def;
    ASSERT_EQ(def.LoadFromMemory(text.data(), text.size()), 0);
    FieldGeometry g;
    g.ReadFrom(def);
    EXPECT_EQ(g.columns, 20);
    EXPECT_EQ(g.rows, 1);
    EXPECT_EQ(g.radius, 18);
    EXPECT_EQ(g.xPlayerPos, 410);
    EXPECT_EQ(g.yPlayerPos, 560);

    const std::string partial = "BubbleRadius=-4\n";
    TwDefFile def2;
    def2.LoadFromMemory(partial.data(), partial.size());
    FieldGeometry kept;
    kept.columns = 9;
    kept.ReadFrom(def2);
    EXPECT_EQ(kept.columns, 9);
    EXPECT_EQ(kept.radius, 1);
}

class OddFieldTest : public FieldTest {
protected:
    OddFieldTest() : FieldTest(11) {}
};

TEST_F(OddFieldTest, NewGameFillsTheUpperHalfOfTheRows) {
    field.Reset(true);
    EXPECT_EQ(field.BubbleCount(), 12 * 5);
    EXPECT_FALSE(field.RowEmpty(4));
    EXPECT_TRUE(field.RowEmpty(5));
    EXPECT_EQ(field.MapState, GameMap::kIntro);
    EXPECT_EQ(field.Score, 0);
    EXPECT_EQ(banks.Scene().Size(), 60u);
    field.Reset(false);
    EXPECT_TRUE(field.IsEmpty());
    EXPECT_EQ(banks.Scene().Size(), 0u);
}

TEST_F(FieldTest, ColourChoiceFavoursTheSmallestPresentColour) {
    field.ColourSet = {1, 4};
    std::map<int, int> seen;
    for (int i = 0; i < 3000; ++i) {
        ++seen[field.PickColour()];
    }
    ASSERT_EQ(seen.size(), 2u);
    // m in {0, 1} gives colour 1, m = 2 gives colour 4: two to one.
    EXPECT_NEAR(seen[1] / 3000.0, 2.0 / 3.0, 0.03);
    field.ColourSet.clear();
    EXPECT_EQ(field.PickColour(), GameMap::kNoColour);
    EXPECT_EQ(field.CreateBubble(0, 0), nullptr);
}

TEST_F(FieldTest, LosingAColourAfterTheIntroPushesHarder) {
    Layout({"0011"});
    field.MapState = GameMap::kIntro;
    field.TakeBubble(2, 0);
    field.TakeBubble(3, 0);
    field.RecountColours();
    EXPECT_FALSE(field.RowPending);
    EXPECT_EQ(field.NumAddLines, 1);

    field.TakeBubble(0, 0);
    field.TakeBubble(1, 0);
    Layout({"0011"});
    field.MapState = GameMap::kReady;
    field.TakeBubble(2, 0);
    field.TakeBubble(3, 0);
    field.RecountColours();
    field.RecountColours(); // counting again without a change does nothing more
    EXPECT_TRUE(field.RowPending);
    EXPECT_EQ(field.NumBeginMoves, 4);
    EXPECT_EQ(field.NumAddLines, 2);
    EXPECT_EQ(Count(GameSound::kColourRemoved), 1);
}

TEST_F(FieldTest, IntroRevealsOneColourAtATime) {
    Layout({"0011", "22"});
    field.MapState = GameMap::kIntro;
    int frames = 0;
    while (field.MapState == GameMap::kIntro && frames < 100) {
        field.Update(16);
        ++frames;
    }
    EXPECT_EQ(field.MapState, GameMap::kReady);
    EXPECT_EQ(Count(GameSound::kColourRevealed), 3);
    field.ForEachBubble([](const BaseBubble& b, int, int) { EXPECT_TRUE(b.HasAppeared()); });
    // The intro loaded the launcher and picked a next bubble of a present colour.
    ASSERT_NE(launcher.Loaded(), nullptr);
    ASSERT_NE(field.NextBubble(), nullptr);
    EXPECT_TRUE(field.InColourSet(launcher.Loaded()->Colour()));
}

TEST_F(FieldTest, BottomRowEndsTheGame) {
    EXPECT_FALSE(field.CheckBottomRow());
    ASSERT_TRUE(field.PlaceNewBubble(3, field.Rows() - 1, 2));
    field.MapState = GameMap::kRowSlide;
    EXPECT_TRUE(field.CheckBottomRow());
    EXPECT_EQ(field.State(), PlayState::kLost);
    EXPECT_EQ(field.MapState, GameMap::kReady);
}

TEST_F(FieldTest, ClassicRowsComeAfterMissesAndTheCounterNeverRunsAway) {
    for (int miss = 1; miss <= 5; ++miss) {
        field.OnMiss();
        EXPECT_EQ(field.MapState, GameMap::kReady);
    }
    field.OnMiss();
    EXPECT_EQ(field.MapState, GameMap::kRowStart);
    EXPECT_EQ(field.NumMovesLeft, 4);

    // Lost colours can wear the refill value down to nothing: every miss then brings a row.
    field.NumBeginMoves = -1;
    field.NextNumBeginMoves = 0;
    field.NumMovesLeft = 0;
    for (int miss = 0; miss < 4; ++miss) {
        field.MapState = GameMap::kReady;
        field.OnMiss();
        EXPECT_EQ(field.MapState, GameMap::kRowStart) << miss;
        EXPECT_EQ(field.NumMovesLeft, 0);
    }
}

TEST_F(FieldTest, RestoredFieldRevealsWithoutCountingLostColours) {
    field.MapState = GameMap::kIntro;
    Layout({"0033", "3"});
    Load(0, 3);
    field.MapState = GameMap::kResume;
    field.ElapsedTime = 1234;
    for (int i = 0; i < 100 && field.MapState == GameMap::kResume; ++i) {
        field.Update(16);
    }
    EXPECT_EQ(field.MapState, GameMap::kReady);
    EXPECT_EQ(Count(GameSound::kColourRemoved), 0);
    EXPECT_EQ(Count(GameSound::kColourRevealed), 2);
    EXPECT_FALSE(field.RowPending);
    EXPECT_EQ(field.ColourSet, (std::set<int>{0, 3}));
    EXPECT_EQ(field.ElapsedTime, 1234);
}

TEST_F(FieldTest, NextBubbleWaitsBehindTheLauncherAndTheLoadedOneAtTheMuzzle) {
    Load(1, 2);
    launcher.Aim(TwVector(300, 300));
    std::vector<std::uint32_t> tints;
    field.SetCursorTintSink([&tints](std::uint32_t argb) { tints.push_back(argb); });
    field.Update(16);
    FieldPainter().Draw(field, &launcher);
    const TwVector aim = launcher.Direction();
    const TwVector next = field.NextBubble()->Position();
    EXPECT_NEAR(next.x, 400.0f - 7.25f * aim.x, 1e-3);
    EXPECT_NEAR(next.y, 570.0f - 7.25f * aim.y, 1e-3);
    EXPECT_EQ(field.NextBubble()->Frame(), 8);
    const TwVector muzzle = launcher.Loaded()->Position();
    EXPECT_NEAR(muzzle.x, 400.0f + 31.0f * aim.x, 1e-3);
    EXPECT_NEAR(launcher.Loaded()->rotation, std::acos(aim.x), 1e-5);
    ASSERT_EQ(tints.size(), 1u);
    EXPECT_EQ(tints[0], 0xFFFF9169u); // the orange of colour 1
}

TEST(FieldGeometry, ShippedMapFitsTheLauncherAndTheWalls) {
    TwDefFile def;
    ASSERT_EQ(def.LoadFromFile(zvtest::SourceDir() + "/assets/Data/Map.Txt"), 0);
    FieldGeometry g;
    g.ReadFrom(def);
    BubbleBanks banks;
    GameMap field(banks, g);
    EXPECT_EQ(field.GetWalls().leftX, 195);
    EXPECT_EQ(field.GetWalls().rightX, 609);
    EXPECT_EQ(field.GetWalls().topY, 47);
    // The last row, the one that ends the game, stays above the lowest bounce point.
    EXPECT_LT(field.CellToScreen(0, field.Rows() - 1).y + field.Radius(), 490.0f);
}
