#pragma once
#include <string>
#include <vector>

#include "PuzzleProgress.h"
#include "gui/TwDialogPanel.h"

class LevelLibrary;

// The Puzzle level select: one page of a level set at a time (its title between two arrows,
// up to twenty numbered tiles), a level's tile locked, open or cleared with the player's
// best score on it, and a line naming a level file that could not be read. The arrows turn
// the pages of all sets in order. A tile raises "LevelSelectDlg.Level" with the level
// remembered in ChosenLevel; the tiles, the arrows and the back button are the keyboard's
// stops as in every dialog.
class LevelSelectPanel : public TwDialogPanel {
public:
    static constexpr const char* kTileEvent = "LevelSelectDlg.Level";
    static constexpr const char* kPrevEvent = "LevelSelectDlg.Prev";
    static constexpr const char* kNextEvent = "LevelSelectDlg.Next";
    static constexpr const char* kBackEvent = "LevelSelectDlg.Back";
    static constexpr int kTilesPerPage = 20;

    // The page shown, and the progress the tiles show, for a library and a player; the page
    // of the first level not yet cleared is shown first.
    void Show(const LevelLibrary& library, const std::string& player);
    // Turns to the previous (-1) or next (+1) page, wrapping round.
    void TurnPage(int direction);
    // The set and level of the tile pressed last.
    const std::string& ChosenSet() const { return chosenSet_; }
    int ChosenLevel() const { return chosenLevel_; }
    // Remembers the level of a tile element (the menu calls it with the event's source).
    bool Choose(const TwBaseGuiElemen* tile);

    int PageCount() const { return static_cast<int>(pages_.size()); }
    int CurrentPage() const { return page_; }
    const PuzzleProgress& Progress() const { return progress_; }

    void OnCreate() override;
    void Draw() override;
    // Opening shows every element in its normal look; locked tiles keep their grey one.
    void Open() override;

private:
    struct Page {
        std::size_t set = 0;
        int firstLevel = 1; // from 1
        int levels = 0;
    };
    struct Tile {
        const TwBaseGuiElemen* element = nullptr;
        int level = 0;
    };

    void BuildPage();

    const LevelLibrary* library_ = nullptr;
    PuzzleProgress progress_;
    std::vector<Page> pages_;
    int page_ = 0;
    std::vector<Tile> tiles_;
    std::string chosenSet_;
    int chosenLevel_ = 0;
};
