#pragma once
#include <memory>
#include <vector>

#include "TwVector.h"
#include "gui/TwPanel.h"

class TwTop;

// The high-score dialog: one mode's table at a time (0 Classic, 1 Arcade), its rows fading
// in one after another from the top, with arrows to switch tables, a Clear button (the menu
// asks before clearing) and OK. The layout comes from the engine definitions.
//
// An entry whose game was recorded is watched by a click, or by the keyboard (and a
// controller, which speaks as keys): each such entry is a focus stop above the buttons, lit
// while it has the focus, and Enter or Space on it asks to watch it.
class TwScoreDlg : public TwPanel {
public:
    static constexpr int kTableCount = 2;
    // Raised when the player clicks an entry whose game was recorded (WatchedRow says which).
    static constexpr const char* kWatchEvent = "ScoreDlg.Watch";

    TwScoreDlg();
    ~TwScoreDlg() override;

    void OnCreate() override;
    void Draw() override;
    void Update(int elapsedMs) override;
    void Open() override;
    // A click on an entry that keeps its game's recording asks to watch it; the pointer over
    // such an entry lights it up.
    bool HandleInput(const TwInputEvent& event) override;

    // The entry of the shown table last asked to be watched (-1 for none).
    int WatchedRow() const { return watchedRow_; }
    // The entry drawn at a screen height, or -1.
    int RowAt(float y) const;
    // The entry the keyboard focus is on, or -1.
    int FocusedRow() const;

    // The right arrow: shows the Arcade table (the last one).
    void NextTable();
    // The left arrow: shows the Classic table.
    void PrevTable();

    int CurrentTable() const { return currentTable_; }
    void SetCurrentTable(int table) { currentTable_ = table; }
    void SetStartTable(int table) { startTable_ = table; }
    bool IsRevealing() const { return revealing_; }

protected:
    // A focused entry is watched; every other element as the panel presses it.
    void PressElement(TwBaseGuiElemen& element, int box) override;

private:
    TwTop* ShownTable() const;
    // The entries' focus stops follow the table shown: one for each entry that can be
    // watched, placed on its row; the others are passed over.
    void UpdateRowStops();
    int RowOfStop(const TwBaseGuiElemen& element) const;
    void HideRows();
    void RevealRows(int elapsedMs);
    // Arrows follow the table shown: no way left of Classic, none right of Arcade.
    void UpdateArrows();

    bool revealing_ = false;
    int leftNumOffset_ = 0;
    int upOffset_ = 0;
    int lineOffset_ = 0;
    int nameOffset_ = 0;
    int scoreOffset_ = 0;
    TwVector titlePos_;
    int startTable_ = 0;
    int currentTable_ = 0;
    // Stands for the clicked entry when the watch event is raised.
    std::unique_ptr<TwBaseGuiElemen> watchRequest_;
    int watchedRow_ = -1;
    int hoverRow_ = -1;
    TwBaseGuiElemen* nextButton_ = nullptr;
    TwBaseGuiElemen* prevButton_ = nullptr;
    // The entries' focus stops, one a row (owned by the panel, never removed).
    std::vector<TwBaseGuiElemen*> rowStops_;
};
