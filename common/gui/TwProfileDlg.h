#pragma once
#include <string>

#include "gui/TwDialogPanel.h"

class TwProfileButton;

// The players dialog: every profile as a selectable entry in a column, the active one marked,
// with buttons to add a player (through the name dialog), delete the selected one (after a
// confirmation) and close. Clicking an entry with either mouse button makes that player the
// active one at once. The layout comes from the engine definitions.
class TwProfileDlg : public TwDialogPanel {
public:
    // Entries raise their own names as events; these never match a menu event, whatever
    // the player is called.
    static constexpr const char* kEntryPrefix = "ProfileDlg.Player.";

    TwProfileDlg();
    ~TwProfileDlg() override;

    void OnCreate() override;
    void Draw() override;
    bool HandleInput(const TwInputEvent& event) override;
    void Open() override;
    void ClearOtherFocus(int position) override;

    // Adds the entry of the player at a list position; when that position is on another
    // page, that page is shown instead (its entries read from the store).
    TwProfileButton* AddEntry(const std::string& name, int index);
    // One entry per profile of the page shown, in list order, with the page arrows when the
    // list is longer than a page.
    void FillList();
    // Shows the page holding the player at `index` (the first page for -1).
    void ShowPageOf(int index);
    // Moves a page back (-1) or on (1), within the list.
    void TurnPage(int step);
    // The rows of a page: the most players the list may hold as the layout gives it.
    int PageSize() const;
    int PageCount() const;
    int Page() const { return page_; }
    int FirstShown() const { return page_ * PageSize(); }
    TwBaseGuiElemen* PrevPageButton() const { return prevPage_; }
    TwBaseGuiElemen* NextPageButton() const { return nextPage_; }
    // Removes every entry.
    void ClearList();
    // Marks the entry with this name as selected and every other as not.
    void SelectEntry(const std::string& name);

    // The entry showing this player's name, or null.
    TwProfileButton* FindEntry(const std::string& name) const;

private:
    // A key on an entry makes that player the active one, as a click does.
    void PressElement(TwBaseGuiElemen& element, int box) override;

    TwProfileButton* PlaceEntry(const std::string& name, int row);
    void UpdatePageArrows();
    // Turns the page when `element` is one of the page arrows.
    bool TurnsPage(const TwBaseGuiElemen& element);

    TwBaseGuiElemen* addButton_ = nullptr;
    TwBaseGuiElemen* prevPage_ = nullptr;
    TwBaseGuiElemen* nextPage_ = nullptr;
    int page_ = 0;
    int listTop_ = 0;
    float rowStep_ = 0.0f;
};
