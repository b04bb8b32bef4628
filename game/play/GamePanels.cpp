#include "GamePanels.h"

#include "GameCompletePanel.h"
#include "gfx/TwFontTable.h"
#include "gui/TwPanel.h"

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

std::unique_ptr<GameCompletePanel> ScorePanel(const std::string& picture) {
    auto panel = std::make_unique<GameCompletePanel>();
    panel->SetTitleFont(TwFontTable::MainFont);
    panel->SetMessageFont(TwFontTable::Digits);
    panel->Create(picture);
    return panel;
}

} // namespace

namespace GamePanels {

std::unique_ptr<TwPanel> MenuButton(const std::string& buttonName) {
    auto menu = std::make_unique<TwPanel>();
    // No picture: the button is placed in screen percentages.
    menu->AddButton("Interface/Menu", kMenuButtonX, kMenuButtonY, buttonName, TwPanel::kCancelRole);
    menu->SetKeyboardNavigation(false); // the arrows, Space and Enter steer the launcher
    return menu;
}

std::unique_ptr<GameCompletePanel> Result(const std::string& picture, const std::string& buttonName,
                                          const std::string& watchName) {
    auto panel = ScorePanel(picture);
    // Escape leaves the result as its one button does.
    panel->AddButton("Interface/BtnOk", kResultButtonX, kResultButtonY, buttonName,
                     TwPanel::kCancelRole);
    // Watch the game just played again.
    panel->AddButton("Interface/Watch", kWatchButtonX, kResultButtonY, watchName,
                     TwPanel::kPlainRole);
    return panel;
}

std::unique_ptr<TwPanel> Pause(const std::string& resumeName, const std::string& menuName) {
    auto panel = std::make_unique<TwPanel>();
    panel->Create("Interface/PauseDlg");
    panel->AddButton("Interface/Resume", 30, 70, resumeName, TwPanel::kCancelRole);
    panel->AddButton("Interface/BtnMenu", 70, 70, menuName, TwPanel::kPlainRole);
    return panel;
}

std::unique_ptr<GameCompletePanel>
PuzzleResult(const std::string& picture, const std::string& watchName,
             const std::vector<std::pair<std::string, std::string>>& buttons) {
    auto panel = ScorePanel(picture);
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

} // namespace GamePanels
