// The Puzzle rules on the field and the game screen: the descent after the level's number of
// fruitless shots, winning and losing, the progress kept per player (unlocking, best
// scores, a damaged file), and a level saved after a shot and continued.
#include <filesystem>
#include <string>

#include "GameScreenFixture.h"
#include "LevelLibrary.h"
#include "PlayerFiles.h"
#include "PuzzleFixture.h"
#include "PuzzleProgress.h"
#include "SavedGame.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwProfileStore.h"

#include <gtest/gtest.h>

namespace {

using zvtest::PuzzleField;

class PuzzleRules : public ::testing::Test {
protected:
    PuzzleRules() {
        TwSetMessageSink([](const std::string&, const std::string&) {});
        TwSRand(77);
    }
    ~PuzzleRules() override { TwSetMessageSink(nullptr); }

    // Fires the loaded bubble straight up at the column's row-0 bubble, from below.
    void ShootUnder(int column, int row) {
        const TwVector target = play.field.CellToScreen(column, row) + TwVector(0, 6);
        ASSERT_TRUE(play.Shoot(target));
    }
    // Makes the loaded bubble (and the next) a colour.
    void Load(int colour) {
        auto bubble = play.field.NewBubbleOfColour(colour);
        play.launcher.SetLoaded(std::move(bubble));
        play.field.SetNextBubble(play.field.NewBubbleOfColour(colour));
    }

    PuzzleField play;
};

TEST_F(PuzzleRules, FieldComesDownARowAfterTheNamedNumberOfFruitlessShots) {
    // Every colour twice and never beside itself: no shot of colour 0 under a 3 bursts.
    play.Start(PuzzleField::LevelOf({"012345012345", "345012345012"}, 3));
    EXPECT_EQ(play.field.NumMovesLeft, 2); // the launcher shows two misses still allowed
    EXPECT_EQ(play.field.CeilingRow, 0);
    const int walls = play.field.GetWalls().topY;

    Load(0);
    ShootUnder(3, 1);
    Load(0);
    ShootUnder(9, 1);
    EXPECT_EQ(play.field.NumMovesLeft, 0);
    EXPECT_EQ(play.field.CeilingRow, 0);
    ASSERT_NE(play.field.Bubble(0, 0), nullptr);

    // The third fruitless shot brings the whole field down by one row, ceiling and all; no
    // new bubbles come in and nothing falls.
    const int before = play.field.BubbleCount();
    Load(1);
    ShootUnder(7, 1);
    EXPECT_EQ(play.field.CeilingRow, 1);
    EXPECT_GT(play.field.GetWalls().topY, walls);
    EXPECT_EQ(play.field.BubbleCount(), before + 1) << zvtest::FieldPicture(play.field);
    EXPECT_TRUE(play.field.RowEmpty(0));
    EXPECT_EQ(play.field.NumMovesLeft, 2);
    EXPECT_FALSE(play.Ended());
    // The launcher only ever holds colours still in the field.
    EXPECT_TRUE(play.field.InColourSet(play.launcher.Loaded()->Colour()));
}

TEST_F(PuzzleRules, ClearingTheFieldWinsAndABubbleInTheLastRowLoses) {
    // Two reds hanging from the ceiling with a blue below: a red completes the group, the
    // blue hanging from it drops, and the field is empty.
    play.Start(PuzzleField::LevelOf({"00..........", "3..........."}, 2));
    Load(0);
    ASSERT_TRUE(play.Shoot(play.field.CellToScreen(2, 0) + TwVector(0, 6)));
    play.Settle();
    EXPECT_TRUE(play.Won()) << zvtest::FieldPicture(play.field);

    // A tall column with one shot a descent: every fruitless shot brings it down a row until
    // a bubble reaches the last row.
    PuzzleField tall;
    std::vector<std::string> rows;
    for (int k = 0; k < 8; ++k) {
        rows.push_back(k % 2 ? "1..........." : "0...........");
    }
    tall.Start(PuzzleField::LevelOf(rows, 1));
    int shots = 0;
    while (!tall.Ended() && shots < 20) {
        auto bubble = tall.field.NewBubbleOfColour(5 - shots % 2 * 3); // 5 or 2: never in the field
        tall.launcher.SetLoaded(std::move(bubble));
        tall.Shoot(tall.field.CellToScreen(11, 0));
        ++shots;
    }
    EXPECT_EQ(tall.field.State(), PlayState::kLost);
    EXPECT_LE(shots, 5);
}

TEST(PuzzleProgressFile, UnlocksLevelsKeepsBestScoresPerPlayerAndSurvivesDamage) {
    zvtest::ScopedUserDirs dirs;
    PuzzleProgress ann;
    ASSERT_TRUE(ann.Load("Ann"));
    EXPECT_TRUE(ann.IsOpen("A set.Txt", 1));
    EXPECT_FALSE(ann.IsOpen("A set.Txt", 2));
    EXPECT_TRUE(ann.RecordClear("A set.Txt", 1, 300));
    EXPECT_FALSE(ann.RecordClear("A set.Txt", 1, 200)); // a worse score changes nothing
    EXPECT_TRUE(ann.RecordClear("User/x=y z.Txt", 4, 90));
    ASSERT_TRUE(ann.Save());

    PuzzleProgress again;
    ASSERT_TRUE(again.Load("Ann"));
    EXPECT_TRUE(again.IsOpen("A set.Txt", 2));
    EXPECT_FALSE(again.IsOpen("A set.Txt", 3));
    EXPECT_EQ(again.Best("A set.Txt", 1), 300);
    EXPECT_EQ(again.Best("User/x=y z.Txt", 4), 90);
    EXPECT_TRUE(again.IsOpen("User/x=y z.Txt", 5));

    // Another player has progress of their own.
    PuzzleProgress bob;
    ASSERT_TRUE(bob.Load("Bob"));
    EXPECT_FALSE(bob.Cleared("A set.Txt", 1));

    // A damaged file: moved aside whole, the player starts afresh, other files untouched.
    const std::string path = TwUserPath(PuzzleProgress::GameNameOf("Ann"));
    zvtest::WriteAll(path, "Set.A%20set%2ETxt.Best1 = 300\nSet.Oops.Best1 = -5\n");
    bob.RecordClear("B.Txt", 1, 10);
    ASSERT_TRUE(bob.Save());
    PuzzleProgress damaged;
    EXPECT_FALSE(damaged.Load("Ann"));
    EXPECT_FALSE(damaged.Cleared("A set.Txt", 1));
    EXPECT_FALSE(std::filesystem::exists(path));
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(TwDataDir() + "/Puzzle")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("Ann.Txt.damaged-", 0) == 0) {
            ++kept;
            EXPECT_EQ(zvtest::ReadAll(entry.path().string()),
                      "Set.A%20set%2ETxt.Best1 = 300\nSet.Oops.Best1 = -5\n");
        }
    }
    EXPECT_EQ(kept, 1);
    PuzzleProgress bobAgain;
    ASSERT_TRUE(bobAgain.Load("Bob"));
    EXPECT_EQ(bobAgain.Best("B.Txt", 1), 10);

    // Deleting a player deletes their progress with their other files.
    ForgetPlayerFiles("Bob");
    EXPECT_FALSE(std::filesystem::exists(TwUserPath(PuzzleProgress::GameNameOf("Bob"))));
}

// The game screen plays a level of the shared library, saves it after a shot and brings it
// back exactly on Continue; clearing it records the player's progress.
class PuzzleScreen : public gstest::GameScreenTest {
protected:
    PuzzleScreen() {
        const std::string set = "Title = \"S\"\nLevel1 = {\nShots = 2\nField = {\n"
                                "[0 1 2 3 4 5 0 1 2 3 4 5]\n}\n}\nLevel2 = {\nShots = 4\n"
                                "Field = {\n[0 0 . . . . . . . . . .]\n}\n}\n";
        LevelLibrary::Shared().Load(12, 12);
        LevelLibrary::Shared().Add("S.Txt", true, "S.Txt", set.data(), set.size(), 12, 12);
    }
    ~PuzzleScreen() override { LevelLibrary::Shared().Load(12, 12); }

    void Reveal() {
        ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
    }
};

TEST_F(PuzzleScreen, SavesAfterEveryShotAndContinuesTheSameLevel) {
    ASSERT_TRUE(game.StartPuzzle("S.Txt", 1));
    EXPECT_FALSE(game.StartPuzzle("S.Txt", 3));
    Reveal();
    Load(gstest::MissColour(3));
    ASSERT_TRUE(ShootAt(Under(3, 0)));
    ASSERT_TRUE(RunUntil([this] { return !SlotText().empty(); }));
    Load(gstest::MissColour(8));
    ASSERT_TRUE(ShootAt(Under(8, 0)));
    // The second fruitless shot of two brought the field down.
    ASSERT_TRUE(RunUntil([this] { return Field().CeilingRow == 1 && Field().MapState == 0; }));
    Frames(5);
    const std::string picture = Picture();
    const int score = Field().Score;
    const int movesLeft = Field().NumMovesLeft;

    game.Suspend();
    ASSERT_TRUE(game.Restore());
    EXPECT_EQ(game.Mode(), Game::kPuzzle);
    EXPECT_EQ(Picture(), picture);
    EXPECT_EQ(Field().Score, score);
    EXPECT_EQ(Field().NumMovesLeft, movesLeft);
    EXPECT_EQ(Field().CeilingRow, 1);
    EXPECT_EQ(Field().GetWalls().topY, static_cast<int>(Field().CellToScreen(0, 1).y));
}

TEST_F(PuzzleScreen, ClearingALevelRecordsItAndOffersTheNext) {
    ASSERT_TRUE(game.StartPuzzle("S.Txt", 2));
    Reveal();
    Load(0);
    ASSERT_TRUE(ShootAt(Under(2, 0) + TwVector(0, 0)));
    ASSERT_TRUE(RunUntil([this] { return game.State() == PlayState::kCompleteShown; }));
    PuzzleProgress progress;
    ASSERT_TRUE(progress.Load("Tester"));
    EXPECT_TRUE(progress.Cleared("S.Txt", 2));
    EXPECT_GT(progress.Best("S.Txt", 2), 0);
    EXPECT_TRUE(SlotText().empty()); // a finished level leaves no saved game
}

} // namespace
