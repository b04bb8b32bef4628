#include "ReplayVerify.h"

#include <cinttypes>
#include <cstdio>

#include "Game.h"
#include "GameMap.h"
#include "GameState.h"
#include "gfx/TwMissingResources.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"

namespace {

constexpr const char* kDifficulties[] = {"Easy", "Normal", "Hard"};

std::string Hex(std::uint64_t value) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, value);
    return text;
}

} // namespace

const char* ReplayModeName(int mode) {
    switch (mode) {
    case 0:
        return "Classic";
    case 1:
        return "Arcade";
    case 2:
        return "Puzzle";
    }
    return "unknown";
}

ReplayOutcome PlayReplayHeadless(const Replay& replay, long long maxFrames) {
    ReplayOutcome outcome;
    const int stateBefore = GameState::Get();

    {
        Game game; // no BuildScreen: no pictures, fonts or panels, only the rules
        if (!game.StartReplay(replay)) {
            outcome.diverged = true;
            GameState::Set(stateBefore);
            return outcome;
        }
        for (long long frame = 0; maxFrames < 0 || frame < maxFrames; ++frame) {
            if (!game.StepReplay()) {
                break;
            }
        }
        const int state = GameState::Get();
        outcome.ended = state != GameState::kPlaying;
        outcome.result = game.CurrentResult();
        outcome.diverged = game.ReplayDiverged();
        game.StopReplay();
    }
    GameState::Set(stateBefore);
    return outcome;
}

int VerifyReplayFile(const std::string& path, std::ostream& out, std::ostream& err) {
    // The rules run without packs, so the field finds none of its pictures; that is no news
    // for the player (the program ends after this), neither in a box nor on standard error.
    TwSetMessageSink([](const std::string&, const std::string&) {});
    TwMissingResources::Silence();
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
    if (replay.mode == 2) {
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
