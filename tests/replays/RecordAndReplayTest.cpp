#include <filesystem>
#include <sstream>

#include "CommandLine.h"
#include "GameScreenFixture.h"
#include "Replay.h"
#include "ReplayFixture.h"
#include "ReplayVerify.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

using replaytest::ReadRecording;
using replaytest::ShotSnapshot;

// A simple player's games recorded and played back on the same screen: after every shot the
// replay has the same field and score, and it ends as the game did.
class RecordAndReplayTest : public replaytest::ShotWatchTest,
                            public ::testing::WithParamInterface<int> {};

TEST_P(RecordAndReplayTest, ClassicAndArcadeGamesReplayShotByShot) {
    for (int mode : {ModeNumber(Game::kClassic), ModeNumber(Game::kArcade)}) {
        SCOPED_TRACE(mode);
        snapshots.clear();
        noted = 0;
        TwSRand(static_cast<std::uint32_t>(GetParam()));
        TwSysConfig::Instance().DifficultLevel = GetParam() % 3;
        StartGame(mode);
        Play(1500);
        ASSERT_NE(game.State(), PlayState::kPlaying);
        const ReplayResult live = game.CurrentResult();
        ASSERT_FALSE(game.LastRecording().empty());
        ASSERT_GT(snapshots.size(), 5u);

        // The entry in the table links the recording; the recording knows how it ended.
        const Replay recording = ReadRecording(RecordingPath());
        ASSERT_TRUE(recording.result.has_value());
        EXPECT_EQ(*recording.result, live);
        EXPECT_EQ(recording.mode, mode);
        EXPECT_EQ(recording.difficulty, GetParam() % 3);
        if (live.score > 0) {
            EXPECT_EQ(Table(mode).Records()[0].Replay, game.LastRecording());
        }
        // A minute of play is a few kilobytes.
        EXPECT_LT(recording.Serialize().size(), 64u * 1024u);

        EXPECT_EQ(ReplayOnScreen(), snapshots);
        EXPECT_EQ(game.CurrentResult(), live);
        game.StopReplay();
        // Without window, pictures or sound the same.
        const ReplayOutcome headless = PlayReplayHeadless(recording);
        EXPECT_TRUE(headless.ended);
        EXPECT_FALSE(headless.diverged);
        EXPECT_EQ(headless.result, live);
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RecordAndReplayTest, ::testing::Values(3, 1234));

TEST_F(RecordAndReplayTest, AGameSavedLeftAndContinuedKeepsItsWholeRecording) {
    TwSRand(99);
    StartGame(Game::kClassic);
    Play(8);
    // Leaving for the menu saves the game and its recording beside the slot.
    game.SetPendingEvent(Game::kMenuButton);
    Frame();
    ASSERT_TRUE(std::filesystem::exists(ReplayRecorder::PathBeside(SlotPath())));
    ASSERT_TRUE(game.Restore());
    ASSERT_TRUE(game.Recorder().Active());
    router.SwitchScreen(Game::kScreenName);
    Play(6);
    // The program killed after a shot: the slot and recording of the last shot continue.
    ASSERT_TRUE(game.Restore());
    ASSERT_TRUE(game.Recorder().Active());
    Play(1500);
    ASSERT_NE(game.State(), PlayState::kPlaying);
    EXPECT_FALSE(std::filesystem::exists(ReplayRecorder::PathBeside(SlotPath())));

    const Replay recording = ReadRecording(RecordingPath());
    int resumes = 0;
    for (const ReplayEvent& event : recording.events) {
        resumes += event.type == ReplayEvent::kResume;
    }
    EXPECT_EQ(resumes, 2);
    // Shots fired before a continue were made on a field that no longer exists; the replay
    // goes through the save as the game did and gives the same fields from there on.
    const std::vector<ShotSnapshot> replayed = ReplayOnScreen();
    EXPECT_EQ(replayed, snapshots);
    game.StopReplay();
    EXPECT_EQ(PlayReplayHeadless(recording).result, *recording.result);
}

TEST_F(RecordAndReplayTest, AReplayEntersNoScoreAndLeavesTheSlotAlone) {
    TwSRand(5);
    StartGame(Game::kArcade);
    Play(1500);
    const std::string recordingPath = RecordingPath();
    const int entries = Table(ModeNumber(Game::kArcade)).Count();
    // A saved game of another start is in the slot meanwhile.
    WriteSlot("GameID=0\nMap={[2 3 4]}\n");
    const std::string slot = SlotText();

    ASSERT_TRUE(game.StartReplay(ReadRecording(recordingPath)));
    router.SwitchScreen(Game::kScreenName);
    for (int i = 0; i < 20000 && !game.IsFinished(); ++i) {
        Frame(50);
    }
    EXPECT_TRUE(game.IsFinished());
    EXPECT_EQ(Table(ModeNumber(Game::kArcade)).Count(), entries);
    EXPECT_EQ(SlotText(), slot);
    EXPECT_FALSE(game.SaveGame());
    // Escape (the menu button) leaves the replay for the menu.
    game.SetPendingEvent(Game::kMenuButton);
    Frame();
    EXPECT_FALSE(game.Replaying());
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_EQ(SlotText(), slot);
}

// Fast forward is seen in what is played: the same frames of real time through the screen's
// Update take the replay eight times as far, and Space again goes back to the recording's
// pace.
TEST_F(RecordAndReplayTest, FastForwardPlaysEightTimesAsMuchOfTheRecording) {
    TwSRand(8);
    StartGame(Game::kClassic);
    Play(1500);
    const Replay recording = ReadRecording(RecordingPath());
    // Where the replay stands after `fast` frames with fast forward on, then `paced` more.
    auto standAfter = [&](int fast, int paced) {
        EXPECT_TRUE(game.StartReplay(recording));
        router.SwitchScreen(Game::kScreenName);
        if (fast > 0) {
            KeyDown(TwInputCodes::kSpace);
            Frames(fast);
            KeyDown(TwInputCodes::kSpace);
        }
        Frames(paced);
        const ShotSnapshot at{game.ShotsFired(), GameSession::FieldHash(Field()), Field().Score};
        EXPECT_FALSE(game.IsFinished()) << "the recording is too short to tell";
        game.StopReplay();
        return at;
    };
    const ShotSnapshot paced = standAfter(0, 8 * 60 + 30);
    ASSERT_GT(paced.shot, standAfter(0, 60 + 30).shot);
    EXPECT_EQ(standAfter(60, 30), paced);
}

TEST_F(RecordAndReplayTest, DamagedRecordingsAreRefusedWithAMessage) {
    TwSRand(21);
    StartGame(Game::kClassic);
    Play(1500);
    std::string good;
    ASSERT_TRUE(TwReadFile(RecordingPath(), good));
    const std::string dir = TwUserPath("Data/damaged/");
    auto verify = [&](const std::string& bytes, std::string& message) {
        const std::string path = dir + "r.Twv";
        EXPECT_TRUE(TwWriteFileAtomic(path, bytes));
        std::ostringstream out, err;
        const int code = VerifyReplayFile(path, out, err);
        message = err.str();
        return code;
    };
    std::string message;
    EXPECT_EQ(verify(good, message), 0) << message;

    EXPECT_EQ(verify(good.substr(0, good.size() - 3), message), 1);
    EXPECT_NE(message.find("cut short"), std::string::npos) << message;
    EXPECT_EQ(verify("PK\x03\x04 a zip file", message), 1);
    EXPECT_NE(message.find("not a Zorbit Volley recording"), std::string::npos) << message;
    std::string newer = good;
    newer[4] = 2;
    EXPECT_EQ(verify(newer, message), 1);
    EXPECT_NE(message.find("another version"), std::string::npos) << message;
    EXPECT_EQ(verify(good + "x", message), 1);
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
    // A changed score at the end: the game does not end as recorded.
    Replay edited;
    ASSERT_EQ(Replay::Parse(good, edited), Replay::ReadError::kNone);
    edited.result->score += 10;
    EXPECT_EQ(verify(edited.Serialize(), message), 1);
    EXPECT_NE(message.find("does not end as recorded"), std::string::npos) << message;
    // A shot moved before the field was revealed is refused by the game.
    edited = Replay{};
    ASSERT_EQ(Replay::Parse(good, edited), Replay::ReadError::kNone);
    edited.events.insert(edited.events.begin(), ReplayEvent{ReplayEvent::kFire});
    EXPECT_EQ(verify(edited.Serialize(), message), 1);
    EXPECT_NE(message.find("does not play out"), std::string::npos) << message;

    std::ostringstream out, err;
    EXPECT_EQ(VerifyReplayFile(dir + "missing.Twv", out, err), 1);
    EXPECT_NE(err.str().find("cannot read"), std::string::npos);
}

TEST_F(RecordAndReplayTest, ACompanionFileThatDoesNotMatchTheSlotIsLeftOut) {
    TwSRand(4);
    StartGame(Game::kClassic);
    Play(4);
    game.SetPendingEvent(Game::kMenuButton);
    Frame();
    const std::string beside = ReplayRecorder::PathBeside(SlotPath());
    std::string bytes;
    ASSERT_TRUE(TwReadFile(beside, bytes));
    bytes.back() ^= 1;
    ASSERT_TRUE(TwWriteFileAtomic(beside, bytes));
    // The game continues, unrecorded; its end has no recording.
    ASSERT_TRUE(game.Restore());
    EXPECT_FALSE(game.Recorder().Active());
    router.SwitchScreen(Game::kScreenName);
    Play(1500);
    EXPECT_TRUE(game.LastRecording().empty());
}

TEST_F(RecordAndReplayTest, ARecordingThatCannotBeWrittenNeverCostsTheSavedGame) {
    TwSRand(6);
    StartGame(Game::kClassic);
    Play(3);
    // A folder where the companion file would go: it cannot be written.
    const std::string beside = ReplayRecorder::PathBeside(SlotPath());
    std::filesystem::remove(beside);
    ASSERT_TRUE(TwMakeDirs(beside));
    const int score = Field().Score;
    ASSERT_TRUE(game.SaveGame());
    EXPECT_NE(SlotText(), "");
    ASSERT_TRUE(game.Restore());
    EXPECT_FALSE(game.Recorder().Active());
    EXPECT_EQ(Field().Score, score);
}

TEST(ReplayCommandLine, VerifyPrintsTheGameAndUsageErrorsAreReported) {
    std::ostringstream out, err;
    CommandLineOutcome outcome = HandleCommandLine({"--verify-replay"}, out, err);
    EXPECT_FALSE(outcome.play);
    EXPECT_EQ(outcome.exitCode, 2);
    outcome = HandleCommandLine({"--replay", "a.Twv", "b"}, out, err);
    EXPECT_EQ(outcome.exitCode, 2);
    outcome = HandleCommandLine({"--replay", "a.Twv"}, out, err);
    EXPECT_TRUE(outcome.play);
    EXPECT_EQ(outcome.replayFile, "a.Twv");
    out.str("");
    HandleCommandLine({"--help"}, out, err);
    EXPECT_NE(out.str().find("--verify-replay FILE"), std::string::npos);
    EXPECT_NE(out.str().find("--replay FILE"), std::string::npos);
}

TEST(ReplayFormat, WritesAndReadsEveryEventAndRefusesOddValues) {
    Replay replay;
    replay.mode = 1;
    replay.difficulty = 2;
    replay.seed = 0xDEADBEEF;
    replay.guided = true;
    replay.AddFrame(16);
    replay.AddFrame(16);
    replay.AddFrame(17);
    replay.Add(ReplayEvent::kAim, -0.5f, -0.75f);
    replay.Add(ReplayEvent::kFire);
    replay.Add(ReplayEvent::kSwap);
    replay.Add(ReplayEvent::kLeave);
    replay.Add(ReplayEvent::kResume);
    replay.result = ReplayResult{ReplayResult::kCleared, 1230, 1, 0x0123456789ABCDEFull};
    ASSERT_EQ(replay.events.size(), 7u); // the two 16 ms frames are one run
    const std::string bytes = replay.Serialize();
    Replay back;
    ASSERT_EQ(Replay::Parse(bytes, back), Replay::ReadError::kNone);
    EXPECT_EQ(back.Serialize(), bytes);
    EXPECT_EQ(back.seed, 0xDEADBEEFu);
    EXPECT_TRUE(back.guided);
    EXPECT_EQ(back.events[0].count, 2u);
    EXPECT_EQ(back.events[2].x, -0.5f);
    EXPECT_EQ(back.Shots(), 1);
    // Every cut of the file is refused, never read past.
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        Replay cut;
        const Replay::ReadError error = Replay::Parse(bytes.substr(0, n), cut);
        // Cutting just before the end tag leaves a recording of a game still in play.
        if (error == Replay::ReadError::kNone) {
            EXPECT_FALSE(cut.result.has_value()) << n;
        }
    }
    Replay odd = replay;
    odd.events[2].x = 3.0f; // not a direction
    EXPECT_EQ(Replay::Parse(odd.Serialize(), back), Replay::ReadError::kDamaged);
    odd = replay;
    odd.columns = 21;
    EXPECT_EQ(Replay::Parse(odd.Serialize(), back), Replay::ReadError::kDamaged);
}

TEST(ReplayLinks, OlderTablesReadUnchangedAndHostileLinksAreDropped) {
    zvtest::ScopedUserDirs dirs;
    const std::string old = "0 = {\n\tDifficulty=\"\"\n\tEpisode=0\n\tLevel=0\n"
                            "\tPlayerName=\"Ann\"\n\tScores=120\n\tTime=0\n}\nNumRecords=1\n";
    ASSERT_TRUE(TwWriteFileAtomic(TwUserPath("Data/Classic.Twt"), old));
    TwTop table("Data/Classic.Twt");
    ASSERT_TRUE(table.Load());
    EXPECT_TRUE(table.Records()[0].Replay.empty());
    EXPECT_FALSE(table.Records()[0].Guided);
    ASSERT_TRUE(table.Save());
    std::string again;
    ASSERT_TRUE(TwReadFile(TwUserPath("Data/Classic.Twt"), again));
    EXPECT_EQ(again, old);

    const std::string linked = "0.PlayerName=\"Ann\"\n0.Scores=120\n0.Replay=\"a-1.Twv\"\n"
                               "0.Guided=1\n1.PlayerName=\"Bob\"\n1.Scores=90\n"
                               "1.Replay=\"../../Profiles.Txt\"\nNumRecords=2\n";
    ASSERT_TRUE(TwWriteFileAtomic(TwUserPath("Data/Arcade.Twt"), linked));
    TwTop arcade("Data/Arcade.Twt");
    ASSERT_TRUE(arcade.Load());
    EXPECT_EQ(arcade.Records()[0].Replay, "a-1.Twv");
    EXPECT_TRUE(arcade.Records()[0].Guided);
    EXPECT_EQ(arcade.Records()[1].Replay, "");
}
