#pragma once
#include "TwVector.h"
#include "gui/TwPanel.h"

class TwTop;

// The high-score dialog: one mode's table at a time (0 Classic, 1 Arcade), its rows fading
// in one after another from the top, with arrows to switch tables, a Clear button (the menu
// asks before clearing) and OK. The layout comes from the engine definitions.
class TwScoreDlg : public TwPanel {
public:
    static constexpr int kTableCount = 2;

    TwScoreDlg();
    ~TwScoreDlg() override;

    void OnCreate() override;
    void Draw() override;
    void Update(int elapsedMs) override;
    void Open() override;

    // The right arrow: shows the Arcade table (the last one).
    void NextTable();
    // The left arrow: shows the Classic table.
    void PrevTable();

    int CurrentTable() const { return currentTable_; }
    void SetCurrentTable(int table) { currentTable_ = table; }
    int StartTable() const { return startTable_; }
    void SetStartTable(int table) { startTable_ = table; }
    bool IsRevealing() const { return revealing_; }

private:
    TwTop* ShownTable() const;
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
    TwBaseGuiElemen* nextButton_ = nullptr;
    TwBaseGuiElemen* prevButton_ = nullptr;
};
