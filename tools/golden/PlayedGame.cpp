#include "PlayedGame.h"

#include "SavedGame.h"
#include "data/TwDefFile.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwRand.h"

PlayedGame::PlayedGame(FieldGeometry geometry, std::string slotPath)
    : geometry_(geometry), slotPath_(std::move(slotPath)) {
    // Every shot and swap is recorded with the aim it was made at, before the launcher moves.
    session_.SetActionSink([this](Launcher::Action action) {
        recorder_.Action(action == Launcher::Action::kFire ? ReplayEvent::kFire
                                                           : ReplayEvent::kSwap,
                         Gun().Direction());
    });
}

bool PlayedGame::Start(GameMode mode, int difficulty, const PuzzleLevel* level,
                       const std::string& setId, int number) {
    difficulty_ = difficulty;
    finished_.reset();
    level_.reset();
    session_.SetUp(mode, geometry_, difficulty);
    if (level != nullptr) {
        level_ = *level;
        session_.SetLevel(*level, setId, number);
    }
    // The game draws from its own generator, seeded from the engine's; the engine's moves on
    // so the next game is another one.
    const std::uint32_t seed = TwRandSeed();
    TwRand();
    session_.SetDifficulty(difficulty);
    session_.Begin(seed);
    recorder_.Start(session_.RecordingHeader(seed));
    return RunUntil([this] { return Field().MapState == GameMap::kReady; });
}

void PlayedGame::Frame(int ms) {
    const bool recording = session_.Playing() && recorder_.Active();
    if (recording) {
        recorder_.Frame(ms);
    }
    OnSessionEvent(session_.Step(ms));
    if (recording && session_.GetLauncher() != nullptr) {
        recorder_.Aim(session_.GetLauncher()->Direction());
    }
}

bool PlayedGame::RunUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; i < limit; ++i) {
        if (done()) {
            return true;
        }
        Frame();
    }
    return done();
}

void PlayedGame::OnSessionEvent(GameSession::Event event) {
    switch (event) {
    case GameSession::Event::kLost:
    case GameSession::Event::kCleared:
        // The recording ends with the result of the moment the game ended.
        if (recorder_.Active()) {
            finished_ = recorder_.Current();
            finished_->result = session_.CurrentResult();
        }
        recorder_.Stop();
        session_.ClearShotPending();
        session_.SettleEnd();
        break;
    case GameSession::Event::kShotAtRest:
        Save();
        break;
    case GameSession::Event::kNone:
        break;
    }
}

void PlayedGame::MoveMouse(const TwVector& at) {
    if (Playing()) {
        Gun().HandleInput(TwInputEvent::kMouse, TwInputEvent::kNoButton, TwInputCodes::kMouseMove,
                          at, 0);
    }
}

void PlayedGame::LeftClick(const TwVector& at) {
    MoveMouse(at);
    if (Playing()) {
        Gun().HandleInput(TwInputEvent::kMouse, TwInputEvent::kLeftReleased,
                          TwInputCodes::kLeftButtonUp, at, 0);
    }
}

void PlayedGame::RightClick(const TwVector& at) {
    MoveMouse(at);
    if (Playing()) {
        Gun().HandleInput(TwInputEvent::kMouse, TwInputEvent::kRightReleased,
                          TwInputCodes::kRightButtonUp, at, 0);
    }
}

bool PlayedGame::ShootAt(const TwVector& target) {
    if (!RunUntil([this] { return Field().Settled() && Gun().ReloadRemaining() == 0; })) {
        return false;
    }
    MoveMouse(target);
    Frame(); // the launcher turns and its bubble moves to the muzzle
    LeftClick(target);
    if (!Gun().Flying()) {
        return false;
    }
    return RunUntil([this] { return !Gun().Flying(); });
}

// The slot as the game writes it: the saved game, the recording's stamp and the generator,
// with the recording beside it.
void PlayedGame::Save() {
    TwDefFile slot;
    session_.CurrentSave().Write(slot, Field().Columns(), Field().Rows());
    recorder_.Stamp(slot, Field().Random().State());
    if (slot.Save(slotPath_) == 0) {
        recorder_.WriteBeside(slotPath_);
    }
}

bool PlayedGame::LeaveAndContinue() {
    recorder_.Leave();
    Save();
    Frame();

    TwDefFile slot;
    if (slot.LoadFromFile(slotPath_) != 0) {
        return false;
    }
    const SavedGame saved = SavedGame::Read(slot);
    const std::optional<GameMode> mode = ModeFromNumber(saved.gameId);
    if (!mode) {
        return false;
    }
    const std::optional<std::uint32_t> randomState = recorder_.ResumeBeside(slotPath_, slot);
    session_.SetUp(*mode, geometry_, difficulty_);
    session_.Continue(saved, randomState, level_ ? &*level_ : nullptr);
    session_.SetShotsFired(recorder_.Active() ? recorder_.Current().Shots() : 0);
    return true;
}
