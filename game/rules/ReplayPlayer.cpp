#include "ReplayPlayer.h"

#include <algorithm>

#include "GameSession.h"

namespace {

// A frame of the recording is never run in pieces; a very long real frame (the window was
// moved) catches up at most this much at once, so the picture keeps coming.
constexpr int kMostCatchUpMs = 1000;

} // namespace

ReplayPlayer::ReplayPlayer(Replay replay)
    : cursor_(std::make_unique<ReplayCursor>(std::move(replay))) {}

bool ReplayPlayer::Begin(GameSession& session, FieldGeometry geometry) const {
    const Replay& replay = Recording();
    const std::optional<GameMode> mode = ModeFromNumber(replay.mode);
    if (!mode) {
        return false;
    }
    geometry.columns = replay.columns;
    geometry.rows = replay.rows;
    geometry.radius = replay.radius;
    geometry.xPlayerPos = replay.launcherX;
    geometry.yPlayerPos = replay.launcherY;
    session.SetUp(*mode, geometry, replay.difficulty);
    if (*mode == GameMode::kPuzzle) {
        session.SetLevel(replay.puzzleLevel, replay.puzzleSet, replay.level);
    }
    session.Begin(replay.seed);
    return true;
}

bool ReplayPlayer::StepFrame(GameSession& session, const FrameRunner& run) {
    while (const ReplayEvent* step = cursor_->Peek()) {
        const ReplayEvent event = *step;
        cursor_->Take();
        if (event.type == ReplayEvent::kFrames) {
            run(static_cast<int>(event.ms));
            return true;
        }
        Apply(session, event);
    }
    return false;
}

void ReplayPlayer::Advance(GameSession& session, int elapsedMs, const FrameRunner& run) {
    if (cursor_->Done()) {
        run(elapsedMs); // the end as it stands: falls finish under the result dialog
        return;
    }
    budget_ = std::min(budget_ + std::max(elapsedMs, 0) * speed_, kMostCatchUpMs * speed_);
    while (const ReplayEvent* step = cursor_->Peek()) {
        const ReplayEvent event = *step;
        if (event.type == ReplayEvent::kFrames) {
            if (static_cast<int>(event.ms) > budget_) {
                break;
            }
            budget_ -= static_cast<int>(event.ms);
            cursor_->Take();
            run(static_cast<int>(event.ms));
            continue;
        }
        cursor_->Take();
        Apply(session, event);
    }
}

void ReplayPlayer::Apply(GameSession& session, const ReplayEvent& step) {
    Launcher* launcher = session.GetLauncher();
    if (launcher == nullptr) {
        return;
    }
    switch (step.type) {
    case ReplayEvent::kAim:
        launcher->SetDirection(TwVector(step.x, step.y, 0.0f));
        break;
    case ReplayEvent::kFire:
        diverged_ |= !launcher->Fire();
        break;
    case ReplayEvent::kSwap:
        diverged_ |= !launcher->Swap();
        break;
    case ReplayEvent::kResume:
        session.ContinueThroughSave();
        break;
    case ReplayEvent::kLeave:
    case ReplayEvent::kFrames:
        break;
    }
}
