#pragma once
#include "gui/TwButton.h"

// A check box: four frames (unchecked, unchecked and focused, checked, checked and focused).
// Clicks on it flip the mark; it ignores being disabled.
class TwCheckBox : public TwButton {
public:
    TwCheckBox();
    ~TwCheckBox() override;

    bool OnMouseDown(const TwInputEvent& event) override;
    bool OnMouseUp(const TwInputEvent& event) override;
    void Toggle() override;
    // The look follows the mark and the hover in Draw.
    void ShowFocused() override {}
    void ShowNormal() override {}
    bool Load(const std::string& imageName) override;
    bool HitTest(const TwInputEvent& event) const override;
    void Draw() override;

    bool IsChecked() const { return checked_; }
    void SetChecked(bool checked) { checked_ = checked; }

private:
    bool checked_ = false;
};
