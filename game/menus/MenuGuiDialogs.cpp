// The menu screen's dialogs: options, help, credits and the start and difficulty
// questions, built once when the menu is loaded, and the mode buttons of the main menu.
#include <algorithm>

#include "ControlsHelp.h"
#include "ControlsPanel.h"
#include "MenuGui.h"
#include "StatsPanel.h"
#include "data/TwLanguage.h"
#include "data/TwSysConfig.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwButton.h"
#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwDialogPanel.h"
#include "gui/TwHelpDialog.h"
#include "gui/TwLabelledCheckBox.h"
#include "gui/TwParagraph.h"
#include "gui/TwSlider.h"
#include "records/TwProfileStore.h"

namespace {
constexpr int kMessageFont = 0;
// The help page's text areas leave this many pixels for a line.
constexpr int kHelpLineWidth = 690;
// The aim guide's box: left of the full-screen box, on its row, its name to its right.
constexpr float kAimGuideBoxX = 196.0f;
constexpr float kAimGuideBoxY = 325.0f;
} // namespace

void MenuGui::BuildMenuDialogs() {
    TwPanel* start = BuildQuestion(kStartQuestion, "ConrirmStart");
    start->AddButton("Interface/StartNew", 80, 80, "ConfirmGameDlg.Ok", TwPanel::kPlainRole);
    start->AddButton("Interface/Continue", 20, 80, "ConfirmGameDlg.Continue", TwPanel::kPlainRole);
    start->SetEscapeEvent(kStartQuestionEscape);

    BuildOptionsDialog();
    BuildControlsDialog();
    BuildStatsDialog();

    TwPanel* difficulty = BuildQuestion(kDifficultyQuestion, "DifficultChange");
    difficulty->AddButton("Interface/Yes", 20, 80, "DiffChangeDlg.Ok", TwPanel::kPlainRole);
    difficulty->AddButton("Interface/No", 80, 80, "DiffChangeDlg.Cancel", TwPanel::kCancelRole);

    BuildHelpDialog();
    BuildCreditsDialog();
    BuildLevelSelect();
    AddModeButtons();
    BuildLauncher();
    OpenPanel(kMainMenu);
}

void MenuGui::BuildOptionsDialog() {
    const TwSysConfig& config = TwSysConfig::Instance();
    auto options = std::make_unique<TwDialogPanel>();
    options->Create("Interface/OptionsDlg");
    options->AddButton("Interface/BtnOk", 50, 93.27f, "OptionsDlg.Ok", TwPanel::kCancelRole);
    options->AddButton("Interface/Controls", 50, 25.76f, "OptionsDlg.Controls",
                       TwPanel::kPlainRole);

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

    // The aim guide, its name written beside the box in the player's language.
    auto aimGuide = std::make_unique<TwLabelledCheckBox>();
    aimGuide->Load("Interface/CheckBox");
    aimGuide->SetLabel(TwLanguage::Instance().GetText("AimGuide"));
    aimGuide->SetPosition(TwVector{kAimGuideBoxX, kAimGuideBoxY, 0.0f});
    aimGuide->SetChecked(config.AimGuide);
    options->AddElement("OptionsDlg.AimGuideCheckBox", std::move(aimGuide));

    auto levels = std::make_unique<TwCheckBoxGroup>("OptionsDlg.Difficult");
    static const char* const kLevels[] = {"OptionsDlg.Easy", "OptionsDlg.Normal",
                                          "OptionsDlg.Hard"};
    levels->AddCheckBox(kLevels[0], "", 1, 276.0f, 405.0f);
    levels->AddCheckBox(kLevels[1], "", 1, 410.0f, 405.0f);
    levels->AddCheckBox(kLevels[2], "", 1, 540.0f, 405.0f);
    levels->Check(kLevels[std::clamp(config.DifficultLevel, 0, 2)]);
    options->AddElement("OptionsDlg.Difficult", std::move(levels));
    AddLanguageChoice(*options);

    AddPanel(kOptionsDialog, std::move(options));
}

void MenuGui::BuildControlsDialog() {
    auto controls = std::make_unique<ControlsPanel>();
    controls->Build();
    ControlsPanel* panel = AddPanel(ControlsPanel::kName, std::move(controls));
    eventTakers_.push_back([panel](const std::string& name) { return panel->TakeEvent(name); });
}

// The statistics of the player chosen in the player list, from a button in its corner.
void MenuGui::BuildStatsDialog() {
    auto stats = std::make_unique<StatsPanel>();
    stats->Build();
    StatsPanel* panel = AddPanel(StatsPanel::kName, std::move(stats));
    TwPanel* question = BuildQuestion(StatsPanel::kQuestion, "ConfirmClearStats");
    question->AddButton("Interface/Yes", 25, 80, StatsPanel::kClearConfirmed, TwPanel::kPlainRole);
    question->AddButton("Interface/No", 75, 80, StatsPanel::kClearRefused, TwPanel::kCancelRole);
    if (TwPanel* players = GetPanel(kProfileDialog)) {
        players->AddButton("Interface/StatsBtn", 17.5f, 92, kStatsButton, TwPanel::kPlainRole);
    }
    eventTakers_.push_back([this, panel](const std::string& name) {
        if (name != kStatsButton) {
            return panel->TakeEvent(name);
        }
        panel->ShowPlayer(TwProfileStore::Instance().ActiveName());
        OpenPanel(StatsPanel::kName);
        return true;
    });
}

void MenuGui::OnControls() {
    OpenPanel(ControlsPanel::kName);
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

    // The help texts (the two modes, the rules and the controls) in the player's language;
    // the controls' lines are written when the help opens, with the keys in force.
    static const std::pair<float, const char*> kBlocks[] = {
        {43.4f, "HelpRelaxMode"}, {53.2f, "HelpTimeMode"}, {23.0f, "HelpRules"}, {64.6f, nullptr}};
    for (const auto& [y, key] : kBlocks) {
        auto paragraph = std::make_unique<TwParagraph>();
        paragraph->SetFont(kMessageFont);
        paragraph->SetColour(TwGuiColour{255.0f, 255.0f, 255.0f, 255.0f});
        paragraph->SetAlign(2);
        if (key != nullptr) {
            paragraph->SetText(TwLanguage::Instance().GetText(key));
        } else {
            helpControls_ = paragraph.get();
        }
        paragraph->SetPosition(dialog->PointInPanel(5.0f, y));
        dialog->AddParagraph(std::move(paragraph));
    }
    dialog->AfterCreate();
}

void MenuGui::OnHelp() {
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (helpControls_ != nullptr && font != nullptr) {
        helpControls_->SetText(ControlsHelpText(ControlBindings::Current(), *font, kHelpLineWidth));
    }
    OpenPanel(kHelpDialog);
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
    menu->AddButton("Interface/ClassicGame", 20, 32, "MainMenuDlg.Classic", TwPanel::kPlainRole);
    menu->AddButton("Interface/ArcadeGame", 21, 40.5f, "MainMenuDlg.Arcade", TwPanel::kPlainRole);
    menu->AddButton("Interface/PuzzleGame", 21.5f, 49, "MainMenuDlg.Puzzle", TwPanel::kPlainRole);
    menu->PlaceElementByName(19, 23.5f, "MainMenuDlg.Continue");
    menu->PlaceElementByName(21.5f, 57.5f, "MainMenuDlg.Options");
    menu->PlaceElementByName(18, 66, "MainMenuDlg.Help");
    menu->PlaceElementByName(18, 74.5f, "MainMenuDlg.Score");
    menu->PlaceElementByName(22, 83, "MainMenuDlg.Exit");
}

void MenuGui::BuildLauncher() {
    launcher_ = std::make_unique<TwClip>();
    launcher_->SetImage("ZorbitMenu");
    launcher_->SetAnimation(1, 0, 1, 1);
    launcher_->SetPosition(kLauncherX, kLauncherY, 0.0f);
}
