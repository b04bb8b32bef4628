#include "GameScreenFixture.h"

#include "ArcadeMap.h"
#include "GameSound.h"

using gstest::GameScreenTest;
using gstest::kSpreadRow;
using gstest::MissColour;

class ArcadeTest : public GameScreenTest {
protected:
    void SetUp() override {
        StartGame(Game::kArcade);
        Layout(kSpreadRow, 1, 2);
        Field().ElapsedTime = 0;
        sounds.clear();
    }
};

TEST_F(ArcadeTest, TheArcadeFieldRunsTheClock) {
    EXPECT_EQ(game.Mode(), Game::kArcade);
    EXPECT_NE(dynamic_cast<ArcadeMap*>(game.Field()), nullptr);
    // Starting Classic afterwards gives a plain field without the clock.
    game.StartClassic();
    game.NewGame();
    EXPECT_EQ(dynamic_cast<ArcadeMap*>(game.Field()), nullptr);
    EXPECT_EQ(game.Mode(), Game::kClassic);
}

TEST_F(ArcadeTest, MissesNeverCostAMove) {
    const int columns[] = {0, 2, 4, 6, 8, 10, 1};
    for (int column : columns) {
        Load(MissColour(column));
        ASSERT_TRUE(ShootAt(Under(column, 0))) << Picture();
    }
    // Seven misses took about 3.6 s of aiming time: no tick yet, and no row.
    EXPECT_LT(Field().ElapsedTime, ArcadeMap::kTickTime);
    EXPECT_EQ(Field().NumMovesLeft, 5);
    EXPECT_EQ(Count(GameSound::kLineFall), 0);
}

TEST_F(ArcadeTest, SixTicksOfJustOverFiveSecondsBringTheFirstRowOnEasy) {
    // 30 ms frames: the clock passes 5000 at 5010 ms, on the 167th frame of each tick, and
    // the 10 ms beyond are dropped.
    for (int tick = 1; tick <= 5; ++tick) {
        Frames(166, 30);
        EXPECT_EQ(Field().NumMovesLeft, 6 - tick) << "tick " << tick;
        EXPECT_EQ(Field().ElapsedTime, 4980);
        Frame(30);
        EXPECT_EQ(Field().NumMovesLeft, 5 - tick) << "tick " << tick;
        EXPECT_EQ(Field().ElapsedTime, 0);
    }
    EXPECT_EQ(Count(GameSound::kLineFall), 0);
    Frames(167, 30);
    // The sixth tick starts a row in the same frame; the counter refills to four.
    EXPECT_EQ(Field().NumMovesLeft, 4);
    EXPECT_EQ(Field().NextNumBeginMoves, 3);
    EXPECT_EQ(Field().MapState, GameMap::kRowStart);
}

TEST_F(ArcadeTest, NoTickWhileARowSlidesInOrAShotFlies) {
    Field().NumMovesLeft = 0;
    Field().ElapsedTime = 4990;
    Frame(20);
    ASSERT_EQ(Field().MapState, GameMap::kRowStart);
    // Every frame of the insertion sets the clock back to zero before it runs, so it never
    // holds more than the one frame.
    while (Field().MapState != GameMap::kReady) {
        Frame(20);
        EXPECT_LE(Field().ElapsedTime, 20);
    }
    EXPECT_EQ(Count(GameSound::kLineFall), 1);
    EXPECT_EQ(Field().NumMovesLeft, 4);

    // A long shot to the ceiling on the far side: the clock stands while it flies.
    ASSERT_TRUE(RunUntil([this] { return Gun().ReloadRemaining() == 0; }));
    MoveMouse(600, 400);
    Frame(20);
    const int before = Field().ElapsedTime;
    LeftClick(600, 400);
    ASSERT_TRUE(Gun().Flying());
    int flightFrames = 0;
    while (Gun().Flying()) {
        Frame(20);
        ++flightFrames;
        if (Gun().Flying()) {
            EXPECT_EQ(Field().ElapsedTime, before);
        }
    }
    EXPECT_GT(flightFrames, 5);
}

TEST_F(ArcadeTest, ClockStopsWhenTheGameIsNotPlayed) {
    Field().ElapsedTime = 1000;
    game.Suspend();
    Frames(10, 20);
    EXPECT_EQ(Field().ElapsedTime, 1000);
}
