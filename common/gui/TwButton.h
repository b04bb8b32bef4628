#pragma once
#include "gui/TwBaseGuiElemen.h"

// A push button: three frames (normal, focused, disabled). It lights up and plays the focus
// sound when the mouse enters it and fires when the left button is released over it.
class TwButton : public TwBaseGuiElemen {
public:
    TwButton();
    ~TwButton() override;

    bool OnMouseDown(const TwInputEvent& event) override;
    bool OnMouseUp(const TwInputEvent& event) override;
    bool OnMouseMove(const TwInputEvent& event) override;
    void ShowFocused() override;
    void ShowNormal() override;
    bool Load(const std::string& imageName) override;
    bool HitTest(const TwInputEvent& event) const override;

protected:
    // The mouse was already over the button at the previous move: no second focus sound.
    int wasHover_ = 0;
};
