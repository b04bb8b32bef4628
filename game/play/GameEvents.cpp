// Game: the player's input on the game screen and the actions of its buttons.
#include <utility>

#include "ControlBindings.h"
#include "Game.h"
#include "GameResults.h"
#include "LauncherKeys.h"
#include "PuzzleMap.h"
#include "gui/TwInputEvent.h"

namespace {

// A finger lifted this close to the launcher's middle (game pixels) is a tap on it.
constexpr float kLauncherTapRadius = 40.0f;

} // namespace

bool Game::HandleInput(TwInputEvent& input) {
    // Escape (or the menu key) leaves a replay at any moment, its result dialog included.
    const bool escape =
        input.messageId == TwInputCodes::kKeyDown && input.key == TwInputCodes::kEscape;
    if (replay_ &&
        (escape || ControlBindings::Current().ActionOf(input) == ControlBindings::kMenu)) {
        SetPendingEvent(kMenuButton);
        input.MarkConsumed();
        return true;
    }
    if (IsPauseKey(input)) {
        paused_ ? Resume() : Pause();
        input.MarkConsumed();
        return true;
    }
    if (IsMenuKey(input)) {
        SetPendingEvent(kMenuButton);
        input.MarkConsumed();
        return true;
    }
    if (!IsStrayEscape(input) && TwEventListener::HandleInput(input)) {
        return true;
    }
    Launcher* launcher = GetLauncher();
    const bool playing = !replay_ && session_.Playing() && launcher != nullptr && !paused_;
    if (playing && IsLauncherTap(input)) {
        launcher->Swap();
    } else if (replay_) {
        HandleReplayInput(input);
    } else if (playing) {
        keys_.HandleInput(*launcher, input);
        LauncherKeys::HandlePointer(*launcher, input);
    }
    input.MarkConsumed();
    return true;
}

// The pause key (P, a controller's Start) pauses and resumes a game being played.
bool Game::IsPauseKey(const TwInputEvent& input) const {
    return session_.Playing() && session_.HasField() &&
           ControlBindings::Current().ActionOf(input) == ControlBindings::kPause;
}

// With no dialog over the game, the menu key saves the game and goes back to the menu.
bool Game::IsMenuKey(const TwInputEvent& input) const {
    return TopPanel() == GetPanel(kMenuPanel) &&
           ControlBindings::Current().ActionOf(input) == ControlBindings::kMenu;
}

// Escape presses the menu button as the panel's cancel key; an Escape that is not the menu
// key (the menu key was changed, or a controller button sends it) must not reach it.
bool Game::IsStrayEscape(const TwInputEvent& input) const {
    if (TopPanel() != GetPanel(kMenuPanel) || input.eventClass != TwInputEvent::kKeyboard ||
        input.key != TwInputCodes::kEscape) {
        return false;
    }
    const bool escapeIsMenu =
        ControlBindings::Current().Key(ControlBindings::kMenu) == TwInputCodes::kEscape;
    return !escapeIsMenu || input.padButton >= 0;
}

// A finger lifted on the launcher swaps its bubbles instead of firing (a touch screen has
// no right button).
bool Game::IsLauncherTap(const TwInputEvent& input) const {
    if (!input.touch || input.button != TwInputEvent::kLeftReleased) {
        return false;
    }
    const TwVector rest = GetLauncher()->RestPosition();
    const float dx = input.eventX - rest.x, dy = input.eventY - rest.y;
    return dx * dx + dy * dy <= kLauncherTapRadius * kLauncherTapRadius;
}

// ---------------------------------------------------------------------------------------
// The buttons' actions

const std::vector<Game::EventEntry>& Game::EventTable() {
    static const std::vector<EventEntry> table = {
        {kGameOverWatch, &Game::OnWatch},
        {kCompleteWatch, &Game::OnWatch},
        {kPuzzleWatch, &Game::OnWatch},
        {kPuzzleLostWatch, &Game::OnWatch},
        {kResumeButton, &Game::OnResume},
        {kPauseMenuButton, &Game::OnPauseMenu},
        {kMenuButton, &Game::OnMenu},
        {kGameOverButton, &Game::OnResultOk},
        {kCompleteButton, &Game::OnResultOk},
        {kPuzzleNext, &Game::OnPuzzleResult},
        {kPuzzleRetry, &Game::OnPuzzleResult},
        {kPuzzleMenu, &Game::OnPuzzleResult},
        {kPuzzleLostRetry, &Game::OnPuzzleResult},
        {kPuzzleLostMenu, &Game::OnPuzzleResult},
    };
    return table;
}

void Game::OnEvent() {
    const std::string event = PendingEvent();
    // Every way out of a replay (its menu button, the pause panel's menu, a result's OK)
    // goes back to where the replay was started from.
    if (replay_ && (event == kMenuButton || event == kPauseMenuButton || event == kGameOverButton ||
                    event == kCompleteButton)) {
        LeaveReplay(event);
    } else {
        for (const EventEntry& entry : EventTable()) {
            if (event == entry.name) {
                (this->*entry.handler)(event);
                break;
            }
        }
    }
    ClearEvent();
}

void Game::OnWatch(const std::string&) {
    RemoveTopPanel();
    WatchLastGame();
}

void Game::OnResume(const std::string&) {
    Resume();
}

void Game::OnPauseMenu(const std::string&) {
    Resume();
    KeepGameInPlay();
    BackToMenu(true);
}

void Game::OnMenu(const std::string&) {
    // Only a game in progress is kept; a finished one has already left the slot.
    if (!IsFinished()) {
        KeepGameInPlay();
    }
    BackToMenu(true);
}

// OK in a result dialog: back to the menu, whose music a lost game leaves silent.
void Game::OnResultOk(const std::string& event) {
    RemoveTopPanel();
    BackToMenu(event == kCompleteButton);
}

void Game::OnPuzzleResult(const std::string& event) {
    const PuzzleMap* puzzle = session_.Puzzle();
    const std::string setId = puzzle != nullptr ? puzzle->SetId() : std::string();
    const int level = puzzle != nullptr ? puzzle->LevelNumber() : 0;
    RemoveTopPanel();
    if (event == kPuzzleNext && StartPuzzle(setId, level + 1)) {
        return;
    }
    if ((event == kPuzzleRetry || event == kPuzzleLostRetry) && StartPuzzle(setId, level)) {
        return;
    }
    BackToMenu(true);
}

void Game::LeaveReplay(const std::string& event) {
    if (event == kPauseMenuButton) {
        Resume();
    } else if (event != kMenuButton) {
        RemoveTopPanel();
    }
    StopReplay();
    BackToMenu(true);
    if (auto left = std::exchange(replayLeft_, nullptr)) {
        left();
    }
}
