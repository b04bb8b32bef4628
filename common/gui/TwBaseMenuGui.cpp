#include "gui/TwBaseMenuGui.h"

#include <utility>

#include "data/TwLanguage.h"
#include "gfx/TwClip.h"
#include "gfx/TwScreenSize.h"
#include "gui/TwButton.h"
#include "gui/TwDialogPanel.h"
#include "gui/TwProfileDlg.h"
#include "gui/TwScoreDlg.h"
#include "gui/TwTextDialogPanel.h"
#include "records/TwProfileStore.h"

namespace {

constexpr int kMessageFont = 0;

} // namespace

TwBaseMenuGui::TwBaseMenuGui() = default;
TwBaseMenuGui::~TwBaseMenuGui() = default;

TwPanel* TwBaseMenuGui::BuildQuestion(const std::string& name, const std::string& messageKey) {
    auto dialog = std::make_unique<TwDialogPanel>();
    dialog->Create("Interface/vSmlDialog");
    dialog->SetMessage(TwLanguage::Instance().GetText(messageKey));
    dialog->SetMessageFont(kMessageFont);
    return AddPanel(name, std::move(dialog));
}

void TwBaseMenuGui::BuildPlayerDialogs() {
    auto profiles = std::make_unique<TwProfileDlg>();
    profiles->Create("Interface/ProfileDlg");
    profiles->FillList();
    AddPanel(kProfileDialog, std::move(profiles));

    auto nameEntry = std::make_unique<TwTextDialogPanel>();
    nameEntry->Create("Interface/EditDialog");
    AddPanel(kNameDialog, std::move(nameEntry));

    TwPanel* deletePlayer = BuildQuestion(kDeletePlayerDialog, "ConfirmDeletePlayer");
    deletePlayer->AddButton("Interface/Yes", 25, 80, "DeletePlayerNameDlg.Ok",
                            TwPanel::kDefaultRole);
    deletePlayer->AddButton("Interface/No", 75, 80, "DeletePlayerNameDlg.Cancel",
                            TwPanel::kCancelRole);

    auto scores = std::make_unique<TwScoreDlg>();
    scores->Create("Interface/ScoreDlg");
    scores->SetCurrentTable(0);
    scores->SetStartTable(0);
    AddPanel(kScoreDialog, std::move(scores));

    TwPanel* clearScores = BuildQuestion(kClearScoresDialog, "ConfirmClearTable");
    clearScores->AddButton("Interface/BtnOk", 25, 80, "ConfirmScoreClearDlg.Ok",
                           TwPanel::kDefaultRole);
    clearScores->AddButton("Interface/BtnCancel", 75, 80, "ConfirmScoreClearDlg.Cancel",
                           TwPanel::kCancelRole);
}

TwPanel* TwBaseMenuGui::BuildMainMenu() {
    auto window = std::make_unique<TwPanel>();
    window->Create("MainMenu");
    TwPanel* menu = AddPanel(kMainMenu, std::move(window));

    welcomeButton_ = menu->AddButton("Interface/ChangeProfileTr", 76, 21, "MainMenuDlg.Profile",
                                     TwPanel::kPlainRole);
    welcomeBuilt_ = false; // a new button has no caption yet
    TwButton* change = menu->AddButton("Interface/ChangeProfileTr", 76, 25, "MainMenuDlg.Profile",
                                       TwPanel::kPlainRole);
    change->SetCaption(TwLanguage::Instance().GetText("ChangePlayer"), 1);
    static const std::pair<const char*, const char*> kButtons[] = {
        {"MainMenuDlg.Continue", "Interface/Continue"},
        {"MainMenuDlg.Options", "Interface/Options"},
        {"MainMenuDlg.Help", "Interface/Help"},
        {"MainMenuDlg.Score", "Interface/Score"},
        {"MainMenuDlg.Exit", "Interface/Exit"}};
    for (const auto& [name, image] : kButtons) {
        menu->AddButton(image, 0, 0, name, TwPanel::kPlainRole);
    }

    // The grass sits on the bottom-left corner of the screen; it is scenery and never fires.
    auto grass = std::make_unique<TwBaseGuiElemen>();
    grass->Load("MenuGrass");
    if (const TwClip* clip = grass->Clip()) {
        const float height = static_cast<float>(TwScreenSize::Instance().height);
        const int halfW = clip->Width() / 2, halfH = clip->CellHeight() / 2; // whole pixels
        grass->SetPosition(
            TwVector{static_cast<float>(halfW), height - static_cast<float>(halfH), 0.0f});
    }
    menu->AddElement("Null", std::move(grass));
    return menu;
}

void TwBaseMenuGui::UpdateWelcomeCaption() {
    if (welcomeButton_ == nullptr) {
        return;
    }
    TwLanguage& language = TwLanguage::Instance();
    const std::string_view name = TwProfileStore::Instance().ActiveNameView();
    if (welcomeBuilt_ && welcomeLanguage_ == language.Generation() && welcomeName_ == name) {
        return;
    }
    welcomeBuilt_ = true;
    welcomeLanguage_ = language.Generation();
    welcomeName_ = name;
    welcomeButton_->SetCaption(language.GetText("Welcome") + " " + welcomeName_, 1);
}

void TwBaseMenuGui::CloseOrForceName(const std::string& panelName) {
    if (TwProfileStore::Instance().IsEmpty()) {
        RemoveTopPanel();
        OpenPanel(kNameDialog);
    } else {
        ClosePanel(panelName);
    }
}

TwProfileDlg* TwBaseMenuGui::ProfileDialog() const {
    return dynamic_cast<TwProfileDlg*>(GetPanel(kProfileDialog));
}

TwScoreDlg* TwBaseMenuGui::ScoreDialog() const {
    return dynamic_cast<TwScoreDlg*>(GetPanel(kScoreDialog));
}

TwTextDialogPanel* TwBaseMenuGui::NameDialog() const {
    return dynamic_cast<TwTextDialogPanel*>(GetPanel(kNameDialog));
}
