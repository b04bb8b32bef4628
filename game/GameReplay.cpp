// Game: recording the game in play and playing recordings back on the game screen.
#include <algorithm>

#include "AimGuide.h"
#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "Game.h"
#include "GameMap.h"
#include "GameState.h"
#include "Launcher.h"
#include "PuzzleMap.h"
#include "SavedGame.h"
#include "TwDrawList.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwDefFile.h"
#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"
#include "records/TwHighScoreTables.h"
#include "records/TwTop.h"

namespace {

// How much faster than recorded a replay runs while fast forward is on.
constexpr int kFastForward = 8;
// A frame of the recording is never run in pieces; a very long real frame (the window was
// moved) catches up at most this much at once, so the picture keeps coming.
constexpr int kMostCatchUpMs = 1000;

} // namespace

void Game::OnLauncherAction(Launcher::Action action) {
    if (action == Launcher::Action::kFire) {
        ++shotsFired_;
    }
    if (!replay_ && launcher_) {
        recorder_.Action(action == Launcher::Action::kFire ? ReplayEvent::kFire
                                                           : ReplayEvent::kSwap,
                         launcher_->Direction());
    }
}

std::uint64_t Game::FieldHash(const GameMap& field) {
    // FNV-1a over the field's size and every cell, column by column: 0 for an empty cell,
    // 1 + colour for a bubble.
    std::uint64_t hash = 14695981039346656037ull;
    auto mix = [&hash](int value) {
        hash = (hash ^ static_cast<std::uint8_t>(value)) * 1099511628211ull;
    };
    mix(field.Columns());
    mix(field.Rows());
    for (int c = 0; c < field.Columns(); ++c) {
        for (int k = 0; k < field.Rows(); ++k) {
            const BaseBubble* bubble = field.Bubble(c, k);
            mix(bubble != nullptr ? 1 + bubble->Colour() : 0);
        }
    }
    return hash;
}

ReplayResult Game::CurrentResult() const {
    ReplayResult result;
    const int state = GameState::Get();
    result.outcome = state == GameState::kCleared || state == GameState::kCompleteShown
                         ? ReplayResult::kCleared
                         : ReplayResult::kLost;
    result.score = field_ ? field_->Score : 0;
    result.shots = shotsFired_;
    result.fieldHash = field_ ? FieldHash(*field_) : 0;
    return result;
}

void Game::DrawAimGuide() {
    if (!TwSysConfig::Instance().AimGuide || replay_ || paused_ || !field_ || !launcher_ ||
        GameState::Get() != GameState::kPlaying || !AimGuide::Applies(*field_, *launcher_)) {
        return;
    }
    aimGuide_->Draw(*field_, *launcher_);
    recorder_.MarkGuided();
}

void Game::FinishRecording() {
    lastRecording_ = recorder_.Finish(CurrentResult());
}

// Recordings nothing links to any more (an entry pushed out of its table) are deleted; the
// last game's stays, so the result dialog can show it.
void Game::KeepLinkedRecordings() const {
    std::vector<std::string> keep;
    if (!lastRecording_.empty()) {
        keep.push_back(lastRecording_);
    }
    for (const auto& [mode, table] : TwHighScoreTables()) {
        if (!table) {
            continue;
        }
        for (const TwTopRecord& record : table->Records()) {
            if (!record.Replay.empty()) {
                keep.push_back(record.Replay);
            }
        }
    }
    ReplayRecorder::PruneExcept(keep);
}

// ---------------------------------------------------------------------------------------
// Playing a recording back

bool Game::StartReplay(Replay replay) {
    if (replay.mode != kClassic && replay.mode != kArcade && replay.mode != kPuzzle) {
        return false;
    }
    if (replay_) {
        StopReplay();
    }
    recorder_.Stop();
    geometryBeforeReplay_ = geometry_;
    FieldGeometry geometry = FieldGeometry::Shared();
    geometry.columns = replay.columns;
    geometry.rows = replay.rows;
    geometry.radius = replay.radius;
    geometry.xPlayerPos = replay.launcherX;
    geometry.yPlayerPos = replay.launcherY;
    geometry_ = geometry;

    Start(replay.mode);
    if (auto* puzzle = dynamic_cast<PuzzleMap*>(field_.get())) {
        puzzle->SetLevel(replay.puzzleLevel, replay.puzzleSet, replay.level);
    }
    CloseResultPanels();
    GameState::Set(GameState::kPlaying);
    owner_.clear(); // no slot to save into
    shotToSave_ = false;
    shotsFired_ = 0;
    banks_->Scene().Clear();
    launcher_->Reset();
    // The difficulty sets the row pacing when the field is filled; the player's own setting
    // is put back at once.
    int& difficulty = TwSysConfig::Instance().DifficultLevel;
    const int own = difficulty;
    difficulty = replay.difficulty;
    field_->Random().SetState(replay.seed);
    field_->Reset(true);
    difficulty = own;

    replay_ = std::make_unique<ReplayCursor>(std::move(replay));
    replaySpeed_ = 1;
    replayBudget_ = 0;
    replayDiverged_ = false;
    return true;
}

namespace {

// Why a recording cannot be watched, in the player's language (the terminal's messages
// keep Replay::Describe's English).
std::string CannotWatch(Replay::ReadError error) {
    const char* key = "ReplayUnreadable";
    switch (error) {
    case Replay::ReadError::kNotReplay:
        key = "ReplayNotRecording";
        break;
    case Replay::ReadError::kUnknownVersion:
        key = "ReplayOtherVersion";
        break;
    case Replay::ReadError::kDamaged:
        key = "ReplayDamaged";
        break;
    case Replay::ReadError::kTruncated:
        key = "ReplayCutShort";
        break;
    case Replay::ReadError::kTooLarge:
        key = "ReplayTooLarge";
        break;
    default:
        break;
    }
    return TwLanguage::Instance().GetBoxText(
        key, "This game cannot be watched: " + Replay::Describe(error) + ".");
}

} // namespace

bool Game::WatchRecording(const std::string& path, std::function<void()> onLeave) {
    std::string bytes;
    Replay replay;
    Replay::ReadError error = Replay::ReadError::kNotReplay;
    if (TwReadFile(path, bytes)) {
        error = Replay::Parse(bytes, replay);
    }
    if (error != Replay::ReadError::kNone) {
        TwShowErrorMessage(CannotWatch(error));
        return false;
    }
    if (!StartReplay(std::move(replay))) {
        TwShowErrorMessage(TwLanguage::Instance().GetBoxText(
            "ReplayUnknownMode", "This game cannot be watched: its mode is not known here."));
        return false;
    }
    replayLeft_ = std::move(onLeave);
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwGamePlayList);
    sound.ResumeMusic();
    return true;
}

void Game::WatchLastGame() {
    if (replay_) {
        Replay again = replay_->Recording();
        StartReplay(std::move(again));
    } else if (!lastRecording_.empty()) {
        if (!WatchRecording(TwUserPath(std::string(ReplayRecorder::kFolder) + lastRecording_))) {
            BackToMenu(true);
        }
    }
}

void Game::StopReplay() {
    if (!replay_) {
        return;
    }
    replay_.reset();
    geometry_ = geometryBeforeReplay_;
    geometryBeforeReplay_.reset();
    DestroyField();
    GameState::Set(GameState::kNotPlaying);
}

bool Game::StepReplay() {
    if (!replay_) {
        return false;
    }
    while (const ReplayEvent* step = replay_->Peek()) {
        const ReplayEvent event = *step;
        replay_->Take();
        if (event.type == ReplayEvent::kFrames) {
            RunFrame(static_cast<int>(event.ms));
            return true;
        }
        ApplyReplayStep(event);
    }
    return false;
}

void Game::AdvanceReplay(int elapsedMs) {
    if (replay_->Done()) {
        RunFrame(elapsedMs); // the end as it stands: falls finish under the result dialog
        return;
    }
    replayBudget_ = std::min(replayBudget_ + std::max(elapsedMs, 0) * replaySpeed_,
                             kMostCatchUpMs * replaySpeed_);
    while (const ReplayEvent* step = replay_->Peek()) {
        const ReplayEvent event = *step;
        if (event.type == ReplayEvent::kFrames) {
            if (static_cast<int>(event.ms) > replayBudget_) {
                break;
            }
            replayBudget_ -= static_cast<int>(event.ms);
            replay_->Take();
            RunFrame(static_cast<int>(event.ms));
            continue;
        }
        replay_->Take();
        ApplyReplayStep(event);
    }
}

void Game::ApplyReplayStep(const ReplayEvent& step) {
    if (!launcher_) {
        return;
    }
    switch (step.type) {
    case ReplayEvent::kAim:
        launcher_->SetDirection(TwVector(step.x, step.y, 0.0f));
        break;
    case ReplayEvent::kFire:
        replayDiverged_ |= !launcher_->Fire();
        break;
    case ReplayEvent::kSwap:
        replayDiverged_ |= !launcher_->Swap();
        break;
    case ReplayEvent::kResume:
        ReplayContinue();
        break;
    case ReplayEvent::kLeave:
    case ReplayEvent::kFrames:
        break;
    }
}

// The player left and came back: the game went through its save slot, so the replay puts
// the field through the same text and continues from what it reads back.
void Game::ReplayContinue() {
    if (!field_) {
        return;
    }
    const SavedGame saved = CurrentSave();
    TwDefFile file;
    saved.Write(file, field_->Columns(), field_->Rows());
    const std::string text = file.Serialize();
    TwDefFile readBack;
    readBack.LoadFromMemory(text.data(), text.size());
    const std::uint32_t randomState = field_->Random().State();
    // The new field reads the difficulty as the game did when it was continued.
    int& difficulty = TwSysConfig::Instance().DifficultLevel;
    const int own = difficulty;
    difficulty = replay_->Recording().difficulty;
    ContinueFrom(SavedGame::Read(readBack), randomState);
    difficulty = own;
}

bool Game::HandleReplayInput(const TwInputEvent& input) {
    using namespace TwInputCodes;
    const bool key = input.messageId == kKeyDown &&
                     (input.key == kSpace || input.key == kRight || input.key == kEnter);
    const bool click = input.messageId == kLeftButtonUp;
    if (!key && !click) {
        return false;
    }
    replaySpeed_ = replaySpeed_ == 1 ? kFastForward : 1;
    return true;
}
