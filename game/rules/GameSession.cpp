#include "GameSession.h"

#include <algorithm>

#include "ArcadeMap.h"
#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "GameMap.h"
#include "PuzzleMap.h"
#include "SavedGame.h"
#include "TwDrawList.h"
#include "data/TwDefFile.h"
#include "data/TwHash.h"

GameSession::GameSession(BubbleBanks* banks) {
    if (banks == nullptr) {
        ownBanks_ = std::make_unique<BubbleBanks>();
        banks = ownBanks_.get();
    }
    banks_ = banks;
}

GameSession::~GameSession() {
    TearDown();
}

PlayState GameSession::State() const {
    return field_ ? field_->State() : idleState_;
}

void GameSession::SetState(PlayState state) {
    idleState_ = state;
    if (field_) {
        field_->SetState(state);
    }
}

void GameSession::SettleEnd() {
    const PlayState state = State();
    if (state == PlayState::kLost) {
        SetState(PlayState::kNotPlaying);
    } else if (state == PlayState::kCleared) {
        SetState(PlayState::kCompleteShown);
    }
}

void GameSession::TearDown() {
    idleState_ = State();
    TwDrawList& scene = banks_->Scene();
    scene.SetBackground(nullptr);
    scene.Clear();
    launcher_.reset();
    field_.reset();
}

void GameSession::SetUp(GameMode mode, const FieldGeometry& geometry, int difficulty) {
    TearDown();
    shotPending_ = false;
    mode_ = mode;
    difficulty_ = std::clamp(difficulty, 0, 2);
    switch (mode) {
    case GameMode::kArcade:
        field_ = std::make_unique<ArcadeMap>(*banks_, geometry, difficulty);
        break;
    case GameMode::kPuzzle:
        field_ = std::make_unique<PuzzleMap>(*banks_, geometry, difficulty);
        break;
    case GameMode::kClassic:
        field_ = std::make_unique<GameMap>(*banks_, geometry, difficulty);
        break;
    }
    // A new field carries on how the game stood: the end of the last game stays dealt with
    // until a new one begins.
    field_->SetState(idleState_);
    field_->SetScene(&banks_->Scene());
    field_->SetSoundSink(soundSink_);
    field_->SetCursorTintSink(cursorTint_);
    launcher_ = std::make_unique<Launcher>();
    launcher_->SetField(field_.get());
    launcher_->SetActionSink([this](Launcher::Action action) { OnLauncherAction(action); });
    field_->SetLauncher(launcher_.get());
    launcher_->Reset();
    field_->ComputeWalls();
}

const PuzzleMap* GameSession::Puzzle() const {
    return dynamic_cast<const PuzzleMap*>(field_.get());
}

void GameSession::SetDifficulty(int difficulty) {
    difficulty_ = std::clamp(difficulty, 0, 2);
    if (field_) {
        field_->SetDifficulty(difficulty);
    }
}

void GameSession::SetLevel(const PuzzleLevel& level, const std::string& setId, int number) {
    if (auto* puzzle = dynamic_cast<PuzzleMap*>(field_.get())) {
        puzzle->SetLevel(level, setId, number);
    }
}

void GameSession::SetOrigin(const std::string& setId, int number) {
    if (auto* puzzle = dynamic_cast<PuzzleMap*>(field_.get())) {
        puzzle->SetOrigin(setId, number);
    }
}

void GameSession::Begin(std::uint32_t seed) {
    SetState(PlayState::kPlaying);
    shotPending_ = false;
    playedMs_ = 0;
    shotsFired_ = 0;
    banks_->Scene().Clear();
    launcher_->Reset();
    field_->Random().SetState(seed);
    field_->Reset(true);
}

void GameSession::Continue(const SavedGame& saved, std::optional<std::uint32_t> randomState,
                           const PuzzleLevel* level) {
    if (auto* puzzle = dynamic_cast<PuzzleMap*>(field_.get())) {
        if (level != nullptr) {
            puzzle->SetLevel(*level, saved.puzzleSet, saved.puzzleLevel);
        } else {
            puzzle->SetOrigin(saved.puzzleSet, saved.puzzleLevel);
        }
        // The ceiling never comes below the top bubble of the saved field.
        int ceiling = saved.ceilingRow;
        for (int c = 0; c < puzzle->Columns(); ++c) {
            for (int k = 0; k < ceiling; ++k) {
                if (SavedGame::IsColour(saved.cells[c][k])) {
                    ceiling = k;
                }
            }
        }
        puzzle->SetCeilingRow(ceiling);
    }
    SetState(PlayState::kPlaying);
    playedMs_ = 0;
    // Before the launcher is loaded: a colour it needs anew is drawn from it.
    if (randomState) {
        field_->Random().SetState(*randomState);
    }
    ApplySavedGame(saved);
}

void GameSession::ApplySavedGame(const SavedGame& saved) {
    GameMap& field = *field_;
    for (int c = 0; c < field.Columns(); ++c) {
        for (int k = 0; k < field.Rows(); ++k) {
            if (SavedGame::IsColour(saved.cells[c][k])) {
                field.PlaceNewBubble(c, k, saved.cells[c][k]);
            }
        }
    }
    // Counted while the field is still in its intro, so no colour counts as lost.
    field.RecountColours();

    field.Score = saved.score;
    field.TripleBonus = saved.tripleBonus;
    field.ComboCount = saved.comboCount;
    field.ElapsedTime = saved.elapsedTime;
    field.NumMovesLeft = saved.numMovesLeft;
    field.NumBeginMoves = saved.numBeginMoves;
    field.NextNumBeginMoves = saved.nextNumBeginMoves;
    field.NumAddLines = saved.numAddLines;
    field.NumAddedeLines = saved.numAddedeLines;

    // The launcher's bubbles come back as saved, even in a colour the field no longer
    // holds; only a colour without a bubble picture becomes one of the field's colours, as
    // the launcher is always loaded in play.
    auto present = [&field](int colour) {
        return SavedGame::IsColour(colour) ? colour : field.PickColour();
    };
    if (auto loaded = field.NewBubbleOfColour(present(saved.playerBubble))) {
        const float r = static_cast<float>(field.Radius());
        const int middleColumn = field.Columns() / 2;
        loaded->PlaceAt(field.CellToScreen(middleColumn, field.Rows() + 2) -
                        TwVector(r, 2.0f * r, 0.0f));
        launcher_->SetLoaded(std::move(loaded));
    }
    field.SetNextBubble(field.NewBubbleOfColour(present(saved.nextBubble)));
    field.MapState = GameMap::kResume;
}

GameSession::Event GameSession::Step(int ms, const std::function<void(Launcher&)>& steer) {
    banks_->Scene().Update(ms);
    if (launcher_) {
        launcher_->Update(ms);
        if (steer && State() == PlayState::kPlaying) {
            steer(*launcher_);
        }
    }
    if (launcher_ && launcher_->Flying()) {
        shotPending_ = true;
    }
    if (State() == PlayState::kPlaying && field_) {
        playedMs_ += ms;
    }
    const PlayState before = State();
    if (field_ && before != PlayState::kLost && before != PlayState::kCleared) {
        field_->Update(ms);
    }
    const PlayState after = State();
    if (IsSettled(before) && after != before) {
        // The field keeps moving under a result dialog (falling bubbles still burst), but a
        // game that has ended cannot end a second time.
        SetState(before);
        return Event::kNone;
    }
    if (after == PlayState::kLost) {
        return Event::kLost;
    }
    if (after == PlayState::kCleared) {
        return Event::kCleared;
    }
    if (shotPending_ && ShotAtRest()) {
        shotPending_ = false;
        return Event::kShotAtRest;
    }
    return Event::kNone;
}

bool GameSession::ShotAtRest() const {
    return State() == PlayState::kPlaying && field_ && launcher_ && !launcher_->Flying() &&
           field_->Settled();
}

int GameSession::TakePlayedSeconds() {
    const int seconds = playedMs_ / 1000;
    playedMs_ %= 1000;
    return seconds;
}

void GameSession::OnLauncherAction(Launcher::Action action) {
    if (action == Launcher::Action::kFire) {
        ++shotsFired_;
    }
    if (actionSink_) {
        actionSink_(action);
    }
}

void GameSession::SetSoundSink(std::function<void(int)> sink) {
    soundSink_ = std::move(sink);
    if (field_) {
        field_->SetSoundSink(soundSink_);
    }
}

void GameSession::SetCursorTintSink(std::function<void(std::uint32_t)> sink) {
    cursorTint_ = std::move(sink);
    if (field_) {
        field_->SetCursorTintSink(cursorTint_);
    }
}

SavedGame GameSession::CurrentSave() const {
    SavedGame saved = SavedGame::FromField(*field_, launcher_.get());
    saved.gameId = ModeNumber(mode_);
    if (const auto* puzzle = dynamic_cast<const PuzzleMap*>(field_.get())) {
        saved.puzzleSet = puzzle->SetId();
        saved.puzzleLevel = puzzle->LevelNumber();
        saved.ceilingRow = puzzle->CeilingRow;
    }
    return saved;
}

void GameSession::ContinueThroughSave() {
    if (!field_) {
        return;
    }
    const SavedGame saved = CurrentSave();
    TwDefFile file;
    saved.Write(file, field_->Columns(), field_->Rows());
    const std::string text = file.Serialize();
    TwDefFile readBack;
    readBack.LoadFromMemory(text.data(), text.size());
    // What the new field needs is copied out first: setting it up lets the old one go.
    const std::uint32_t randomState = field_->Random().State();
    const FieldGeometry geometry = field_->Geometry();
    const PuzzleMap* puzzle = Puzzle();
    const bool hasLevel = puzzle != nullptr;
    const PuzzleLevel level = hasLevel ? puzzle->Level() : PuzzleLevel{};
    const int shots = shotsFired_;
    SetUp(mode_, geometry, difficulty_);
    Continue(SavedGame::Read(readBack), randomState, hasLevel ? &level : nullptr);
    shotsFired_ = shots;
}

std::uint64_t GameSession::FieldHash(const GameMap& field) {
    // FNV-1a over the field's size and every cell, column by column: 0 for an empty cell,
    // 1 + colour for a bubble.
    TwFnv1a64 hash;
    hash.Add(static_cast<std::uint8_t>(field.Columns()));
    hash.Add(static_cast<std::uint8_t>(field.Rows()));
    for (int c = 0; c < field.Columns(); ++c) {
        for (int k = 0; k < field.Rows(); ++k) {
            const BaseBubble* bubble = field.Bubble(c, k);
            hash.Add(static_cast<std::uint8_t>(bubble != nullptr ? 1 + bubble->Colour() : 0));
        }
    }
    return hash.Value();
}

ReplayResult GameSession::CurrentResult() const {
    ReplayResult result;
    const PlayState state = State();
    result.outcome = state == PlayState::kCleared || state == PlayState::kCompleteShown
                         ? ReplayResult::kCleared
                         : ReplayResult::kLost;
    result.score = field_ ? field_->Score : 0;
    result.shots = shotsFired_;
    result.fieldHash = field_ ? FieldHash(*field_) : 0;
    return result;
}

Replay GameSession::RecordingHeader(std::uint32_t seed) const {
    Replay header;
    header.mode = ModeNumber(mode_);
    header.difficulty = difficulty_;
    header.seed = seed;
    const FieldGeometry& size = field_->Geometry();
    header.columns = size.columns;
    header.rows = size.rows;
    header.radius = size.radius;
    header.launcherX = size.xPlayerPos;
    header.launcherY = size.yPlayerPos;
    // A Puzzle level travels with its recording, so a replay plays the very field.
    if (const auto* puzzle = dynamic_cast<const PuzzleMap*>(field_.get())) {
        header.level = puzzle->LevelNumber();
        header.puzzleSet = puzzle->SetId();
        header.puzzleLevel = puzzle->Level();
    }
    return header;
}
