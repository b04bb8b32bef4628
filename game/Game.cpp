#include "Game.h"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "AimGuide.h"
#include "ArcadeMap.h"
#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "ControlBindings.h"
#include "GameCompletePanel.h"
#include "GameMap.h"
#include "GameState.h"
#include "Launcher.h"
#include "LevelLibrary.h"
#include "PlayerStats.h"
#include "PuzzleMap.h"
#include "PuzzleProgress.h"
#include "SavedGame.h"
#include "TwDrawList.h"
#include "app/TwBaseApplication.h"
#include "app/TwCursor.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwDefFile.h"
#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwButton.h"
#include "gui/TwEventRouter.h"
#include "gui/TwInputEvent.h"
#include "gui/TwNotice.h"
#include "platform/os/TwRand.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

namespace {

// The menu button sits in the top-right corner: (93, 3) percent of the screen.
constexpr float kMenuButtonX = 93.0f;
constexpr float kMenuButtonY = 3.0f;
// The result dialogs' buttons: OK at (70, 85) percent of the dialog picture, Watch at (30, 85).
constexpr float kResultButtonX = 70.0f;
constexpr float kResultButtonY = 85.0f;
constexpr float kWatchButtonX = 30.0f;
// A Puzzle result dialog's Watch sits between its title and its score rows.
constexpr float kPuzzleWatchY = 26.0f;
// A finger lifted this close to the launcher's middle (game pixels) is a tap on it.
constexpr float kLauncherTapRadius = 40.0f;

void MarkConsumed(TwInputEvent& input) {
    input.eventClass = TwInputEvent::kNone;
    input.button = TwInputEvent::kNoButton;
    input.messageId = -1;
    input.key = 0;
}

// Empties the active player's save slot and updates the player's saved-game flag. Without
// an active player there is no slot to touch.
void EraseSavedGame() {
    TwProfileStore& store = TwProfileStore::Instance();
    if (store.ActiveIndex() < 0) {
        return;
    }
    ReplayRecorder::EraseBeside(store.SavePath());
    store.DeleteSavedGame();
    store.CheckSavedGame();
}

std::unique_ptr<GameCompletePanel> MakeResultPanel(const std::string& picture,
                                                   const std::string& buttonName,
                                                   const std::string& watchName) {
    auto panel = std::make_unique<GameCompletePanel>();
    panel->SetTitleFont(TwFontTable::MainFont);
    panel->SetMessageFont(TwFontTable::Digits);
    panel->Create(picture);
    // Escape leaves the result as its one button does.
    panel->AddButton("Interface/BtnOk", kResultButtonX, kResultButtonY, buttonName,
                     TwPanel::kCancelRole);
    // Watch the game just played again.
    panel->AddButton("Interface/Watch", kWatchButtonX, kResultButtonY, watchName,
                     TwPanel::kPlainRole);
    return panel;
}

// The pause panel: resume (Escape presses it too) on the left, back to the menu on the right.
std::unique_ptr<TwPanel> MakePausePanel() {
    auto panel = std::make_unique<TwPanel>();
    panel->Create("Interface/PauseDlg");
    panel->AddButton("Interface/Resume", 30, 70, Game::kResumeButton, TwPanel::kCancelRole);
    panel->AddButton("Interface/BtnMenu", 70, 70, Game::kPauseMenuButton, TwPanel::kPlainRole);
    return panel;
}

// A Puzzle result dialog: the counted-up score and a row of buttons along its foot.
std::unique_ptr<GameCompletePanel>
MakePuzzlePanel(const std::string& picture, const std::string& watchName,
                const std::vector<std::pair<std::string, std::string>>& buttons) {
    auto panel = std::make_unique<GameCompletePanel>();
    panel->SetTitleFont(TwFontTable::MainFont);
    panel->SetMessageFont(TwFontTable::Digits);
    panel->Create(picture);
    // Three buttons fill the dialog's foot edge to edge; two stand apart.
    const float threeXs[] = {18.0f, 50.0f, 82.0f};
    const float twoXs[] = {30.0f, 70.0f};
    for (std::size_t i = 0; i < buttons.size() && i < 3; ++i) {
        const float x = buttons.size() == 3 ? threeXs[i] : twoXs[i % 2];
        // Escape takes the last button: back to the menu.
        const int role = i + 1 == buttons.size() ? TwPanel::kCancelRole
                         : i == 0                ? TwPanel::kDefaultRole
                                                 : TwPanel::kPlainRole;
        panel->AddButton(buttons[i].first, x, kResultButtonY, buttons[i].second, role);
    }
    // Watch the level just played again: under the title, where the foot has no room left.
    panel->AddButton("Interface/Watch", 50.0f, kPuzzleWatchY, watchName, TwPanel::kPlainRole);
    return panel;
}

} // namespace

Game::Game() : banks_(std::make_unique<BubbleBanks>()), aimGuide_(std::make_unique<AimGuide>()) {
    GameState::Set(GameState::kNotPlaying);
}

Game::~Game() {
    // Panels may still name elements as event source; the base forgets them. The field and
    // launcher go before the banks whose draw list they use.
    DestroyField();
}

// ---------------------------------------------------------------------------------------
// The game as the menu sees it

bool Game::HasField() const {
    return field_ != nullptr;
}

bool Game::IsFinished() const {
    const int state = GameState::Get();
    return state == GameState::kNotPlaying || state == GameState::kCompleteShown;
}

void Game::Abandon() {
    EraseSavedGame();
    GameState::Set(GameState::kNotPlaying);
}

void Game::Suspend() {
    GameState::Set(GameState::kNotPlaying);
}

BubbleBanks* Game::Banks() const {
    return built_ ? banks_.get() : nullptr;
}

// ---------------------------------------------------------------------------------------
// Building and starting

void Game::BuildScreen() {
    banks_->Build();
    built_ = true;
    TwFontTable::Instance().Load(TwFontTable::Digits, "Digits");

    auto menu = std::make_unique<TwPanel>();
    // No picture: the button is placed in screen percentages.
    menu->AddButton("Interface/Menu", kMenuButtonX, kMenuButtonY, kMenuButton,
                    TwPanel::kCancelRole);
    menu->SetKeyboardNavigation(false); // the arrows, Space and Enter steer the launcher
    AddPanel(kMenuPanel, std::move(menu));
    AddPanel(kGameOverPanel,
             MakeResultPanel("Interface/GameOverDlg", kGameOverButton, kGameOverWatch));
    AddPanel(kCompletePanel,
             MakeResultPanel("Interface/GameComplDlg", kCompleteButton, kCompleteWatch));
    AddPanel(kPausePanel, MakePausePanel());
    AddPanel(kPuzzlePanel, MakePuzzlePanel("Interface/GameComplDlg", kPuzzleWatch,
                                           {{"Interface/Next", kPuzzleNext},
                                            {"Interface/Retry", kPuzzleRetry},
                                            {"Interface/PuzzleMenu", kPuzzleMenu}}));
    AddPanel(kPuzzleLostPanel, MakePuzzlePanel("Interface/GameOverDlg", kPuzzleLostWatch,
                                               {{"Interface/Retry", kPuzzleLostRetry},
                                                {"Interface/PuzzleMenu", kPuzzleLostMenu}}));
    OpenPanel(kMenuPanel);
}

void Game::StartClassic() {
    Start(kClassic);
}

void Game::StartArcade() {
    Start(kArcade);
}

void Game::DestroyField() {
    if (!banks_) {
        return;
    }
    TwDrawList& scene = banks_->Scene();
    scene.SetBackground(nullptr);
    scene.Clear();
    launcher_.reset();
    field_.reset();
}

void Game::Start(int mode) {
    DestroyField();
    shotToSave_ = false;
    paused_ = false;
    gameId_ = mode;
    if (mode == kArcade) {
        field_ = geometry_ ? std::make_unique<ArcadeMap>(*banks_, *geometry_)
                           : std::make_unique<ArcadeMap>(*banks_);
    } else if (mode == kPuzzle) {
        field_ = geometry_ ? std::make_unique<PuzzleMap>(*banks_, *geometry_)
                           : std::make_unique<PuzzleMap>(*banks_);
    } else {
        field_ = geometry_ ? std::make_unique<GameMap>(*banks_, *geometry_)
                           : std::make_unique<GameMap>(*banks_);
    }
    field_->SetScene(&banks_->Scene());
    field_->SetBackground(mode == kArcade ? "GameBgr1" : mode == kPuzzle ? "GameBgr2" : "GameBgr");
    launcher_ = std::make_unique<Launcher>();
    launcher_->SetField(field_.get());
    launcher_->SetActionSink([this](Launcher::Action action) { OnLauncherAction(action); });
    field_->SetLauncher(launcher_.get());
    launcher_->Init();
    LinkCursorTint();
    ComputeWalls();
}

bool Game::StartPuzzle(const std::string& setId, int level) {
    const PuzzleLevel* found = LevelLibrary::Shared().Level(setId, level);
    if (found == nullptr) {
        return false;
    }
    const PuzzleLevel copy = *found;
    Start(kPuzzle);
    static_cast<PuzzleMap&>(*field_).SetLevel(copy, setId, level);
    NewGame();
    return true;
}

void Game::ComputeWalls() {
    if (field_) {
        field_->ComputeWalls();
    }
}

// The game's pointer takes the colour of the bubble about to be fired.
void Game::LinkCursorTint() {
    field_->SetCursorTintSink([](std::uint32_t argb) {
        TwBaseApplication* app = TwBaseApplication::Instance();
        TwCursor* cursor = app != nullptr ? app->Cursor() : nullptr;
        if (cursor == nullptr || cursor->Clip() == nullptr) {
            return;
        }
        cursor->Clip()->SetTint(
            static_cast<float>((argb >> 16) & 0xFF), static_cast<float>((argb >> 8) & 0xFF),
            static_cast<float>(argb & 0xFF), static_cast<float>((argb >> 24) & 0xFF));
    });
}

// A result dialog (or the pause panel) still open from an earlier game is dropped; the menu
// panel stays.
void Game::CloseResultPanels() {
    paused_ = false;
    while (!panelStack_.empty() && TopPanel() != GetPanel(kMenuPanel)) {
        RemoveTopPanel();
    }
}

void Game::NewGame() {
    if (!field_) {
        Start(gameId_);
    }
    CloseResultPanels();
    GameState::Set(GameState::kPlaying);
    owner_ = TwProfileStore::Instance().ActiveName();
    shotToSave_ = false;
    playMs_ = 0;
    UpdatePlayerStats(owner_, [this](PlayerStats& stats) { stats.GameStarted(gameId_); });
    toldSaveFailed_ = false;
    banks_->Scene().Clear();
    launcher_->Reset();
    // The game draws from its own generator, seeded from the engine's; the engine's moves
    // on so the next game is another one.
    const std::uint32_t seed = TwRandSeed();
    TwRand();
    field_->Random().SetState(seed);
    field_->Reset(true);
    shotsFired_ = 0;
    Replay header;
    header.mode = gameId_;
    header.difficulty = std::clamp(TwSysConfig::Instance().DifficultLevel, 0, 2);
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
    recorder_.Start(header);
}

// ---------------------------------------------------------------------------------------
// Saved game

SavedGame Game::CurrentSave() const {
    SavedGame saved = SavedGame::FromField(*field_, launcher_.get());
    saved.gameId = gameId_;
    if (const auto* puzzle = dynamic_cast<const PuzzleMap*>(field_.get())) {
        saved.puzzleSet = puzzle->SetId();
        saved.puzzleLevel = puzzle->LevelNumber();
        saved.ceilingRow = puzzle->CeilingRow;
    }
    return saved;
}

bool Game::SaveGame() {
    TwProfileStore& store = TwProfileStore::Instance();
    // Only into the slot of the player the game belongs to; a player deleted since has none.
    if (!field_ || owner_.empty() || store.IndexOf(owner_) < 0) {
        return false;
    }
    const SavedGame saved = CurrentSave();
    TwDefFile file;
    saved.Write(file, field_->Columns(), field_->Rows());
    recorder_.Stamp(file, field_->Random().State());
    const std::string path = store.SavePathOf(owner_);
    // The slot first: a recording that cannot be written beside it never costs the game.
    // A slot whose companion file did not follow continues unrecorded.
    const bool written = file.Save(path) == 0;
    if (written) {
        recorder_.WriteBeside(path);
    }
    store.CheckSavedGameOf(owner_);
    if (!written && !toldSaveFailed_) {
        // Once a game: every later shot tries again, and Continue would bring back an older
        // field meanwhile, so the player must know.
        toldSaveFailed_ = true;
        TwNotice::Instance().Show(TwLanguage::Instance().GetText("SaveFailed"));
    }
    return written;
}

bool Game::Restore() {
    TwProfileStore& store = TwProfileStore::Instance();
    if (store.ActiveIndex() < 0) {
        return false;
    }
    // A slot that cannot be continued is no longer offered: Continue stays off and a new
    // game does not ask to replace it (the file itself stays as it is).
    TwDefFile file;
    if (file.LoadFromFile(store.SavePath()) != 0) {
        store.ForgetSavedGame();
        return false;
    }
    const SavedGame saved = SavedGame::Read(file);
    // An unknown mode or a field without a single bubble is no game to continue; the
    // current game is left as it was.
    const FieldGeometry size = NextFieldGeometry();
    if (!saved.HasKnownMode() || !saved.HasBubbles(size.columns, size.rows)) {
        store.ForgetSavedGame();
        return false;
    }
    const std::optional<std::uint32_t> randomState = recorder_.ResumeBeside(store.SavePath(), file);
    ContinueFrom(saved, randomState);
    owner_ = store.ActiveName();
    playMs_ = 0;
    toldSaveFailed_ = false;
    shotsFired_ = recorder_.Active() ? recorder_.Current().Shots() : 0;
    return true;
}

void Game::ContinueFrom(const SavedGame& saved, std::optional<std::uint32_t> randomState) {
    Start(saved.gameId);
    const FieldGeometry size = NextFieldGeometry();
    if (auto* puzzle = dynamic_cast<PuzzleMap*>(field_.get())) {
        // The level itself is only needed to play it again; a set gone since still lets
        // the player finish the field as saved. A replay has the level in its recording and
        // never asks the library.
        const PuzzleLevel* level = nullptr;
        if (replay_) {
            level = &replay_->Recording().puzzleLevel;
        } else {
            LevelLibrary::Shared().LoadIfNeeded(size.columns, size.rows);
            level = LevelLibrary::Shared().Level(saved.puzzleSet, saved.puzzleLevel);
        }
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
    CloseResultPanels();
    GameState::Set(GameState::kPlaying);
    // Before the launcher is loaded: a colour it needs anew is drawn from it.
    if (randomState) {
        field_->Random().SetState(*randomState);
    }
    ApplySavedGame(saved);
}

void Game::ApplySavedGame(const SavedGame& saved) {
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
        loaded->PlaceAt(field.CellToScreen(field.Columns() / 2, field.Rows() + 2) -
                        TwVector(r, 2.0f * r, 0.0f));
        launcher_->SetLoaded(std::move(loaded));
    }
    field.SetNextBubble(field.NewBubbleOfColour(present(saved.nextBubble)));
    field.MapState = GameMap::kResume;
}

// ---------------------------------------------------------------------------------------
// The screen

bool Game::HandleInput(TwInputEvent& input) {
    // Escape (or the menu key) leaves a replay at any moment, its result dialog included.
    const bool escape =
        input.messageId == TwInputCodes::kKeyDown && input.key == TwInputCodes::kEscape;
    if (replay_ &&
        (escape || ControlBindings::Current().ActionOf(input) == ControlBindings::kMenu)) {
        SetPendingEvent(kMenuButton);
        MarkConsumed(input);
        return true;
    }
    if (IsPauseKey(input)) {
        if (paused_) {
            Resume();
        } else {
            Pause();
        }
        MarkConsumed(input);
        return true;
    }
    if (IsMenuKey(input)) {
        SetPendingEvent(kMenuButton);
        MarkConsumed(input);
        return true;
    }
    if (!IsStrayEscape(input) && TwEventListener::HandleInput(input)) {
        return true;
    }
    if (!replay_ && GameState::Get() == GameState::kPlaying && launcher_ && !paused_ &&
        IsLauncherTap(input)) {
        launcher_->Swap();
        MarkConsumed(input);
        return true;
    }
    if (replay_) {
        HandleReplayInput(input);
    } else if (GameState::Get() == GameState::kPlaying && launcher_ && !paused_) {
        keys_.HandleInput(*launcher_, input);
        launcher_->HandleInput(input);
    }
    MarkConsumed(input);
    return true;
}

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
    const bool recording = GameState::Get() == GameState::kPlaying && recorder_.Active();
    if (recording) {
        recorder_.Frame(elapsedMs);
    }
    RunFrame(elapsedMs);
    if (recording && launcher_) {
        recorder_.Aim(launcher_->Direction());
    }
}

void Game::RunFrame(int elapsedMs) {
    TwEventListener::Update(elapsedMs);
    if (paused_) {
        return; // only the pause panel moves
    }
    banks_->Scene().Update(elapsedMs);
    if (launcher_) {
        launcher_->Update(elapsedMs);
        if (GameState::Get() == GameState::kPlaying && !replay_) {
            keys_.Update(*launcher_, elapsedMs);
        }
    }
    if (launcher_ && launcher_->Flying()) {
        shotToSave_ = true;
    }
    if (GameState::Get() == GameState::kPlaying && field_) {
        playMs_ += elapsedMs;
    }
    const int before = GameState::Get();
    if (field_ && before != GameState::kLost && before != GameState::kCleared) {
        field_->Update(elapsedMs);
    }
    const int after = GameState::Get();
    const bool wasFinished =
        before == GameState::kNotPlaying || before == GameState::kCompleteShown;
    if (wasFinished && after != before) {
        // The field keeps moving under a result dialog (falling bubbles still burst), but a
        // game that has ended cannot end a second time.
        GameState::Set(before);
        return;
    }
    // A replayed level ends in the dialogs of a replay: watch again or leave.
    if (gameId_ == kPuzzle && !replay_ &&
        (after == GameState::kLost || after == GameState::kCleared)) {
        EndPuzzle(after == GameState::kCleared);
    } else if (after == GameState::kLost) {
        EndGame(kGameOverPanel, GameState::kNotPlaying);
    } else if (after == GameState::kCleared) {
        EndGame(kCompletePanel, GameState::kCompleteShown);
    } else if (shotToSave_ && ShotAtRest()) {
        // One small write per shot, never per frame.
        shotToSave_ = false;
        SaveGame();
        RecordStats(true, std::nullopt);
    }
}

bool Game::ShotAtRest() const {
    return GameState::Get() == GameState::kPlaying && field_ && launcher_ && !launcher_->Flying() &&
           field_->MapState == GameMap::kReady && !field_->RowPending &&
           field_->FallingList().empty();
}

void Game::EndGame(const char* panelName, int shownState) {
    // A replay ends as its game did, but enters no score and leaves the save slot alone.
    if (!replay_) {
        FinishRecording();
        RecordHighScore();
        RecordStats(shotToSave_, shownState == GameState::kCompleteShown);
        KeepLinkedRecordings();
        TwProfileStore& store = TwProfileStore::Instance();
        if (!owner_.empty()) {
            ReplayRecorder::EraseBeside(store.SavePathOf(owner_));
        }
        store.DeleteSavedGameOf(owner_);
        store.CheckSavedGameOf(owner_);
    }
    shotToSave_ = false;
    if (auto* panel = dynamic_cast<GameCompletePanel*>(GetPanel(panelName))) {
        // A Puzzle level has no bonus, as its own result dialog shows.
        panel->SetTargets(field_->Score, gameId_ == kPuzzle ? 0 : field_->TripleBonus);
        // Only a recorded game can be watched (a replay can be watched again).
        if (TwBaseGuiElemen* watch = panel->FindElement(
                panelName == std::string(kGameOverPanel) ? kGameOverWatch : kCompleteWatch)) {
            replay_ || !lastRecording_.empty() ? watch->Enable() : watch->Disable();
        }
        OpenPanel(panelName);
    }
    GameState::Set(shownState);
}

// The owner's statistics: the shot that came to rest, the end of the game (won or lost),
// and the whole seconds played since the last time, in one write.
void Game::RecordStats(bool shot, std::optional<bool> won) {
    if (!field_ || replay_) {
        return;
    }
    const int burst = field_->ShotBursts, dropped = field_->ShotDrops;
    const int seconds = playMs_ / 1000;
    playMs_ %= 1000;
    UpdatePlayerStats(owner_, [&](PlayerStats& stats) {
        if (shot) {
            stats.ShotDone(burst, dropped);
        }
        if (won) {
            stats.GameEnded(gameId_, *won, field_->Score);
        }
        stats.AddSeconds(seconds);
    });
}

void Game::EndPuzzle(bool cleared) {
    // The last shot and the time played count in the statistics like any game's.
    RecordStats(shotToSave_, cleared);
    shotToSave_ = false;
    FinishRecording();
    KeepLinkedRecordings();
    TwProfileStore& store = TwProfileStore::Instance();
    if (!owner_.empty()) {
        ReplayRecorder::EraseBeside(store.SavePathOf(owner_));
    }
    store.DeleteSavedGameOf(owner_);
    store.CheckSavedGameOf(owner_);
    const auto& puzzle = static_cast<const PuzzleMap&>(*field_);
    if (cleared && !owner_.empty() && store.IndexOf(owner_) >= 0) {
        PuzzleProgress progress;
        progress.Load(owner_);
        if (progress.RecordClear(puzzle.SetId(), puzzle.LevelNumber(), field_->Score)) {
            progress.Save();
        }
    }
    const char* panelName = cleared ? kPuzzlePanel : kPuzzleLostPanel;
    if (auto* panel = dynamic_cast<GameCompletePanel*>(GetPanel(panelName))) {
        panel->SetTargets(field_->Score, 0);
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
    GameState::Set(cleared ? GameState::kCompleteShown : GameState::kNotPlaying);
}

void Game::OnPuzzleEvent(const std::string& event) {
    const auto* puzzle = dynamic_cast<const PuzzleMap*>(field_.get());
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

void Game::RecordHighScore() {
    TwTop* table = TwHighScoreTable(gameId_);
    if (table == nullptr || !field_) {
        return;
    }
    TwTopRecord record;
    record.PlayerName = TwProfileStore::Instance().ActiveName();
    record.Scores = field_->Score;
    record.Replay = lastRecording_;
    record.Guided = recorder_.Guided();
    table->Add(record);
    table->Save();
}

void Game::Draw() {
    if (field_) {
        banks_->Scene().SetBackground(field_->Background());
        field_->Draw();
        DrawAimGuide();
        if (TwBitmapFont* digits = TwFontTable::Get(TwFontTable::Digits)) {
            if (printedScore_ != field_->Score) {
                printedScore_ = field_->Score;
                std::snprintf(scoreText_, sizeof scoreText_, "%i ", field_->Score);
            }
            digits->SetTint(255.0f, 255.0f, 255.0f, 255.0f);
            digits->DrawText(kScoreX, kScoreY, scoreText_, TwBitmapFont::AlignCentre);
        }
    }
    TwEventListener::Draw();
}

void Game::OnEvent() {
    const std::string event = PendingEvent();
    if (replay_ && (event == kMenuButton || event == kPauseMenuButton || event == kGameOverButton ||
                    event == kCompleteButton)) {
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
    } else if (event == kGameOverWatch || event == kCompleteWatch || event == kPuzzleWatch ||
               event == kPuzzleLostWatch) {
        RemoveTopPanel();
        WatchLastGame();
    } else if (event == kResumeButton) {
        Resume();
    } else if (event == kPauseMenuButton) {
        Resume();
        recorder_.Leave();
        SaveGame();
        RecordStats(false, std::nullopt);
        BackToMenu(true);
    } else if (event == kMenuButton) {
        // Only a game in progress is kept; a finished one has already left the slot.
        if (!IsFinished()) {
            recorder_.Leave();
            SaveGame();
            RecordStats(false, std::nullopt);
        }
        BackToMenu(true);
    } else if (event == kGameOverButton) {
        RemoveTopPanel();
        BackToMenu(false);
    } else if (event == kCompleteButton) {
        RemoveTopPanel();
        BackToMenu(true);
    } else if (event == kPuzzleNext || event == kPuzzleRetry || event == kPuzzleMenu ||
               event == kPuzzleLostRetry || event == kPuzzleLostMenu) {
        OnPuzzleEvent(event);
    }
    ClearEvent();
}

// The pause key (P, a controller's Start) pauses and resumes a game being played.
bool Game::IsPauseKey(const TwInputEvent& input) const {
    return GameState::Get() == GameState::kPlaying && field_ &&
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
    const TwVector rest = launcher_->RestPosition();
    const float dx = input.eventX - rest.x, dy = input.eventY - rest.y;
    return dx * dx + dy * dy <= kLauncherTapRadius * kLauncherTapRadius;
}

void Game::Pause() {
    if (paused_ || GameState::Get() != GameState::kPlaying || !field_) {
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
