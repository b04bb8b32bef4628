#pragma once
#include <functional>
#include <memory>

#include "FieldGeometry.h"
#include "Replay.h"

class GameSession;

// Plays a recording on a session: sets the session up as the recorded game began, then
// feeds it the recorded aims, shots, swaps and returns between the recorded frames, at the
// recording's own pace or faster. The frames themselves are run by whoever drives the
// player (the game screen runs its whole frame, the verifier only the session's step).
class ReplayPlayer {
public:
    // Runs one recorded frame of that many milliseconds.
    using FrameRunner = std::function<void(int ms)>;

    // How much faster than recorded a replay runs while fast forward is on.
    static constexpr int kFastForward = 8;

    explicit ReplayPlayer(Replay replay);

    // Sets the session up for the recording (its mode, difficulty, field size from
    // `geometry` with the recorded sizes, a Puzzle level) and begins its game from the
    // recorded seed. False, with the session untouched, for a mode not known here.
    bool Begin(GameSession& session, FieldGeometry geometry) const;
    // Runs the recording up to and including its next frame, as fast as it goes. False once
    // it has run out.
    bool StepFrame(GameSession& session, const FrameRunner& run);
    // Runs the recorded frames that `elapsedMs` of real time (times the speed) covers; a
    // frame is never run in pieces. Once the recording has run out, the game's end goes on
    // moving in frames of real time.
    void Advance(GameSession& session, int elapsedMs, const FrameRunner& run);

    const Replay& Recording() const { return cursor_->Recording(); }
    bool Done() const { return cursor_->Done(); }
    // True when the recording asked for a shot or swap the game refused: the game no longer
    // follows the recording.
    bool Diverged() const { return diverged_; }
    int Speed() const { return speed_; }
    void ToggleFastForward() { speed_ = speed_ == 1 ? kFastForward : 1; }

private:
    void Apply(GameSession& session, const ReplayEvent& step);

    std::unique_ptr<ReplayCursor> cursor_;
    int speed_ = 1;
    int budget_ = 0;
    bool diverged_ = false;
};
