#pragma once
#include <memory>
#include <string>
#include <utility>
#include <vector>

class GameCompletePanel;
class TwPanel;

// The panels of the game screen, built from their pictures: the menu button, the pause
// panel, and the result dialogs of Classic and Arcade games and of Puzzle levels.
namespace GamePanels {

// The menu button alone, in the top-right corner (Escape presses it).
std::unique_ptr<TwPanel> MenuButton(const std::string& buttonName);
// A result dialog: the counted-up score, OK (Escape presses it too) and Watch.
std::unique_ptr<GameCompletePanel> Result(const std::string& picture, const std::string& buttonName,
                                          const std::string& watchName);
// Resume (Escape presses it too) on the left, back to the menu on the right.
std::unique_ptr<TwPanel> Pause(const std::string& resumeName, const std::string& menuName);
// A Puzzle result dialog: the counted-up score, a row of buttons (picture, name) along its
// foot and Watch under its title.
std::unique_ptr<GameCompletePanel>
PuzzleResult(const std::string& picture, const std::string& watchName,
             const std::vector<std::pair<std::string, std::string>>& buttons);

} // namespace GamePanels
