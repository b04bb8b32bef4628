#pragma once
// The game screen watched shot by shot while a game is played and while its recording is
// played back, for the tests of recording and replaying.
#include <ostream>
#include <string>
#include <vector>

#include "GameScreenFixture.h"
#include "Replay.h"
#include "ReplayRecorder.h"
#include "platform/os/TwUserFiles.h"

namespace replaytest {

// How the field stood once a shot had landed: the n-th shot, the field's hash and the score.
struct ShotSnapshot {
    int shot = 0;
    std::uint64_t field = 0;
    int score = 0;
    bool operator==(const ShotSnapshot&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const ShotSnapshot& s) {
    return out << "shot " << s.shot << " field " << s.field << " score " << s.score;
}

inline Replay ReadRecording(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(TwReadFile(path, bytes)) << path;
    Replay replay;
    EXPECT_EQ(Replay::Parse(bytes, replay), Replay::ReadError::kNone) << path;
    return replay;
}

// A game screen that notes the field after every shot, live and in a replay.
class ShotWatchTest : public gstest::GameScreenTest {
protected:
    ShotWatchTest() {
        afterFrame = [this] { Watch(); };
    }

    // Notes the field each time a new shot has landed.
    void Watch() {
        if (game.Field() == nullptr || game.GetLauncher() == nullptr || Gun().Flying() ||
            game.ShotsFired() == noted) {
            return;
        }
        noted = game.ShotsFired();
        snapshots.push_back({noted, GameSession::FieldHash(Field()), Field().Score});
    }

    // Shoots with the simple player until the game ends or `shots` more were fired.
    void Play(int shots) {
        for (int i = 0; i < shots && game.State() == PlayState::kPlaying; ++i) {
            // In Arcade a row may start between aiming and the click; then aim again.
            int refused = 0;
            while (!ShootAt(BotAim()) && game.State() == PlayState::kPlaying && ++refused < 5) {
            }
            if (refused == 5) {
                break;
            }
        }
    }

    std::string RecordingPath() const {
        return TwUserPath(ReplayRecorder::kFolder) + game.LastRecording();
    }

    // Plays the finished game's recording on the screen and gives its snapshots.
    std::vector<ShotSnapshot> ReplayOnScreen() {
        const std::vector<ShotSnapshot> live = std::move(snapshots);
        snapshots.clear();
        noted = 0;
        EXPECT_TRUE(game.StartReplay(ReadRecording(RecordingPath())));
        while (game.StepReplay()) {
            Watch();
        }
        EXPECT_FALSE(game.ReplayDiverged());
        std::vector<ShotSnapshot> replayed = std::move(snapshots);
        snapshots = live;
        return replayed;
    }

    int noted = 0;
    std::vector<ShotSnapshot> snapshots;
};

} // namespace replaytest
