#include "GameScreenFixture.h"
#include "data/TwLanguage.h"
#include "gui/TwNotice.h"
#include <filesystem>

#include <cstdio>
#include <set>
#include <sys/stat.h>
#include <tuple>

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
        s.gameId = ModeNumber(game.Mode());
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
            if (game.State() != PlayState::kPlaying) {
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
        for (const BaseBubble* bubble : {Gun().Loaded(), Field().NextBubble()}) {
            if (bubble != nullptr) {
                EXPECT_TRUE(bubble->Colour() >= 0 && bubble->Colour() < 6) << bubble->Colour();
            }
        }
    }

    // A save file with these extra lines after a valid Classic game of one bubble.
    static std::string SlotWith(const std::string& lines, const std::string& map) {
        return "GameID = 0\nPlayerBubbleID = 1\nNextPlayerBubbleID = 1\n" + lines + "Map = " + map +
               "\n";
    }
};

TEST_F(SavedGameTest, SaveAndRestoreGiveBackTheSameGameInBothModes) {
    for (int mode : {ModeNumber(Game::kClassic), ModeNumber(Game::kArcade)}) {
        SCOPED_TRACE(mode == ModeNumber(Game::kArcade) ? "Arcade" : "Classic");
        StartGame(mode);
        PlayAFewShots();
        Field().ElapsedTime = 3210;
        Field().TripleBonus = 50;
        Field().ComboCount = 2;
        const Snapshot before = Take();
        ASSERT_TRUE(game.SaveGame());
        EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

        // Another game of the other mode takes the screen, then the saved one comes back.
        StartGame(mode == ModeNumber(Game::kArcade) ? ModeNumber(Game::kClassic)
                                                    : ModeNumber(Game::kArcade));
        ASSERT_TRUE(game.Restore());
        EXPECT_EQ(game.State(), PlayState::kPlaying);
        EXPECT_EQ(Field().MapState, GameMap::kResume);
        EXPECT_EQ(dynamic_cast<ArcadeMap*>(game.Field()) != nullptr,
                  mode == ModeNumber(Game::kArcade));
        EXPECT_EQ(Take(), before);
        // The save stays on disk while the restored game is played.
        EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

        // The clock waits for the reveal; it runs again in the frame the reveal ends.
        while (Field().MapState == GameMap::kResume) {
            EXPECT_EQ(Field().ElapsedTime, 3210);
            Frame(20);
        }
        EXPECT_EQ(Field().ElapsedTime, mode == ModeNumber(Game::kArcade) ? 3230 : 3210);
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
    // The twelve numbers and the grid, then the game's random state and the size and check
    // of its recording beside the slot.
    EXPECT_EQ(file.Values().size(), 16u);
    EXPECT_TRUE(file.Has("RandomState"));
    EXPECT_TRUE(file.Has("Replay.Size"));
    EXPECT_TRUE(file.Has("Replay.Check"));
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
            EXPECT_EQ(game.State(), PlayState::kPlaying);
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

// The launcher's two bubbles come back as saved when their colours have pictures, even when
// the field no longer holds them; only unknown colours are replaced by one in the field.
TEST_F(SavedGameTest, LauncherBubblesComeBackAsSavedUnlessTheirColourIsUnknown) {
    StartGame(Game::kClassic);
    WriteSlot("GameID = 0\nPlayerBubbleID = 5\nNextPlayerBubbleID = 0\nMap = {[4 4]}\n");
    ASSERT_TRUE(game.Restore());
    ASSERT_NE(Gun().Loaded(), nullptr);
    ASSERT_NE(Field().NextBubble(), nullptr);
    EXPECT_EQ(Gun().Loaded()->Colour(), 5);
    EXPECT_EQ(Field().NextBubble()->Colour(), 0);

    WriteSlot("GameID = 0\nPlayerBubbleID = 6\nNextPlayerBubbleID = -1\nMap = {[4 4]}\n");
    ASSERT_TRUE(game.Restore());
    EXPECT_EQ(Gun().Loaded()->Colour(), 2) << "the field's only colour";
    EXPECT_EQ(Field().NextBubble()->Colour(), 2);
}

// A slot that cannot be continued is no longer offered, though its file stays on disk.
TEST_F(SavedGameTest, AFailedRestoreClearsTheSavedGameFlag) {
    const std::string slots[] = {
        "{{{ ]]] = = \"",                   // not a definition file
        "GameID = 7\nMap = {[4]}\n",        // unknown mode
        "GameID = 1\nPlayerBubbleID = 2\n", // no bubbles
        SlotWith("", "{[1 1 1][1]}"),       // only empty cells
    };
    for (const std::string& slot : slots) {
        SCOPED_TRACE(slot);
        StartGame(Game::kClassic);
        WriteSlot(slot);
        ASSERT_TRUE(TwProfileStore::Instance().HasSavedGame());
        EXPECT_FALSE(game.Restore());
        EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
        EXPECT_EQ(SlotText(), slot);
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

// Every shot is saved once the field has come to rest (landing, bursts, falls and any new
// row over), with one write per shot; what is on disk then restores the very same game.
TEST_F(SavedGameTest, EachShotIsSavedOnceItHasComeToRest) {
    for (int mode : {ModeNumber(Game::kClassic), ModeNumber(Game::kArcade)}) {
        SCOPED_TRACE(mode == ModeNumber(Game::kArcade) ? "Arcade" : "Classic");
        game.Abandon();
        StartGame(mode);
        Frames(30);
        EXPECT_EQ(SlotText(), "") << "nothing is saved before the first shot";

        // Each atomic write puts a new file in place: count them by the file's identity and
        // change time (a freed inode number may come back for the next file).
        std::set<std::tuple<ino_t, time_t, long>> writes;
        auto noteWrite = [&] {
            struct stat info {};
            if (::stat(SlotPath().c_str(), &info) == 0 && info.st_size > 0) {
                writes.insert({info.st_ino, info.st_ctim.tv_sec, info.st_ctim.tv_nsec});
            }
        };
        const TwVector aims[] = {{300, 200}, {520, 250}, {400, 150}, {250, 300}};
        int shots = 0;
        for (const TwVector& aim : aims) {
            if (game.State() != PlayState::kPlaying) {
                break;
            }
            ASSERT_TRUE(
                RunUntil([this] { return Field().Settled() && Gun().ReloadRemaining() == 0; }));
            noteWrite();
            MoveMouse(aim.x, aim.y);
            Frame();
            LeftClick(aim.x, aim.y);
            ASSERT_TRUE(Gun().Flying());
            ++shots;
            const std::size_t before = writes.size();
            for (Frame(); Gun().Flying(); Frame()) {
                noteWrite();
                EXPECT_EQ(writes.size(), before) << "saved while the shot was flying";
            }
            ASSERT_TRUE(RunUntil(
                [&] {
                    noteWrite();
                    return writes.size() > before;
                },
                500));
            // Saved at rest: the field on disk is the field on screen.
            EXPECT_TRUE(Field().FallingList().empty());
            EXPECT_EQ(Field().MapState, GameMap::kReady);
            EXPECT_FALSE(Field().RowPending);
        }
        Frames(100);
        noteWrite();
        EXPECT_EQ(static_cast<int>(writes.size()), shots) << "one write per shot";
        EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

        // What was saved is the game as it stands.
        if (game.State() == PlayState::kPlaying) {
            Field().ElapsedTime = 0; // the Arcade clock moves on between shots
            const std::string picture = Picture();
            const int score = Field().Score;
            const int loaded = Gun().Loaded()->Colour();
            ASSERT_TRUE(game.Restore());
            EXPECT_EQ(Picture(), picture);
            EXPECT_EQ(Field().Score, score);
            EXPECT_EQ(Gun().Loaded()->Colour(), loaded);
        }
    }
}

// A game belongs to the player who started it: it never lands in another player's slot, and
// it is not saved at all once its player has been deleted.
TEST_F(SavedGameTest, AGameIsSavedOnlyIntoItsOwnPlayersSlot) {
    TwProfileStore& store = TwProfileStore::Instance();
    store.TryAddProfile("Bob");
    const std::string bobsGame = "GameID = 1\nPlayerBubbleID = 3\nMap = {[5 5 5]}\n";
    WriteSlot(bobsGame);
    store.SelectProfile(store.IndexOf("Tester"));

    StartGame(Game::kClassic);
    EXPECT_EQ(game.Owner(), "Tester");
    ASSERT_TRUE(ShootAt(TwVector(400, 150)));
    store.SelectProfile(store.IndexOf("Bob"));
    ASSERT_TRUE(game.SaveGame());
    EXPECT_EQ(SlotText(), bobsGame) << "Bob's slot was overwritten";
    EXPECT_TRUE(store.HasSavedGame());

    store.SelectProfile(store.IndexOf("Tester"));
    EXPECT_TRUE(store.HasSavedGame());
    const std::string picture = Picture();
    ASSERT_TRUE(game.Restore());
    EXPECT_EQ(Picture(), picture);

    // Continued by Bob, the game is Bob's.
    store.SelectProfile(store.IndexOf("Bob"));
    ASSERT_TRUE(game.Restore());
    EXPECT_EQ(game.Owner(), "Bob");
    EXPECT_EQ(game.Mode(), Game::kArcade);

    // Bob is deleted: his game has no slot any more, and nobody else's is touched.
    store.DeleteActiveProfile();
    const std::string testersSlot = SlotText();
    EXPECT_FALSE(game.SaveGame());
    EXPECT_EQ(SlotText(), testersSlot);
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
    EXPECT_EQ(game.Mode(), Game::kArcade);
}

// A save that cannot be written (the save folder's place taken by a file, as on a broken
// disk) is told on screen once a game; the next shot tries again, and once the folder is
// back the save succeeds.
TEST_F(SavedGameTest, FailedSaveIsToldOnceAGameAndTriedAgainAfterTheNextShot) {
    TwNotice& notice = TwNotice::Instance();
    notice.Hide();
    StartGame(Game::kClassic);
    Layout(gstest::kSpreadRow, 1, 2);
    const std::string saveDir = std::filesystem::path(SlotPath()).parent_path().string();
    std::filesystem::remove_all(saveDir);
    zvtest::WriteAll(saveDir, "not a folder");

    ASSERT_TRUE(ShootAt(Cell(3, 5)));
    ASSERT_TRUE(RunUntil([&notice] { return notice.Showing(); }));
    EXPECT_EQ(notice.Text(), TwLanguage::Instance().GetText("SaveFailed"));
    notice.Hide();
    ASSERT_TRUE(ShootAt(Cell(8, 5)));
    Frames(30);
    EXPECT_FALSE(notice.Showing()) << "told once a game";

    std::filesystem::remove(saveDir);
    ASSERT_TRUE(ShootAt(Cell(5, 6)));
    Frames(30);
    EXPECT_NE(SlotText().find("GameID"), std::string::npos);
}
