// The menu screen's events: one handler a named event the dialogs raise, starting and
// continuing games, options, difficulty and players. The dialogs are built in
// MenuGuiDialogs.cpp, the decorative launcher lives in MenuGuiLauncher.cpp.
#include "MenuGui.h"

#include "BaseBubble.h"
#include "BubbleDestroy.h"
#include "GameControl.h"
#include "PlayerFiles.h"
#include "ReplayRecorder.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwSysConfig.h"
#include "gfx/TwRenderDevice.h"
#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwEventRouter.h"
#include "gui/TwProfileDlg.h"
#include "gui/TwScoreDlg.h"
#include "gui/TwTextDialogPanel.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

MenuGui::MenuGui() = default;
MenuGui::~MenuGui() = default;

const std::vector<MenuGui::EventEntry>& MenuGui::EventTable() {
    static const std::vector<EventEntry> table = {
        {"MainMenuDlg.Continue", &MenuGui::ContinueGame},
        {"MainMenuDlg.Classic", &MenuGui::OnClassic},
        {"MainMenuDlg.Arcade", &MenuGui::OnArcade},
        {"MainMenuDlg.Puzzle", &MenuGui::OnPuzzle},
        {"LevelSelectDlg.Level", &MenuGui::OnLevelChosen},
        {"LevelSelectDlg.Prev", &MenuGui::OnLevelPagePrev},
        {"LevelSelectDlg.Next", &MenuGui::OnLevelPageNext},
        {"LevelSelectDlg.Back", &MenuGui::OnLevelSelectBack},
        {"ConfirmGameDlg.Ok", &MenuGui::OnStartConfirmed},
        {"ConfirmGameDlg.Continue", &MenuGui::OnContinueInstead},
        {kStartQuestionEscape, &MenuGui::OnStartQuestionEscape},
        {"MainMenuDlg.Help", &MenuGui::OnHelp},
        {"MainMenuDlg.Score", &MenuGui::OnScore},
        {"MainMenuDlg.Exit", &MenuGui::OnExit},
        {"HelpBackToMenu", &MenuGui::OnHelpBack},
        {"Help.Credits", &MenuGui::OnCredits},
        {"CreditsDlg.Ok", &MenuGui::OnCreditsOk},
        {"MainMenuDlg.Options", &MenuGui::OnOptions},
        {"OptionsDlg.WindowedCheckBox", &MenuGui::OnWindowedBox},
        {"OptionsDlg.AimGuideCheckBox", &MenuGui::OnAimGuideBox},
        {"OptionsDlg.Language", &MenuGui::OnLanguageChoice},
        {"OptionsDlg.Ok", &MenuGui::OnOptionsOk},
        {"OptionsDlg.Controls", &MenuGui::OnControls},
        {"OptionsDlg.SoundSlider", &MenuGui::OnSoundSlider},
        {"OptionsDlg.MusicSlider", &MenuGui::OnMusicSlider},
        {"OptionsDlg.Easy", &MenuGui::OnEasy},
        {"OptionsDlg.Normal", &MenuGui::OnNormal},
        {"OptionsDlg.Hard", &MenuGui::OnHard},
        {"DiffChangeDlg.Ok", &MenuGui::OnDifficultyConfirmed},
        {"DiffChangeDlg.Cancel", &MenuGui::OnDifficultyRefused},
        {"MainMenuDlg.Profile", &MenuGui::OnProfile},
        {"ProfileDlg.Ok", &MenuGui::OnProfileOk},
        {"ProfileDlg.Add", &MenuGui::OnAddPlayer},
        {"PlayerNameDlg.Ok", &MenuGui::OnNameEntered},
        {"PlayerNameDlg.Cancel", &MenuGui::OnNameCancelled},
        {"ProfileDlg.Delete", &MenuGui::OnDeletePlayer},
        {"DeletePlayerNameDlg.Ok", &MenuGui::OnDeleteConfirmed},
        {"DeletePlayerNameDlg.Cancel", &MenuGui::OnDeleteRefused},
        {"ScoreDlg.Back", &MenuGui::OnScoreBack},
        {"ScoreDlg.Clear", &MenuGui::OnScoreClear},
        {"ConfirmScoreClearDlg.Ok", &MenuGui::OnClearConfirmed},
        {"ConfirmScoreClearDlg.Cancel", &MenuGui::OnClearRefused},
        {"ScoreDlg.Next", &MenuGui::OnNextTable},
        {"ScoreDlg.Prev", &MenuGui::OnPrevTable},
        {TwScoreDlg::kWatchEvent, &MenuGui::OnWatchScore},
    };
    return table;
}

void MenuGui::OnEvent() {
    if (!pendingEvent_.empty()) {
        bool handled = false;
        for (const EventEntry& entry : EventTable()) {
            if (pendingEvent_ == entry.name) {
                (this->*entry.handler)();
                handled = true;
                break;
            }
        }
        for (auto taker = eventTakers_.begin(); !handled && taker != eventTakers_.end(); ++taker) {
            handled = (*taker)(pendingEvent_);
        }
    }
    ClearEvent();
}

void MenuGui::EnterGame() {
    if (router_ != nullptr) {
        router_->SwitchScreen(kGameScreen);
    }
}

void MenuGui::ContinueGame() {
    if (game_ == nullptr) {
        return;
    }
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwGamePlayList);
    sound.ResumeMusic();
    // A save that cannot be read leaves nothing to play unless a game is still under way.
    if (!game_->Restore() && game_->IsFinished()) {
        sound.SelectPlayList(kTwMenuPlayList);
        sound.ResumeMusic();
        return;
    }
    EnterGame();
}

void MenuGui::StartNewGame(GameMode mode, bool freshField) {
    if (game_ == nullptr) {
        return;
    }
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwGamePlayList);
    sound.ResumeMusic();
    if (freshField || !game_->HasField() || game_->Mode() != mode) {
        mode == GameMode::kArcade ? game_->StartArcade() : game_->StartClassic();
    }
    game_->NewGame();
    EnterGame();
}

// A game under way or a saved game is not thrown away without asking.
void MenuGui::AskOrStart(GameMode mode) {
    const bool underWay = game_ != nullptr && !game_->IsFinished();
    if (underWay || TwProfileStore::Instance().HasSavedGame()) {
        OpenPanel(kStartQuestion);
        if (game_ != nullptr) {
            game_->RememberMode(mode);
        }
        return;
    }
    StartNewGame(mode);
}

// The new game replaces the saved one, so the save is erased before play starts.
void MenuGui::OnStartConfirmed() {
    RemoveTopPanel();
    if (game_ == nullptr) {
        return;
    }
    if (TwProfileStore::Instance().HasSavedGame()) {
        game_->Abandon();
    }
    if (game_->RememberedMode() == GameMode::kPuzzle) {
        StartChosenLevel();
        return;
    }
    StartNewGame(game_->RememberedMode(), true);
}

void MenuGui::OnContinueInstead() {
    RemoveTopPanel();
    ContinueGame();
}

void MenuGui::OnStartQuestionEscape() {
    RemoveTopPanel();
}

void MenuGui::OnWatchScore() {
    const auto* dialog = dynamic_cast<const TwScoreDlg*>(GetPanel(kScoreDialog));
    TwTop* table = dialog != nullptr ? TwHighScoreTable(dialog->CurrentTable()) : nullptr;
    const int row = dialog != nullptr ? dialog->WatchedRow() : -1;
    if (game_ == nullptr || table == nullptr || row < 0 || row >= table->Count() ||
        table->At(row).Replay.empty()) {
        return;
    }
    // A game left for the menu was saved then; Continue brings it back after watching.
    if (!game_->IsFinished()) {
        game_->SaveGame();
        game_->Suspend();
    }
    if (game_->WatchRecording(
            TwUserPath(std::string(ReplayRecorder::kFolder) + table->At(row).Replay))) {
        EnterGame();
    }
}

void MenuGui::OnExit() {
    if (router_ != nullptr) {
        router_->RequestQuit();
    }
}

void MenuGui::OnHelpBack() {
    SetDrawAllPanels(false);
    ClosePanel(kHelpDialog);
}

// The credits are drawn over the help, which stays fully visible underneath.
void MenuGui::OnCredits() {
    SetDrawAllPanels(true);
    OpenPanel(kCreditsDialog);
}

void MenuGui::OnWindowedBox() {
    const auto* box = dynamic_cast<const TwCheckBox*>(eventSource_);
    if (box == nullptr) {
        return;
    }
    TwSysConfig& config = TwSysConfig::Instance();
    config.Windowed = !box->IsChecked();
    TwRenderDevice::Instance().Recreate();
    config.Save();
}

void MenuGui::OnAimGuideBox() {
    if (const auto* box = dynamic_cast<const TwCheckBox*>(eventSource_)) {
        TwSysConfig::Instance().AimGuide = box->IsChecked();
        TwSysConfig::Instance().Save();
    }
}

void MenuGui::OnOptionsOk() {
    ClosePanel(kOptionsDialog);
    TwSysConfig::Instance().Save();
}

void MenuGui::OnSoundSlider() {
    if (eventSource_ != nullptr) {
        TwSoundManager::Instance().MoveSoundSlider(eventSource_->GetValue());
    }
}

void MenuGui::OnMusicSlider() {
    if (eventSource_ != nullptr) {
        TwSoundManager::Instance().MoveMusicSlider(eventSource_->GetValue());
    }
}

// Without a saved game the new level applies at once; with one the player is asked first,
// because a saved game cannot change its difficulty.
void MenuGui::ChooseDifficulty(int level) {
    TwSysConfig::Instance().DifficultLevel = level;
    if (TwProfileStore::Instance().HasSavedGame()) {
        OpenPanel(kDifficultyQuestion);
    }
}

void MenuGui::OnDifficultyConfirmed() {
    if (game_ != nullptr) {
        game_->Abandon();
    } else {
        TwProfileStore& store = TwProfileStore::Instance();
        store.DeleteSavedGame();
        store.CheckSavedGame();
    }
    TwSysConfig::Instance().Save();
    ClosePanel(kDifficultyQuestion);
}

TwCheckBoxGroup* MenuGui::DifficultyGroup() const {
    TwPanel* options = GetPanel(kOptionsDialog);
    return options ? dynamic_cast<TwCheckBoxGroup*>(options->FindElement("OptionsDlg.Difficult"))
                   : nullptr;
}

void MenuGui::OnDifficultyRefused() {
    if (TwCheckBoxGroup* levels = DifficultyGroup()) {
        levels->RestorePrevious();
        if (levels->CheckedIndex() >= 0) {
            TwSysConfig::Instance().DifficultLevel = levels->CheckedIndex();
        }
    }
    ClosePanel(kDifficultyQuestion);
}

// A different player cannot continue the game left on the game screen.
void MenuGui::OnProfileOk() {
    ClosePanel(kProfileDialog);
    TwProfileStore& store = TwProfileStore::Instance();
    if (store.ActiveIndex() != store.PreviousActive()) {
        if (game_ != nullptr) {
            game_->Suspend();
        }
        store.SaveProfiles();
    }
}

void MenuGui::OnNameEntered() {
    // A name of spaces only would be a player nobody can see in the list.
    TwTextDialogPanel* entry = NameDialog();
    if (entry == nullptr || !TwTextDialogPanel::IsUsableName(entry->Text())) {
        return;
    }
    TwProfileStore& store = TwProfileStore::Instance();
    const TwProfileStore::AddResult result = store.TryAddProfile(entry->Text());
    if (result != TwProfileStore::AddResult::Refused) {
        TwProfileDlg* list = ProfileDialog();
        if (result == TwProfileStore::AddResult::Added && list != nullptr) {
            list->AddEntry(store.ActiveName(), store.ActiveIndex());
        }
        if (list != nullptr) {
            list->SelectEntry(store.ActiveName());
        }
        store.SaveProfiles();
        // A new player starts without a saved game; a player typed in again keeps theirs.
        if (game_ != nullptr) {
            result == TwProfileStore::AddResult::Added ? game_->Abandon() : game_->Suspend();
        }
    }
    ClosePanel(kNameDialog);
}

// The deleted player's game cannot be continued by whoever becomes active next.
void MenuGui::OnDeleteConfirmed() {
    TwProfileStore& store = TwProfileStore::Instance();
    ForgetPlayerFiles(store.ActiveName());
    store.DeleteActiveProfile();
    store.SaveProfiles();
    if (game_ != nullptr) {
        game_->Suspend();
    }
    if (TwProfileDlg* list = ProfileDialog()) {
        list->ClearList();
        list->FillList();
        list->SelectEntry(store.ActiveName());
    }
    CloseOrForceName(kDeletePlayerDialog);
}

void MenuGui::OnClearConfirmed() {
    if (TwScoreDlg* scores = ScoreDialog()) {
        if (TwTop* table = TwHighScoreTable(scores->CurrentTable())) {
            table->Clear();
        }
    }
    ClosePanel(kClearScoresDialog);
}

void MenuGui::OnNextTable() {
    if (TwScoreDlg* scores = ScoreDialog()) {
        scores->NextTable();
    }
}

void MenuGui::OnPrevTable() {
    if (TwScoreDlg* scores = ScoreDialog()) {
        scores->PrevTable();
    }
}
