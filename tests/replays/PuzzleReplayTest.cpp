// Puzzle levels recorded and replayed: the recording carries its level, a replay gives the
// same field after every shot (through a save, quit and continue too), it is watched from
// the level's result dialog, and it never touches the player's progress, save or scores.
#include <filesystem>
#include <sstream>

#include "LevelLibrary.h"
#include "PuzzleMap.h"
#include "PuzzleProgress.h"
#include "ReplayFixture.h"
#include "ReplayVerify.h"
#include "gui/TwPanel.h"
#include "platform/os/TwRand.h"
#include "platform/window/TwMessageBox.h"
#include "records/TwTop.h"

using replaytest::ReadRecording;
using replaytest::ShotSnapshot;

namespace {

// A set of two levels: a packed field that a simple player works through with misses (so
// the field comes down now and then), and a small one.
const std::string kSet = "Title = \"R\"\n"
                         "Level1 = {\nShots = 2\nField = {\n"
                         "[0 0 1 1 2 2 3 3 4 4 5 5]\n"
                         "[1 2 2 3 3 4 4 5 5 0 0 .]\n"
                         "[2 3 4 5 0 1 2 3 4 5 0 1]\n"
                         "[. . 3 3 . . 5 5 . . 1 1]\n}\n}\n"
                         "Level2 = {\nShots = 3\nField = {\n[0 0 . . 1 1 . . 2 2 . .]\n}\n}\n";

// A player's own set, named as the library names those.
const std::string kSetId = "User/R.Txt";

const std::string kChangedSet = "Level1 = {\nShots = 5\nField = {\n"
                                "[5 5 5 5 5 5 5 5 5 5 5 5]\n}\n}\n";

std::string FileText(const std::string& path) {
    std::string text;
    TwReadFile(path, text);
    return text;
}

} // namespace

class PuzzleReplayTest : public replaytest::ShotWatchTest {
protected:
    PuzzleReplayTest() { UseSet(kSet); }
    ~PuzzleReplayTest() override { LevelLibrary::Shared().Load(12, 12); }

    static void UseSet(const std::string& text) {
        LevelLibrary::Shared().Load(12, 12);
        LevelLibrary::Shared().Add(kSetId, false, "R.Txt", text.data(), text.size(), 12, 12);
    }

    void StartLevel(int number) {
        ASSERT_TRUE(game.StartPuzzle(kSetId, number));
        ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
    }

    int Resumes(const Replay& recording) const {
        int resumes = 0;
        for (const ReplayEvent& event : recording.events) {
            resumes += event.type == ReplayEvent::kResume;
        }
        return resumes;
    }

    // Fires until the level has ended; also notes whether the field ever came down.
    void PlayToTheEnd() {
        for (int i = 0; i < 300 && game.State() == PlayState::kPlaying; ++i) {
            Play(1);
            cameDown = cameDown || Field().CeilingRow > 0;
        }
        ASSERT_NE(game.State(), PlayState::kPlaying);
    }

    bool cameDown = false;
};

TEST_F(PuzzleReplayTest, ALevelIsWatchedFromItsResultAndReplaysShotByShotTouchingNothing) {
    TwSRand(17);
    StartLevel(1);
    PlayToTheEnd();
    EXPECT_TRUE(cameDown);
    const ReplayResult live = game.CurrentResult();
    ASSERT_FALSE(game.LastRecording().empty());
    ASSERT_GT(snapshots.size(), 5u);

    // The recording keeps the level itself and how the level ended.
    const Replay recording = ReadRecording(RecordingPath());
    EXPECT_EQ(recording.mode, ModeNumber(Game::kPuzzle));
    EXPECT_EQ(recording.level, 1);
    EXPECT_EQ(recording.puzzleSet, kSetId);
    EXPECT_EQ(recording.puzzleLevel.rows, LevelLibrary::Shared().Level(kSetId, 1)->rows);
    EXPECT_EQ(recording.puzzleLevel.shots, 2);
    ASSERT_TRUE(recording.result.has_value());
    EXPECT_EQ(*recording.result, live);

    // What a replay must leave alone: progress, another game in the slot, the tables.
    const std::string progressPath = TwUserPath(PuzzleProgress::GameNameOf("Tester"));
    const std::string progress = FileText(progressPath);
    WriteSlot("GameID=0\nMap={[2 3 4]}\n");
    const std::string slot = SlotText();
    const int classicEntries = Table(ModeNumber(Game::kClassic)).Count();

    // The result dialog's Watch plays the level again, shot by shot as it was played.
    const bool won = live.outcome == ReplayResult::kCleared;
    const char* panel = won ? Game::kPuzzlePanel : Game::kPuzzleLostPanel;
    const char* watch = won ? Game::kPuzzleWatch : Game::kPuzzleLostWatch;
    ASSERT_TRUE(RunUntil([&] { return game.GetPanel(panel)->IsSteady(); }));
    ASSERT_NE(game.GetPanel(panel)->FindElement(watch), nullptr);
    EXPECT_FALSE(game.GetPanel(panel)->FindElement(watch)->IsDisabled());
    const std::vector<ShotSnapshot> played = std::move(snapshots);
    snapshots.clear();
    noted = 0;
    game.SetPendingEvent(watch);
    Frame();
    ASSERT_TRUE(game.Replaying());
    EXPECT_EQ(game.Mode(), Game::kPuzzle);
    const char* replayEnd = won ? Game::kCompletePanel : Game::kGameOverPanel;
    ASSERT_TRUE(RunUntil([&] { return game.IsOpen(replayEnd); }, 100000));
    EXPECT_FALSE(game.ReplayDiverged());
    EXPECT_EQ(snapshots, played);
    EXPECT_EQ(game.CurrentResult(), live);
    EXPECT_EQ(FileText(progressPath), progress);
    EXPECT_EQ(SlotText(), slot);
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Count(), classicEntries);
    // Its OK leaves for the menu, as every replay's does.
    game.SetPendingEvent(won ? Game::kCompleteButton : Game::kGameOverButton);
    Frame();
    EXPECT_FALSE(game.Replaying());
    EXPECT_EQ(router.Current(), &menu);

    // The set changed since: the recording still plays the field it was made on, and the
    // command line names the level.
    UseSet(kChangedSet);
    const ReplayOutcome headless = PlayReplayHeadless(recording);
    EXPECT_TRUE(headless.ended);
    EXPECT_FALSE(headless.diverged);
    EXPECT_EQ(headless.result, live);
    std::ostringstream out, err;
    EXPECT_EQ(VerifyReplayFile(RecordingPath(), out, err), 0) << err.str();
    EXPECT_NE(out.str().find("mode: Puzzle\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("level: 1 of User/R.Txt\n"), std::string::npos) << out.str();
}

TEST_F(PuzzleReplayTest, ALevelSavedLeftAndContinuedKeepsItsWholeRecording) {
    TwSRand(23);
    StartLevel(1);
    Play(4);
    // Leaving for the menu saves the level and its recording beside the slot.
    game.SetPendingEvent(Game::kMenuButton);
    Frame();
    ASSERT_TRUE(std::filesystem::exists(ReplayRecorder::PathBeside(SlotPath())));
    ASSERT_TRUE(game.Restore());
    ASSERT_TRUE(game.Recorder().Active());
    router.SwitchScreen(Game::kScreenName);
    Play(3);
    // The program killed after a shot had come to rest (and was saved): the slot and
    // recording of that shot continue.
    ASSERT_TRUE(RunUntil([this] { return Field().Settled() && !Gun().Flying(); }));
    Frame();
    ASSERT_TRUE(game.Restore());
    ASSERT_TRUE(game.Recorder().Active());
    PlayToTheEnd();
    // The finished level leaves neither its slot nor the recording beside it.
    EXPECT_TRUE(SlotText().empty());
    EXPECT_FALSE(std::filesystem::exists(ReplayRecorder::PathBeside(SlotPath())));

    const Replay recording = ReadRecording(RecordingPath());
    EXPECT_EQ(Resumes(recording), 2);
    EXPECT_EQ(recording.Shots(), game.ShotsFired());
    EXPECT_EQ(ReplayOnScreen(), snapshots);
    EXPECT_EQ(game.CurrentResult(), *recording.result);
    game.StopReplay();
    EXPECT_EQ(PlayReplayHeadless(recording).result, *recording.result);
}

TEST(ReplayFormat, APuzzleRecordingCarriesItsLevelAndAnOddLevelIsRefused) {
    Replay replay;
    replay.mode = 2;
    replay.level = 7;
    replay.puzzleSet = "User/Mine.Txt"; // a player's own set
    replay.puzzleLevel.shots = 3;
    replay.puzzleLevel.rows = {"001122334455", "0.........5."};
    replay.AddFrame(20);
    replay.Add(ReplayEvent::kFire);
    replay.result = ReplayResult{ReplayResult::kLost, 40, 1, 99};
    const std::string bytes = replay.Serialize();
    Replay back;
    ASSERT_EQ(Replay::Parse(bytes, back), Replay::ReadError::kNone);
    EXPECT_EQ(back.Serialize(), bytes);
    EXPECT_EQ(back.puzzleSet, "User/Mine.Txt");
    EXPECT_EQ(back.puzzleLevel.rows, replay.puzzleLevel.rows);
    EXPECT_EQ(back.puzzleLevel.shots, 3);
    // Every cut is refused, but the one just before the end: a level still in play.
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        Replay cut;
        if (Replay::Parse(bytes.substr(0, n), cut) == Replay::ReadError::kNone) {
            EXPECT_FALSE(cut.result.has_value()) << n;
            EXPECT_EQ(cut.puzzleLevel.rows, replay.puzzleLevel.rows) << n;
        }
    }

    auto refused = [](const Replay& odd) {
        Replay out;
        return Replay::Parse(odd.Serialize(), out) == Replay::ReadError::kDamaged;
    };
    Replay odd = replay;
    odd.puzzleLevel.rows[1] = "0.........5"; // a row one cell short
    EXPECT_TRUE(refused(odd));
    odd = replay;
    odd.puzzleLevel.rows = {"001122334455", "............", "....3......."}; // hangs free
    EXPECT_TRUE(refused(odd));
    odd = replay;
    odd.puzzleLevel.rows = {"000000000007"};
    EXPECT_TRUE(refused(odd));
    odd = replay;
    odd.puzzleSet = "User/Mine.Txt\nmode: Classic";
    EXPECT_TRUE(refused(odd));
    odd = replay;
    odd.puzzleSet = "Mine\x1b[2J.Txt";
    EXPECT_TRUE(refused(odd));
    odd = replay;
    odd.level = 0;
    EXPECT_TRUE(refused(odd));
    odd = replay;
    odd.puzzleLevel.shots = 0;
    EXPECT_TRUE(refused(odd));

    // The level's flag and the Puzzle mode go together: a Classic header before a level, or
    // a Puzzle header without one, is damage.
    std::string flipped = bytes;
    const std::size_t modeAt = 5;
    ASSERT_EQ(flipped[modeAt], 2);
    flipped[modeAt] = 0;
    EXPECT_EQ(Replay::Parse(flipped, back), Replay::ReadError::kDamaged);
    Replay classic;
    classic.AddFrame(20);
    std::string withoutLevel = classic.Serialize();
    withoutLevel[modeAt] = 2;
    EXPECT_EQ(Replay::Parse(withoutLevel, back), Replay::ReadError::kDamaged);
}
