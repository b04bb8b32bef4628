#pragma once
#include <memory>
#include <string>
#include <vector>

#include "gui/TwBaseGuiElemen.h"
#include "gui/TwCheckBox.h"

// A radio group of check boxes: exactly one box is checked. A click on another box moves the
// mark and the group fires with that box's name; a click on the checked box fires with the
// group's own name. The group has no picture of its own.
class TwCheckBoxGroup : public TwBaseGuiElemen {
public:
    explicit TwCheckBoxGroup(const std::string& groupName = "");
    ~TwCheckBoxGroup() override;

    bool OnMouseDown(const TwInputEvent& event) override;
    bool OnMouseUp(const TwInputEvent& event) override;
    bool OnMouseMove(const TwInputEvent& event) override;
    void AfterEvent() override;
    void Draw() override;

    // Adds a box with the picture "Interface/CheckBox", centred at (x, y) in screen pixels.
    TwCheckBox* AddCheckBox(const std::string& name, const std::string& caption, int hasCaption,
                            float x, float y);
    // Checks the box with this name and unchecks every other (none checked for an unknown
    // name).
    void Check(const std::string& name);
    // What a click on box `index` does, for the keyboard: the mark moves there and the group
    // fires with the box's name, or with its own when that box was checked already. The box
    // checked before is remembered as for a click. False for an index without a box.
    bool ChooseBox(int index);
    // Puts the mark back on the box that was checked before the last click.
    void RestorePrevious();

    // Index of the checked box, -1 when none is.
    int CheckedIndex() const;
    int PreviousIndex() const { return previousIndex_; }
    const std::vector<std::unique_ptr<TwCheckBox>>& Boxes() const { return boxes_; }

private:
    void CheckOnly(std::size_t index);

    std::string groupName_;
    int previousIndex_ = -1;
    std::vector<std::unique_ptr<TwCheckBox>> boxes_;
};
