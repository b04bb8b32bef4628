#include "GameScreenFixture.h"

#include <cstdio>

#include "ArcadeMap.h"
#include "GameSound.h"
#include "data/TwDefFile.h"
#include "records/TwProfileStore.h"

using gstest::GameScreenTest;

namespace {

// What a restore must give back.
struct Snapshot {
    std::string picture;
    int gameId = 0, score = 0, bonus = 0, combo = 0, elapsed = 0;
    int movesLeft = 0, beginMoves = 0, nextBeginMoves = 0, addLines = 0, addedLines = 0;
    int loaded = -1, next = -1;

    bool operator==(const Snapshot&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Snapshot& s) {
    return out << s.picture << "mode " << s.gameId << " score " << s.score << " bonus " << s.bonus
               << " combo " << s.combo << " clock " << s.elapsed << " moves " << s.movesLeft << "/"
               << s.beginMoves << "/" << s.nextBeginMoves << " lines " << s.addLines << "/"
               << s.addedLines << " launcher " << s.loaded << "/" << s.next;
}

} // namespace

class SavedGameTest : public GameScreenTest {
protected:
    Snapshot Take() const {
        Snapshot s;
        const GameMap& f = Field();
        s.picture = Picture();
        s.gameId = game.GetGameID();
        s.score = f.Score;
        s.bonus = f.TripleBonus;
        s.combo = f.ComboCount;
        s.elapsed = f.ElapsedTime;
        s.movesLeft = f.NumMovesLeft;
        s.beginMoves = f.NumBeginMoves;
        s.nextBeginMoves = f.NextNumBeginMoves;
        s.addLines = f.NumAddLines;
        s.addedLines = f.NumAddedeLines;
        s.loaded = Gun().Loaded() != nullptr ? Gun().Loaded()->Colour() : -1;
        s.next = f.NextBubble() != nullptr ? f.NextBubble()->Colour() : -1;
        return s;
    }

    // Plays a few shots of whatever the launcher holds so the field is no longer fresh.
    void PlayAFewShots() {
        const TwVector aims[] = {{300, 200}, {520, 250}, {400, 150}};
        for (const TwVector& aim : aims) {
            if (GameState::Get() != GameState::kPlaying) {
                break;
            }
            ASSERT_TRUE(ShootAt(aim));
        }
        ASSERT_TRUE(RunUntil([this] {
            return Field().MapState == GameMap::kReady && Field().FallingList().empty();
        }));
    }

    // Every bubble in the field and at the launcher has a colour with a picture.
    void ExpectOnlyKnownColours() {
        Field().ForEachBubble([](const BaseBubble& bubble, int c, int k) {
            EXPECT_TRUE(bubble.Colour() >= 0 && bubble.Colour() < 6)
                << "cell " << c << "," << k << " colour " << bubble.Colour();
        });
        if (Gun().Loaded() != nullptr) {
            EXPECT_TRUE(Field().InColourSet(Gun().Loaded()->Colour()));
        }
        if (Field().NextBubble() != nullptr) {
            EXPECT_TRUE(Field().InColourSet(Field().NextBubble()->Colour()));
        }
    }

    // A save file with these extra lines after a valid Classic game of one bubble.
    static std::string SlotWith(const std::string& lines, const std::string& map) {
        return "GameID = 0\nPlayerBubbleID = 1\nNextPlayerBubbleID = 1\n" + lines + "Map = " + map +
               "\n";
    }
};

TEST_F(SavedGameTest, SaveAndRestoreGiveBackTheSameGameInBothModes) {
    for (int mode : {Game::kClassic, Game::kArcade}) {
        SCOPED_TRACE(mode == Game::kArcade ? "Arcade" : "Classic");
        StartGame(mode);
        PlayAFewShots();
        Field().ElapsedTime = 3210;
        Field().TripleBonus = 50;
        Field().ComboCount = 2;
        const Snapshot before = Take();
        ASSERT_TRUE(game.SaveGame());
        EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

        // Another game of the other mode takes the screen, then the saved one comes back.
        StartGame(mode == Game::kArcade ? Game::kClassic : Game::kArcade);
        ASSERT_TRUE(game.Restore());
        EXPECT_EQ(GameState::Get(), GameState::kPlaying);
        EXPECT_EQ(Field().MapState, GameMap::kResume);
        EXPECT_EQ(dynamic_cast<ArcadeMap*>(game.Field()) != nullptr, mode == Game::kArcade);
        EXPECT_EQ(Take(), before);
        // The save stays on disk while the restored game is played.
        EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

        // The clock waits for the reveal; it runs again in the frame the reveal ends.
        while (Field().MapState == GameMap::kResume) {
            EXPECT_EQ(Field().ElapsedTime, 3210);
            Frame(20);
        }
        EXPECT_EQ(Field().ElapsedTime, mode == Game::kArcade ? 3230 : 3210);
        EXPECT_EQ(Take().picture, before.picture);
        EXPECT_EQ(Count(GameSound::kColourRemoved), 0);
    }
}

TEST_F(SavedGameTest, RestoredFieldWithTwoColoursLeftLosesNoColourOnItsFirstFrames) {
    StartGame(Game::kClassic);
    Layout({"0110", "0.1"}, 1, 0);
    Field().NumBeginMoves = 3;
    ASSERT_TRUE(game.SaveGame());
    sounds.clear();
    ASSERT_TRUE(game.Restore());
    ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
    Frames(5);
    EXPECT_EQ(Count(GameSound::kColourRemoved), 0);
    EXPECT_EQ(Count(GameSound::kColourRevealed), 2);
    EXPECT_EQ(Field().NumBeginMoves, 3);
    EXPECT_EQ(Field().NumAddLines, 1);
    EXPECT_FALSE(Field().RowPending);
}

TEST_F(SavedGameTest, TheSlotHoldsTwentyGridRowsOfTwentyCells) {
    StartGame(Game::kArcade);
    Layout({"5", "", "..3"}, 2, 4);
    Field().Score = 1234;
    ASSERT_TRUE(game.SaveGame());
    TwDefFile file;
    ASSERT_EQ(file.LoadFromFile(SlotPath()), 0);
    EXPECT_EQ(file.GetInt("GameID", -1), 1);
    EXPECT_EQ(file.GetInt("PlayerBubbleID", -1), 2);
    EXPECT_EQ(file.GetInt("NextPlayerBubbleID", -1), 4);
    EXPECT_FLOAT_EQ(file.GetFloat("Score", 0), 1234.0f);
    EXPECT_EQ(file.Values().size(), 13u);
    int width = 0, height = 0;
    const std::string grid = file.GetCharGrid("Map", width, height, ' ');
    ASSERT_EQ(width, 20);
    ASSERT_EQ(height, 20);
    auto at = [&grid](int column, int row) {
        return static_cast<unsigned char>(grid[static_cast<std::size_t>(column * 20 + row)]);
    };
    // Grid row = field column, cell = field row.
    EXPECT_EQ(at(0, 0), '2' + 5);
    EXPECT_EQ(at(2, 2), '2' + 3);
    EXPECT_EQ(at(1, 0), '1');
    EXPECT_EQ(at(11, 11), '1');
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(at(12, i), 255);
        EXPECT_EQ(at(i, 12), 255);
        EXPECT_EQ(at(19, i), 255);
    }
}

TEST_F(SavedGameTest, DamagedOrHostileSlotsNeverCrashNorPlaceUnknownColours) {
    struct Case {
        const char* what;
        std::string text;
        bool restores;
    };
    const std::string oneBubble = "{[4]}";
    const Case cases[] = {
        {"empty slot", "", false},
        {"not a definition file", "{{{ ]]] = = \"", false},
        {"unknown mode", "GameID = 7\nMap = {[4]}\n", false},
        {"negative mode", "GameID = -1\nMap = {[4]}\n", false},
        {"no map", "GameID = 1\nPlayerBubbleID = 2\n", false},
        {"only unknown colours", SlotWith("", "{[9 0 / ~][: ; <]}"), false},
        {"unknown launcher colours",
         "GameID = 0\nPlayerBubbleID = 42\nNextPlayerBubbleID = "
         "-7\nMap = {[4 4 9]}\n",
         true},
        {"short grid", SlotWith("", "{[3 3][3]}"), true},
        {"wild numbers",
         SlotWith("Score = 1e30\nTripleBonus = -5\nNumAddLines = 2147483647\nElapsedTime = "
                  "-2147483648\nNumMovesLeft = -2147483648\nNumBeginMoves = -2147483648\n"
                  "NextNumBeginMoves = 2147483647\nLongestCombo = 2147483647\n",
                  oneBubble),
         true},
        {"not a number", SlotWith("Score = nan\nNumMovesLeft = twelve\n", oneBubble), true},
        {"huge grid", SlotWith("", "{[" + std::string(5000, '3') + "]}"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartGame(Game::kClassic);
        const std::string before = Picture();
        WriteSlot(c.text);
        EXPECT_EQ(game.Restore(), c.restores);
        if (!c.restores) {
            // The game on the screen is left as it was.
            EXPECT_EQ(Picture(), before);
            EXPECT_EQ(GameState::Get(), GameState::kPlaying);
            continue;
        }
        ExpectOnlyKnownColours();
        EXPECT_NE(Gun().Loaded(), nullptr);
        EXPECT_NE(Field().NextBubble(), nullptr);
        EXPECT_GE(Field().Score, 0);
        EXPECT_LE(Field().ElapsedTime, 5000);
        // The restored game plays on without trouble.
        ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
        ASSERT_TRUE(ShootAt(TwVector(400, 100)));
        Frames(50);
        ExpectOnlyKnownColours();
    }
}

TEST_F(SavedGameTest, AFailedRestoreAfterAFinishedGameLeavesItFinished) {
    StartGame(Game::kClassic);
    game.Abandon();
    std::remove(SlotPath().c_str());
    EXPECT_FALSE(game.Restore());
    EXPECT_TRUE(game.IsFinished());
    EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
}

TEST_F(SavedGameTest, WithoutAPlayerNothingIsSavedOrRestored) {
    StartGame(Game::kClassic);
    TwProfileStore::Instance().Reset();
    EXPECT_FALSE(game.SaveGame());
    EXPECT_FALSE(game.Restore());
    EXPECT_FALSE(game.IsFinished());
}

TEST_F(SavedGameTest, ClosingTheGameScreenKeepsTheSavedGame) {
    {
        Game other;
        other.SetFieldGeometry(gstest::ShippedGeometry());
        other.StartArcade();
        other.NewGame();
        for (int i = 0; i < 200 && other.Field()->MapState != GameMap::kReady; ++i) {
            other.Update(20);
        }
        ASSERT_TRUE(other.SaveGame());
    }
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_NE(SlotText(), "");
    ASSERT_TRUE(game.Restore());
    EXPECT_EQ(game.GetGameID(), Game::kArcade);
}
