#pragma once
#include "gui/TwButton.h"

// One entry of the player list: a button whose hover flag means "selected". It lights up
// under the mouse without a sound and selects itself when clicked; its caption is the
// player's name.
class TwProfileButton : public TwButton {
public:
    TwProfileButton();

    bool OnMouseDown(const TwInputEvent& event) override;
    bool OnMouseUp(const TwInputEvent& event) override;
    bool OnMouseMove(const TwInputEvent& event) override;
    bool Load(const std::string& imageName) override;
    void Draw() override;
};
