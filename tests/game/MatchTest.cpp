#include "FieldFixture.h"

using zvtest::FieldTest;

TEST_F(FieldTest, ThreeOfAColourBurstTwoDoNot) {
    Layout({"00 11"});
    field.ResolveMatch(1, 0, 0);
    EXPECT_EQ(field.Score, 0);
    EXPECT_EQ(field.NumMovesLeft, 4); // a miss counts towards the next row
    EXPECT_EQ(field.ComboCount, 0);

    ASSERT_TRUE(field.PlaceNewBubble(2, 0, 0));
    field.ResolveMatch(2, 0, 0);
    EXPECT_EQ(field.Score, 30);
    EXPECT_EQ(field.NumMovesLeft, 4); // a match does not
    EXPECT_EQ(field.ComboCount, 1);
    EXPECT_EQ(field.Bubble(0, 0), nullptr);
    EXPECT_EQ(field.Bubble(2, 0), nullptr);
    EXPECT_NE(field.Bubble(3, 0), nullptr);
    // Each burst left an effect over the bubbles in the scene's top layer.
    int effects = 0;
    for (const MoveObj& entry : banks.Scene().Entries()) {
        effects += entry.owned != nullptr && entry.top && entry.update && entry.object->z == 16.0f;
    }
    EXPECT_EQ(effects, 3);
}

TEST_F(FieldTest, GroupSearchFollowsOffsetNeighboursOnly) {
    // (1, 1) on an odd row touches (1, 0) and (2, 0) above it, not (0, 0).
    Layout({"0", " 0", " 0"});
    field.ResolveMatch(1, 1, 0);
    EXPECT_EQ(field.Score, 0);
    EXPECT_EQ(field.BubbleCount(), 3);
    // A straight column zig-zags through the odd row's shift and holds together.
    field.Reset(false);
    field.MapState = GameMap::kReady;
    Layout({"0", "0", "0"});
    field.ResolveMatch(0, 2, 0);
    EXPECT_EQ(field.Score, 30);
    EXPECT_TRUE(field.IsEmpty());
}

TEST_F(FieldTest, BubblesThatNeverMatchAreNeitherMatchNorMiss) {
    Layout({"00"});
    field.ComboCount = 2;
    field.ResolveMatch(1, 0, ColourGrid::kNoMatchColour);
    EXPECT_EQ(field.ComboCount, 2);
    EXPECT_EQ(field.NumMovesLeft, 5);
    EXPECT_EQ(field.Score, 0);
}

TEST_F(FieldTest, ThirdMatchInARowEarnsTheBonusAndAMissEndsTheRun) {
    auto matchOnce = [this] {
        Layout({"000"});
        field.ResolveMatch(0, 0, 0);
    };
    matchOnce();
    matchOnce();
    EXPECT_EQ(field.TripleBonus, 0);
    matchOnce();
    EXPECT_EQ(field.TripleBonus, 25);
    matchOnce();
    EXPECT_EQ(field.TripleBonus, 50);
    Layout({"1"});
    field.ResolveMatch(0, 0, 1);
    EXPECT_EQ(field.ComboCount, 0);
    matchOnce();
    matchOnce();
    EXPECT_EQ(field.TripleBonus, 50);
    matchOnce();
    EXPECT_EQ(field.TripleBonus, 75);
}

TEST_F(FieldTest, LargerGroupsScoreMorePerBubble) {
    const int expected[] = {0, 10, 20, 30, 50, 70, 90, 120, 150, 180, 220};
    for (int n = 0; n <= 10; ++n) {
        field.Score = 0;
        field.AddScore(n);
        EXPECT_EQ(field.Score, expected[n]) << n;
    }
}

TEST_F(FieldTest, BubbleHangingFromABurstGroupFallsAndBurstsLater) {
    Layout({"000", "1"});
    field.ResolveMatch(2, 0, 0);
    EXPECT_EQ(field.Score, 30);
    ASSERT_EQ(field.FallingList().size(), 1u);
    EXPECT_EQ(field.Bubble(0, 1), nullptr);
    const BaseBubble* falling = field.FallingList().front().get();
    EXPECT_GE(falling->Velocity().y, 0.09f);
    EXPECT_LE(falling->Velocity().y, 0.135f);
    const float startY = falling->Position().y;

    int elapsed = 0;
    while (!field.FallingList().empty() && elapsed < 1000) {
        field.UpdateFalling(16);
        elapsed += 16;
        if (!field.FallingList().empty()) {
            EXPECT_GT(field.FallingList().front()->Position().y, startY);
        }
    }
    EXPECT_GE(elapsed, 128);
    EXPECT_LE(elapsed, 144);
    EXPECT_EQ(field.Score, 100);
}

TEST_F(FieldTest, DetachedBubblesBurstOneByOneWithEverySecondOneHeard) {
    Layout({"0000000000", " 1111111111"});
    field.SetBurstSoundToggle(true); // an odd number of bursts earlier in the run
    field.TakeBubble(0, 0);
    for (int c = 1; c < 10; ++c) {
        field.TakeBubble(c, 0);
    }
    field.DropUnsupported();
    ASSERT_EQ(field.FallingList().size(), 10u);
    sounds.clear();
    std::vector<int> burstTimes;
    int elapsed = 0;
    std::size_t left = 10;
    while (left > 0 && elapsed < 5000) {
        field.UpdateFalling(20);
        elapsed += 20;
        if (field.FallingList().size() < left) {
            left = field.FallingList().size();
            burstTimes.push_back(elapsed);
        }
    }
    ASSERT_EQ(burstTimes.size(), 10u);
    EXPECT_GT(burstTimes[0], 128);
    for (std::size_t i = 1; i < burstTimes.size(); ++i) {
        EXPECT_GT(burstTimes[i] - burstTimes[i - 1], 64);
    }
    // The toggle was on, so the first burst is silent and every second one after it plays.
    EXPECT_EQ(Count(GameSound::kBallDelete), 5);
    EXPECT_EQ(field.Score, 10 * 70);
}

TEST_F(FieldTest, RowInsertionMovesEverythingDownAndDropsWhatNoLongerTouches) {
    // (0, 1) hangs from (1, 0) through the odd-row shift. Pushed down a row each, (0, 2) no
    // longer touches (1, 1).
    Layout({" 2", "3"});
    field.MapState = GameMap::kRowStart;
    BaseBubble* anchor = field.Bubble(1, 0);
    BaseBubble* hanger = field.Bubble(0, 1);
    int frames = 0;
    while (field.MapState != GameMap::kReady && frames < 100) {
        field.Update(16);
        ++frames;
    }
    EXPECT_NEAR(frames, 25, 1); // 400 ms of slide
    EXPECT_EQ(field.Bubble(1, 1), anchor);
    EXPECT_EQ(anchor->Position(), field.CellToScreen(1, 1));
    ASSERT_EQ(field.FallingList().size(), 1u);
    EXPECT_EQ(field.FallingList().front().get(), hanger);
    for (int c = 0; c < field.Columns(); ++c) {
        EXPECT_NE(field.Bubble(c, 0), nullptr);
    }
    EXPECT_EQ(Count(GameSound::kLineFall), 1);
    EXPECT_EQ(field.ElapsedTime, 0);
}

TEST_F(FieldTest, SeveralRowsFollowOneAnother) {
    Layout({"1"});
    field.NumAddLines = 2;
    field.MapState = GameMap::kRowStart;
    BaseBubble* first = field.Bubble(0, 0);
    int frames = 0;
    while (field.MapState != GameMap::kReady && frames < 200) {
        field.Update(16);
        ++frames;
    }
    EXPECT_EQ(field.Bubble(0, 2), first);
    EXPECT_EQ(field.NumAddedeLines, 0);
    EXPECT_EQ(Count(GameSound::kLineFall), 2);
}

TEST_F(FieldTest, LostColourBringsARowOnceNothingFalls) {
    Layout({"000", "1", "2"});
    field.ResolveMatch(0, 0, 0);
    ASSERT_EQ(field.FallingList().size(), 2u);
    field.LoadLauncher();
    EXPECT_TRUE(field.RowPending); // colours 1 and 2 are gone with their bubbles
    field.UpdateFalling(100);
    EXPECT_EQ(field.MapState, GameMap::kReady);
    for (int i = 0; i < 10 && field.MapState == GameMap::kReady; ++i) {
        field.UpdateFalling(100);
    }
    EXPECT_EQ(field.MapState, GameMap::kRowStart);
    EXPECT_FALSE(field.RowPending);
}

TEST_F(FieldTest, ClearingTheFieldEndsTheLevel) {
    Layout({"00"});
    Load(0);
    ASSERT_TRUE(FireAt(field.CellToScreen(1, 0)));
    FlyUntilLanded();
    EXPECT_TRUE(field.IsEmpty());
    EXPECT_EQ(field.MapState, GameMap::kCleared);
    EXPECT_EQ(field.State(), PlayState::kCleared);
    EXPECT_EQ(launcher.Loaded(), nullptr);
}
