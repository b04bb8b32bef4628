#include "Game.h"

#include <cstdio>
#include <utility>

#include "AimGuide.h"
#include "BubbleBanks.h"
#include "ControlBindings.h"
#include "GameCompletePanel.h"
#include "GameMap.h"
#include "GamePanels.h"
#include "GameResults.h"
#include "GameSoundPlayer.h"
#include "LevelLibrary.h"
#include "PuzzleMap.h"
#include "ReplayPlayer.h"
#include "SaveSlot.h"
#include "app/TwBaseApplication.h"
#include "app/TwCursor.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwEventRouter.h"
#include "gui/TwInputEvent.h"
#include "gui/TwNotice.h"
#include "platform/os/TwRand.h"
#include "records/TwProfileStore.h"

namespace {

// The game's pointer takes the colour of the bubble about to be fired.
void TintCursor(std::uint32_t argb) {
    TwBaseApplication* app = TwBaseApplication::Instance();
    TwCursor* cursor = app != nullptr ? app->Cursor() : nullptr;
    if (cursor == nullptr || cursor->Clip() == nullptr) {
        return;
    }
    cursor->Clip()->SetTint(static_cast<float>((argb >> 16) & 0xFF),
                            static_cast<float>((argb >> 8) & 0xFF), static_cast<float>(argb & 0xFF),
                            static_cast<float>((argb >> 24) & 0xFF));
}

} // namespace

Game::Game()
    : banks_(std::make_unique<BubbleBanks>()), session_(banks_.get()),
      aimGuide_(std::make_unique<AimGuide>()) {
    session_.SetSoundSink(&GameSoundPlayer::Play);
    session_.SetCursorTintSink(&TintCursor);
    session_.SetActionSink([this](Launcher::Action action) { OnLauncherAction(action); });
}

// Panels may still name elements as event source; the base forgets them. The session goes
// before the banks whose draw list it uses.
Game::~Game() = default;

BubbleBanks* Game::Banks() const {
    return built_ ? banks_.get() : nullptr;
}

void Game::BuildScreen() {
    banks_->Build();
    painter_.Load();
    built_ = true;
    TwFontTable::Instance().Load(TwFontTable::Digits, "Digits");
    AddPanel(kMenuPanel, GamePanels::MenuButton(kMenuButton));
    AddPanel(kGameOverPanel,
             GamePanels::Result("Interface/GameOverDlg", kGameOverButton, kGameOverWatch));
    AddPanel(kCompletePanel,
             GamePanels::Result("Interface/GameComplDlg", kCompleteButton, kCompleteWatch));
    AddPanel(kPausePanel, GamePanels::Pause(kResumeButton, kPauseMenuButton));
    AddPanel(kPuzzlePanel, GamePanels::PuzzleResult("Interface/GameComplDlg", kPuzzleWatch,
                                                    {{"Interface/Next", kPuzzleNext},
                                                     {"Interface/Retry", kPuzzleRetry},
                                                     {"Interface/PuzzleMenu", kPuzzleMenu}}));
    AddPanel(kPuzzleLostPanel,
             GamePanels::PuzzleResult("Interface/GameOverDlg", kPuzzleLostWatch,
                                      {{"Interface/Retry", kPuzzleLostRetry},
                                       {"Interface/PuzzleMenu", kPuzzleLostMenu}}));
    OpenPanel(kMenuPanel);
}

// ---------------------------------------------------------------------------------------
// Starting, continuing, saving

void Game::Start(GameMode mode) {
    paused_ = false;
    session_.SetUp(mode, NextFieldGeometry(), Difficulty());
    painter_.SetBackground(ModeInfo(mode).background);
}

bool Game::StartPuzzle(const std::string& setId, int level) {
    const PuzzleLevel* found = LevelLibrary::Shared().Level(setId, level);
    if (found == nullptr) {
        return false;
    }
    const PuzzleLevel copy = *found;
    Start(kPuzzle);
    session_.SetLevel(copy, setId, level);
    NewGame();
    return true;
}

void Game::NewGame() {
    if (!session_.HasField()) {
        Start(session_.Mode());
    }
    CloseResultPanels();
    owner_ = TwProfileStore::Instance().ActiveName();
    GameResults::GameStarted(owner_, session_.Mode());
    toldSaveFailed_ = false;
    // The game draws from its own generator, seeded from the engine's; the engine's moves
    // on so the next game is another one.
    const std::uint32_t seed = TwRandSeed();
    TwRand();
    session_.SetDifficulty(Difficulty());
    session_.Begin(seed);
    recorder_.Start(session_.RecordingHeader(seed));
}

bool Game::SaveGame() {
    const SaveSlot::Written written = SaveSlot::Save(session_, owner_, recorder_);
    if (written == SaveSlot::Written::kFailed && !toldSaveFailed_) {
        // Once a game: every later shot tries again, and Continue would bring back an older
        // field meanwhile, so the player must know.
        toldSaveFailed_ = true;
        TwNotice::Instance().Show(TwLanguage::Instance().GetText("SaveFailed"));
    }
    return written == SaveSlot::Written::kWritten;
}

bool Game::Restore() {
    const FieldGeometry size = NextFieldGeometry();
    std::optional<SaveSlot::Restored> restored = SaveSlot::Load(recorder_, size.columns, size.rows);
    if (!restored) {
        return false;
    }
    const SavedGame& saved = restored->saved;
    Start(*ModeFromNumber(saved.gameId));
    // The level itself is only needed to play it again; a set gone since still lets the
    // player finish the field as saved.
    const PuzzleLevel* level = nullptr;
    if (session_.Mode() == kPuzzle) {
        LevelLibrary::Shared().LoadIfNeeded(size.columns, size.rows);
        level = LevelLibrary::Shared().Level(saved.puzzleSet, saved.puzzleLevel);
    }
    CloseResultPanels();
    session_.Continue(saved, restored->randomState, level);
    owner_ = TwProfileStore::Instance().ActiveName();
    toldSaveFailed_ = false;
    session_.SetShotsFired(recorder_.Active() ? recorder_.Current().Shots() : 0);
    return true;
}

void Game::Abandon() {
    SaveSlot::EraseActive();
    session_.SetState(PlayState::kNotPlaying);
}

// A result dialog (or the pause panel) still open from an earlier game is dropped; the menu
// panel stays.
void Game::CloseResultPanels() {
    paused_ = false;
    while (!panelStack_.empty() && TopPanel() != GetPanel(kMenuPanel)) {
        RemoveTopPanel();
    }
}

// ---------------------------------------------------------------------------------------
// The frame

void Game::Update(int elapsedMs) {
    // Paused, only the pause panel moves: nothing is recorded and a replay waits.
    if (paused_) {
        RunFrame(elapsedMs);
        return;
    }
    if (replay_) {
        AdvanceReplay(elapsedMs);
        return;
    }
    const bool recording = session_.Playing() && recorder_.Active();
    if (recording) {
        recorder_.Frame(elapsedMs);
    }
    RunFrame(elapsedMs);
    if (recording && GetLauncher() != nullptr) {
        recorder_.Aim(GetLauncher()->Direction());
    }
}

void Game::RunFrame(int elapsedMs) {
    TwEventListener::Update(elapsedMs);
    if (paused_) {
        return; // only the pause panel moves
    }
    std::function<void(Launcher&)> steer;
    if (!replay_) {
        steer = [this, elapsedMs](Launcher& launcher) { keys_.Update(launcher, elapsedMs); };
    }
    OnSessionEvent(session_.Step(elapsedMs, steer));
}

void Game::OnSessionEvent(GameSession::Event event) {
    switch (event) {
    case GameSession::Event::kLost:
    case GameSession::Event::kCleared: {
        const bool cleared = event == GameSession::Event::kCleared;
        // A replayed level ends in the dialogs of a replay: watch again or leave.
        if (session_.Mode() == kPuzzle && !replay_) {
            EndPuzzle(cleared);
        } else {
            EndGame(cleared);
        }
        break;
    }
    case GameSession::Event::kShotAtRest:
        // One small write per shot, never per frame.
        if (!replay_) {
            SaveGame();
            GameResults::RecordStats(owner_, session_, true, std::nullopt);
        }
        break;
    case GameSession::Event::kNone:
        break;
    }
}

void Game::OnLauncherAction(Launcher::Action action) {
    if (!replay_ && GetLauncher() != nullptr) {
        recorder_.Action(action == Launcher::Action::kFire ? ReplayEvent::kFire
                                                           : ReplayEvent::kSwap,
                         GetLauncher()->Direction());
    }
}

void Game::EndGame(bool cleared) {
    // A replay ends as its game did, but enters no score and leaves the save slot alone.
    if (!replay_) {
        FinishRecording();
        GameResults::RecordHighScore(session_, lastRecording_, recorder_.Guided());
        GameResults::RecordStats(owner_, session_, session_.ShotPending(), cleared);
        GameResults::KeepLinkedRecordings(lastRecording_);
        SaveSlot::Erase(owner_);
    }
    session_.ClearShotPending();
    const char* panelName = cleared ? kCompletePanel : kGameOverPanel;
    if (auto* panel = dynamic_cast<GameCompletePanel*>(GetPanel(panelName))) {
        panel->SetTargets(Field()->Score, session_.Info().bonus ? Field()->TripleBonus : 0);
        // Only a recorded game can be watched (a replay can be watched again).
        if (TwBaseGuiElemen* watch =
                panel->FindElement(cleared ? kCompleteWatch : kGameOverWatch)) {
            replay_ || !lastRecording_.empty() ? watch->Enable() : watch->Disable();
        }
        OpenPanel(panelName);
    }
    session_.SettleEnd();
}

void Game::EndPuzzle(bool cleared) {
    // The last shot and the time played count in the statistics like any game's.
    GameResults::RecordStats(owner_, session_, session_.ShotPending(), cleared);
    session_.ClearShotPending();
    FinishRecording();
    GameResults::KeepLinkedRecordings(lastRecording_);
    SaveSlot::Erase(owner_);
    const PuzzleMap& puzzle = *session_.Puzzle();
    if (cleared) {
        GameResults::RecordPuzzleClear(owner_, puzzle.SetId(), puzzle.LevelNumber(), puzzle.Score);
    }
    const GameModeInfo& info = ModeInfo(kPuzzle);
    const char* panelName = cleared ? info.clearedPanel : info.lostPanel;
    if (auto* panel = dynamic_cast<GameCompletePanel*>(GetPanel(panelName))) {
        panel->SetTargets(puzzle.Score, 0);
        const bool hasNext =
            LevelLibrary::Shared().Level(puzzle.SetId(), puzzle.LevelNumber() + 1) != nullptr;
        OpenPanel(panelName);
        // Opening shows every button in its normal look, so the last level's Next is
        // greyed out afterwards.
        if (TwBaseGuiElemen* next = panel->FindElement(kPuzzleNext)) {
            hasNext ? next->Enable() : next->Disable();
        }
        if (TwBaseGuiElemen* watch =
                panel->FindElement(cleared ? kPuzzleWatch : kPuzzleLostWatch)) {
            lastRecording_.empty() ? watch->Disable() : watch->Enable();
        }
    }
    session_.SettleEnd();
}

void Game::FinishRecording() {
    lastRecording_ = recorder_.Finish(session_.CurrentResult());
}

void Game::KeepGameInPlay() {
    recorder_.Leave();
    SaveGame();
    GameResults::RecordStats(owner_, session_, false, std::nullopt);
}

// ---------------------------------------------------------------------------------------
// Drawing

void Game::Draw() {
    if (GameMap* field = Field()) {
        painter_.Draw(*field, GetLauncher());
        DrawAimGuide();
        DrawScore();
    }
    TwEventListener::Draw();
}

void Game::DrawScore() {
    TwBitmapFont* digits = TwFontTable::Get(TwFontTable::Digits);
    if (digits == nullptr) {
        return;
    }
    if (printedScore_ != Field()->Score) {
        printedScore_ = Field()->Score;
        std::snprintf(scoreText_, sizeof scoreText_, "%i ", Field()->Score);
    }
    digits->SetTint(255.0f, 255.0f, 255.0f, 255.0f);
    digits->DrawText(kScoreX, kScoreY, scoreText_, TwBitmapFont::AlignCentre);
}

void Game::DrawAimGuide() {
    if (!TwSysConfig::Instance().AimGuide || replay_ || paused_ || !session_.Playing() ||
        GetLauncher() == nullptr || !AimGuide::Applies(*Field(), *GetLauncher())) {
        return;
    }
    aimGuide_->Draw(*Field(), *GetLauncher());
    recorder_.MarkGuided();
}

// ---------------------------------------------------------------------------------------
// Pause and the way back to the menu

void Game::Pause() {
    if (paused_ || !session_.Playing() || !session_.HasField()) {
        return;
    }
    paused_ = true;
    keys_.IgnoreHeldKeys();
    OpenPanel(kPausePanel);
}

void Game::Resume() {
    if (!paused_) {
        return;
    }
    paused_ = false;
    ClosePanel(kPausePanel);
}

void Game::BackToMenu(bool menuMusic) {
    if (TwEventRouter* router = Router()) {
        router->SwitchScreen(kMenuScreen);
    }
    if (menuMusic) {
        TwSoundManager& sound = TwSoundManager::Instance();
        sound.SelectPlayList(kTwMenuPlayList);
        sound.ResumeMusic();
    }
}

FieldGeometry Game::NextFieldGeometry() const {
    if (geometry_) {
        return *geometry_;
    }
    FieldGeometry geometry = FieldGeometry::Shared();
    geometry.ReadFromResources();
    return geometry;
}

int Game::Difficulty() const {
    return TwSysConfig::Instance().DifficultLevel;
}

TwEventRouter* Game::Router() const {
    if (router_ != nullptr) {
        return router_;
    }
    TwBaseApplication* app = TwBaseApplication::Instance();
    return app != nullptr ? app->Router() : nullptr;
}

GameCompletePanel* Game::GameOverPanel() const {
    return dynamic_cast<GameCompletePanel*>(GetPanel(kGameOverPanel));
}

GameCompletePanel* Game::CompletePanel() const {
    return dynamic_cast<GameCompletePanel*>(GetPanel(kCompletePanel));
}
