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

    // Adds the entry of a player at a list position.
    TwProfileButton* AddEntry(const std::string& name, int index);
    // One entry per profile, in list order.
    void FillList();
    // Removes every entry.
    void ClearList();
    // Marks the entry with this name as selected and every other as not.
    void SelectEntry(const std::string& name);

    TwBaseGuiElemen* AddPlayerButton() const { return addButton_; }
    // The entry showing this player's name, or null.
    TwProfileButton* FindEntry(const std::string& name) const;

private:
    // A key on an entry makes that player the active one, as a click does.
    void PressElement(TwBaseGuiElemen& element, int box) override;

    TwBaseGuiElemen* addButton_ = nullptr;
    int listTop_ = 0;
    float rowStep_ = 0.0f;
};
