#include "ReplayVerify.h"

#include <cinttypes>
#include <cstdio>

#include "GameSession.h"
#include "ReplayPlayer.h"
#include "platform/os/TwUserFiles.h"

namespace {

constexpr const char* kDifficulties[] = {"Easy", "Normal", "Hard"};

std::string Hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

} // namespace

const char* ReplayModeName(int mode) {
    const std::optional<GameMode> known = ModeFromNumber(mode);
    return known ? ModeInfo(*known).name : "unknown";
}

ReplayOutcome PlayReplayHeadless(const Replay& replay, long long maxFrames) {
    ReplayOutcome outcome;
    GameSession session;
    ReplayPlayer player(replay);
    if (!player.Begin(session, FieldGeometry())) {
        outcome.diverged = true;
        return outcome;
    }
    // The end of the game is dealt with as the screen does, at once: the field keeps moving
    // but cannot end again.
    const auto runFrame = [&session](int ms) {
        if (session.Step(ms) != GameSession::Event::kNone) {
            session.ClearShotPending();
            session.SettleEnd();
        }
    };
    for (long long frame = 0; maxFrames < 0 || frame < maxFrames; ++frame) {
        if (!player.StepFrame(session, runFrame)) {
            break;
        }
    }
    outcome.ended = session.State() != PlayState::kPlaying;
    outcome.result = session.CurrentResult();
    outcome.diverged = player.Diverged();
    return outcome;
}

int VerifyReplayFile(const std::string& path, std::ostream& out, std::ostream& err) {
    std::string bytes;
    if (!TwReadFile(path, bytes)) {
        err << "zorbit-volley: cannot read '" << path << "'\n";
        return 1;
    }
    Replay replay;
    const Replay::ReadError error = Replay::Parse(bytes, replay);
    if (error != Replay::ReadError::kNone) {
        err << "zorbit-volley: '" << path << "': " << Replay::Describe(error) << "\n";
        return 1;
    }
    const ReplayOutcome outcome = PlayReplayHeadless(replay);
    out << "mode: " << ReplayModeName(replay.mode) << "\n"
        << "difficulty: " << kDifficulties[replay.difficulty] << "\n";
    if (ModeFromNumber(replay.mode) == GameMode::kPuzzle) {
        out << "level: " << replay.level << " of " << replay.puzzleSet << "\n";
    }
    out << "score: " << outcome.result.score << "\n"
        << "shots: " << outcome.result.shots << "\n"
        << "field: " << Hex(outcome.result.fieldHash) << "\n"
        << "end: "
        << (!outcome.ended                                     ? "unfinished"
            : outcome.result.outcome == ReplayResult::kCleared ? "cleared"
                                                               : "lost")
        << "\n";
    if (outcome.diverged) {
        err << "zorbit-volley: '" << path
            << "': the game does not play out as recorded (a shot or swap was refused)\n";
        return 1;
    }
    if (replay.result && !(outcome.ended && *replay.result == outcome.result)) {
        err << "zorbit-volley: '" << path << "': the game does not end as recorded (recorded "
            << replay.result->score << " points in " << replay.result->shots << " shots, field "
            << Hex(replay.result->fieldHash) << ")\n";
        return 1;
    }
    return 0;
}
