// Game: playing recordings back on the game screen.
#include "Game.h"
#include "ReplayPlayer.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwLanguage.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"

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

bool Game::StartReplay(Replay replay) {
    if (!ModeFromNumber(replay.mode)) {
        return false;
    }
    if (replay_) {
        StopReplay();
    }
    recorder_.Stop();
    auto player = std::make_unique<ReplayPlayer>(std::move(replay));
    CloseResultPanels();
    player->Begin(session_, FieldGeometry::Shared());
    painter_.SetBackground(session_.Info().background);
    owner_.clear(); // no slot to save into
    replay_ = std::move(player);
    return true;
}

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
    session_.TearDown();
    session_.SetState(PlayState::kNotPlaying);
}

bool Game::StepReplay() {
    return replay_ && replay_->StepFrame(session_, [this](int ms) { RunFrame(ms); });
}

void Game::AdvanceReplay(int elapsedMs) {
    replay_->Advance(session_, elapsedMs, [this](int ms) { RunFrame(ms); });
}

bool Game::ReplayDiverged() const {
    return replay_ && replay_->Diverged();
}

int Game::ReplaySpeed() const {
    return replay_ ? replay_->Speed() : 1;
}

bool Game::HandleReplayInput(const TwInputEvent& input) {
    using namespace TwInputCodes;
    const bool key = input.messageId == kKeyDown &&
                     (input.key == kSpace || input.key == kRight || input.key == kEnter);
    const bool click = input.messageId == kLeftButtonUp;
    if (!key && !click) {
        return false;
    }
    replay_->ToggleFastForward();
    return true;
}
