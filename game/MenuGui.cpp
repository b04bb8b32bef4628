#include "MenuGui.h"

#include <algorithm>
#include <cmath>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "BubbleDestroy.h"
#include "GameControl.h"
#include "GameSound.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gfx/TwClip.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwScreenSize.h"
#include "gui/TwButton.h"
#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwDialogPanel.h"
#include "gui/TwEventRouter.h"
#include "gui/TwHelpDialog.h"
#include "gui/TwInputEvent.h"
#include "gui/TwParagraph.h"
#include "gui/TwProfileDlg.h"
#include "gui/TwScoreDlg.h"
#include "gui/TwSlider.h"
#include "gui/TwTextDialogPanel.h"
#include "platform/TwRand.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

namespace {

constexpr int kClassic = 0;
constexpr int kArcade = 1;

// The decorative launcher: where the bubbles sit and leave relative to its centre, the
// frame that shows a whole bubble, and how fast and how long fired bubbles fly.
constexpr float kMuzzleDistance = 43.0f;
constexpr float kLoadedDistance = 32.0f;
constexpr float kWaitingDistance = 6.0f;
constexpr int kWholeBubbleFrame = 8;
constexpr float kMoveScale = 0.1f;
constexpr int kMinLifeMs = 400;
constexpr int kLifeSpreadMs = 201;
constexpr float kPopDepth = 16.0f;

constexpr int kMessageFont = 0;

TwVector Normalised(const TwVector& v) {
    const float length = v.Length();
    return length > 0.0f ? v / length : v;
}

bool OffScreen(const TwVector& p) {
    const TwScreenSize& screen = TwScreenSize::Instance();
    return p.x < 0.0f || p.y < 0.0f || p.x > static_cast<float>(screen.width) ||
           p.y > static_cast<float>(screen.height);
}

} // namespace

MenuGui::MenuGui() = default;
MenuGui::~MenuGui() = default;

// ---------------------------------------------------------------------------------------
// Building

void MenuGui::BuildMenuDialogs() {
    TwPanel* start = BuildQuestion(kStartQuestion, "ConrirmStart");
    start->AddButton("Interface/StartNew", 80, 80, "ConfirmGameDlg.Ok", TwPanel::kPlainRole);
    start->AddButton("Interface/Continue", 20, 80, "ConfirmGameDlg.Continue", TwPanel::kPlainRole);

    BuildOptionsDialog();

    TwPanel* difficulty = BuildQuestion(kDifficultyQuestion, "DifficultChange");
    difficulty->AddButton("Interface/Yes", 20, 80, "DiffChangeDlg.Ok", TwPanel::kPlainRole);
    difficulty->AddButton("Interface/No", 80, 80, "DiffChangeDlg.Cancel", TwPanel::kCancelRole);

    BuildHelpDialog();
    BuildCreditsDialog();
    AddModeButtons();
    BuildLauncher();
    OpenPanel(kMainMenu);
}

void MenuGui::BuildOptionsDialog() {
    const TwSysConfig& config = TwSysConfig::Instance();
    auto options = std::make_unique<TwDialogPanel>();
    options->Create("Interface/OptionsDlg");
    options->AddButton("Interface/BtnOk", 50, 90, "OptionsDlg.Ok", TwPanel::kCancelRole);

    auto makeSlider = [](float y, int value) {
        auto slider = std::make_unique<TwSlider>();
        slider->Create("Interface/Slider", "Interface/SliderThumb", 0, 255, 15);
        slider->SetCaption("", 1);
        slider->SetCaptionAlign(0);
        slider->SetPosition(TwVector{400.0f, y, 0.0f});
        slider->SetValue(value);
        return slider;
    };
    options->AddElement("OptionsDlg.SoundSlider", makeSlider(226.0f, config.SoundVolume));
    options->AddElement("OptionsDlg.MusicSlider", makeSlider(285.0f, config.MusicVolume));

    // The box is ticked for full screen.
    auto fullScreen = std::make_unique<TwCheckBox>();
    fullScreen->Load("Interface/CheckBox");
    fullScreen->SetCaption("", 1);
    fullScreen->SetCaptionAlign(0);
    fullScreen->SetPosition(TwVector{410.0f, 325.0f, 0.0f});
    fullScreen->SetChecked(!config.Windowed);
    options->AddElement("OptionsDlg.WindowedCheckBox", std::move(fullScreen));

    auto levels = std::make_unique<TwCheckBoxGroup>("OptionsDlg.Difficult");
    static const char* const kLevels[] = {"OptionsDlg.Easy", "OptionsDlg.Normal",
                                          "OptionsDlg.Hard"};
    levels->AddCheckBox(kLevels[0], "", 1, 276.0f, 405.0f);
    levels->AddCheckBox(kLevels[1], "", 1, 410.0f, 405.0f);
    levels->AddCheckBox(kLevels[2], "", 1, 540.0f, 405.0f);
    levels->Check(kLevels[std::clamp(config.DifficultLevel, 0, 2)]);
    options->AddElement("OptionsDlg.Difficult", std::move(levels));

    AddPanel(kOptionsDialog, std::move(options));
}

void MenuGui::BuildHelpDialog() {
    auto help = std::make_unique<TwHelpDialog>();
    help->Create("Help");
    auto back = std::make_unique<TwButton>();
    back->Load("Interface/Menu");
    help->PlaceElement(77, 93, back.get());
    help->AddCancelButton("HelpBackToMenu", std::move(back));
    help->AddButton("Interface/Credits", 28, 93, "Help.Credits", TwPanel::kPlainRole);
    TwHelpDialog* dialog = AddPanel(kHelpDialog, std::move(help));

    // The help texts (the two modes and the rules) in the player's language.
    static const std::pair<float, const char*> kBlocks[] = {
        {50.0f, "HelpRelaxMode"}, {65.0f, "HelpTimeMode"}, {23.0f, "HelpRules"}};
    for (const auto& [y, key] : kBlocks) {
        auto paragraph = std::make_unique<TwParagraph>();
        paragraph->SetFont(kMessageFont);
        paragraph->SetColour(TwGuiColour{255.0f, 255.0f, 255.0f, 255.0f});
        paragraph->SetAlign(2);
        paragraph->SetText(TwLanguage::Instance().GetText(key));
        paragraph->SetPosition(dialog->PointInPanel(5.0f, y));
        dialog->AddParagraph(std::move(paragraph));
    }
    dialog->AfterCreate();
}

void MenuGui::BuildCreditsDialog() {
    auto credits = std::make_unique<TwDialogPanel>();
    credits->Create("Interface/CreditsDlg");
    credits->AddButton("Interface/BtnOk", 50, 90, "CreditsDlg.Ok", TwPanel::kCancelRole);
    AddPanel(kCreditsDialog, std::move(credits));
}

// The mode buttons go in the middle of the main menu and the rest of its buttons move to
// their places around them.
void MenuGui::AddModeButtons() {
    TwPanel* menu = GetPanel(kMainMenu);
    if (menu == nullptr) {
        return;
    }
    menu->AddButton("Interface/ClassicGame", 20, 34, "MainMenuDlg.Classic", TwPanel::kPlainRole);
    menu->AddButton("Interface/ArcadeGame", 21, 44, "MainMenuDlg.Arcade", TwPanel::kPlainRole);
    menu->PlaceElementByName(19, 25, "MainMenuDlg.Continue");
    menu->PlaceElementByName(21.5f, 53.5f, "MainMenuDlg.Options");
    menu->PlaceElementByName(18, 64, "MainMenuDlg.Help");
    menu->PlaceElementByName(18, 72, "MainMenuDlg.Score");
    menu->PlaceElementByName(22, 82, "MainMenuDlg.Exit");
}

void MenuGui::BuildLauncher() {
    launcher_ = std::make_unique<TwClip>();
    launcher_->SetImage("ZorbitMenu");
    launcher_->SetAnimation(1, 0, 1, 1);
    launcher_->SetPosition(kLauncherX, kLauncherY, 0.0f);
}

// ---------------------------------------------------------------------------------------
// Events

const std::vector<MenuGui::EventEntry>& MenuGui::EventTable() {
    static const std::vector<EventEntry> table = {
        {"MainMenuDlg.Continue", &MenuGui::ContinueGame},
        {"MainMenuDlg.Classic", &MenuGui::OnClassic},
        {"MainMenuDlg.Arcade", &MenuGui::OnArcade},
        {"ConfirmGameDlg.Ok", &MenuGui::OnStartConfirmed},
        {"ConfirmGameDlg.Continue", &MenuGui::OnContinueInstead},
        {"MainMenuDlg.Help", &MenuGui::OnHelp},
        {"MainMenuDlg.Score", &MenuGui::OnScore},
        {"MainMenuDlg.Exit", &MenuGui::OnExit},
        {"HelpBackToMenu", &MenuGui::OnHelpBack},
        {"Help.Credits", &MenuGui::OnCredits},
        {"CreditsDlg.Ok", &MenuGui::OnCreditsOk},
        {"MainMenuDlg.Options", &MenuGui::OnOptions},
        {"OptionsDlg.WindowedCheckBox", &MenuGui::OnWindowedBox},
        {"OptionsDlg.Ok", &MenuGui::OnOptionsOk},
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
    };
    return table;
}

void MenuGui::OnEvent() {
    if (!pendingEvent_.empty()) {
        for (const EventEntry& entry : EventTable()) {
            if (pendingEvent_ == entry.name) {
                (this->*entry.handler)();
                break;
            }
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

void MenuGui::StartNewGame(int mode, bool freshField) {
    if (game_ == nullptr) {
        return;
    }
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwGamePlayList);
    sound.ResumeMusic();
    if (freshField || !game_->HasField() || game_->GetGameID() != mode) {
        mode == kArcade ? game_->StartArcade() : game_->StartClassic();
    }
    game_->NewGame();
    EnterGame();
}

// A game under way or a saved game is not thrown away without asking.
void MenuGui::AskOrStart(int mode) {
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
    StartNewGame(game_->RememberedMode() == kArcade ? kArcade : kClassic, true);
}

void MenuGui::OnContinueInstead() {
    RemoveTopPanel();
    ContinueGame();
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

// ---------------------------------------------------------------------------------------
// The decorative launcher

BubbleBanks* MenuGui::Banks() const {
    return game_ != nullptr ? game_->Banks() : nullptr;
}

std::unique_ptr<BaseBubble> MenuGui::RandomBubble() const {
    const BubbleBanks* banks = Banks();
    if (banks == nullptr) {
        return nullptr;
    }
    std::vector<int> colours;
    for (int colour = 0; colour < BubbleBanks::kColours; ++colour) {
        if (banks->BubblePrototype(colour) != nullptr) {
            colours.push_back(colour);
        }
    }
    if (colours.empty()) {
        return nullptr;
    }
    const int pick = colours[static_cast<std::size_t>(TwRand()) % colours.size()];
    return banks->NewBubble(pick);
}

void MenuGui::RefillLauncher() {
    if (!currentBubble_) {
        currentBubble_ = RandomBubble();
    }
    if (!nextBubble_) {
        nextBubble_ = RandomBubble();
    }
}

bool MenuGui::HandleInput(TwInputEvent& input) {
    aim_ = Normalised(TwVector{input.eventX, input.eventY, 0.0f} - LauncherPosition());
    if (input.button == TwInputEvent::kRightReleased && currentBubble_ && nextBubble_ &&
        currentBubble_->Colour() != nextBubble_->Colour()) {
        std::swap(currentBubble_, nextBubble_);
        GameSound::Play(GameSound::kSwap);
    }
    const bool fired = input.button == TwInputEvent::kLeftReleased;
    const bool handled = TwEventListener::HandleInput(input);
    if (!handled && fired) {
        Fire();
    }
    return handled;
}

void MenuGui::Fire() {
    RefillLauncher();
    if (!currentBubble_) {
        return;
    }
    const float speed = static_cast<float>(TwRand()) / 32767.0f * 6.0f + 6.0f;
    FlyingBubble shot;
    shot.bubble = std::move(currentBubble_);
    shot.bubble->PlaceAt(LauncherPosition() + aim_ * kMuzzleDistance);
    shot.bubble->SetVelocity(aim_ * speed);
    shot.bubble->SetFrame(kWholeBubbleFrame);
    shot.lifeMs = kMinLifeMs + TwRand() % kLifeSpreadMs;
    flyingBubbles_.push_back(std::move(shot));
    currentBubble_ = std::move(nextBubble_);
    nextBubble_ = RandomBubble();
}

// A fired bubble bursts where it is when its time is up or it leaves the screen.
void MenuGui::Pop(const BaseBubble& bubble) {
    const BubbleBanks* banks = Banks();
    std::unique_ptr<BubbleDestroy> burst = banks ? banks->NewBurst(bubble.Colour()) : nullptr;
    if (!burst) {
        return;
    }
    const TwVector where = bubble.Position();
    burst->SetPosition(where.x, where.y, kPopDepth);
    burst->emitPosition = TwVector{where.x, where.y, kPopDepth};
    burst->Emit(TwRand() % 7 + 2);
    poppingBubbles_.push_back(std::move(burst));
    GameSound::Play(GameSound::kBallDelete);
}

void MenuGui::MoveFlyingBubbles(int elapsedMs) {
    for (FlyingBubble& shot : flyingBubbles_) {
        BaseBubble& bubble = *shot.bubble;
        bubble.PlaceAt(bubble.Position() +
                       bubble.Velocity() * (kMoveScale * static_cast<float>(elapsedMs)));
        shot.lifeMs -= elapsedMs;
    }
    std::vector<FlyingBubble> stillFlying;
    for (FlyingBubble& shot : flyingBubbles_) {
        if (shot.lifeMs <= 0 || OffScreen(shot.bubble->Position())) {
            Pop(*shot.bubble);
        } else {
            stillFlying.push_back(std::move(shot));
        }
    }
    flyingBubbles_ = std::move(stillFlying);
}

void MenuGui::Update(int elapsedMs) {
    TwEventListener::Update(elapsedMs);
    MoveFlyingBubbles(elapsedMs);
    for (auto& pop : poppingBubbles_) {
        pop->Update(elapsedMs);
    }
    std::erase_if(poppingBubbles_, [](const auto& pop) { return pop->state == TwClip::Finished; });
}

void MenuGui::Draw() {
    if (welcomeButton_ != nullptr) {
        welcomeButton_->SetCaption(TwLanguage::Instance().GetText("Welcome") + " " +
                                       TwProfileStore::Instance().ActiveName(),
                                   1);
    }
    TwEventListener::Draw();

    aim_ = Normalised(aim_);
    if (launcher_) {
        const float turn = std::acos(std::clamp(-aim_.y, -1.0f, 1.0f));
        launcher_->rotation = aim_.x > 0.0f ? -turn : turn;
    }
    RefillLauncher();
    if (nextBubble_) {
        nextBubble_->SetFrame(kWholeBubbleFrame);
        nextBubble_->PlaceAt(LauncherPosition() - aim_ * kWaitingDistance);
        nextBubble_->Draw();
    }
    if (launcher_) {
        launcher_->Draw();
    }
    if (currentBubble_) {
        currentBubble_->SetFrame(kWholeBubbleFrame);
        currentBubble_->PlaceAt(LauncherPosition() + aim_ * kLoadedDistance);
        currentBubble_->Draw();
    }
    for (const FlyingBubble& shot : flyingBubbles_) {
        shot.bubble->Draw();
    }
    for (const auto& pop : poppingBubbles_) {
        pop->Draw();
    }
}
