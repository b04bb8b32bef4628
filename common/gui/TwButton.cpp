#include "gui/TwButton.h"

#include "gfx/TwClip.h"
#include "gui/TwInputEvent.h"

namespace {

// The level of the picture's hit mask used for pixel-exact buttons.
constexpr int kHitMaskLevel = 2;

} // namespace

TwButton::TwButton() {
    kind_ = kPushButton;
}
TwButton::~TwButton() = default;

// Lights up under the mouse; the focus sound plays once per entry, not on every move.
bool TwButton::OnMouseMove(const TwInputEvent& event) {
    if (HitTest(event)) {
        if (wasHover_ == 0) {
            TwGuiPlaySound(focusSound_);
            wasHover_ = 1;
        }
        SetHover();
        ShowFocused();
        return true;
    }
    wasHover_ = 0;
    ClearHover();
    ShowNormal();
    return false;
}

// A press over the button starts a click whatever moves came before: a move can be lost
// while a dialog fades in, and a second click needs no move between. A press elsewhere
// means the pointer has left it.
bool TwButton::OnMouseDown(const TwInputEvent& event) {
    if (HitTest(event)) {
        wasHover_ = 1;
        SetHover();
        ShowFocused();
    } else if (hover_) {
        wasHover_ = 0;
        ClearHover();
        ShowNormal();
    }
    return false; // the click is raised on release
}

// A button fires on release, and only when the press-and-release stayed over it.
bool TwButton::OnMouseUp(const TwInputEvent&) {
    if (!hover_) {
        return false;
    }
    TwGuiPlaySound(clickSound_);
    ClearHover();
    ShowNormal();
    return true;
}

// A disabled button keeps its greyed look whatever the mouse does.
void TwButton::ShowFocused() {
    SetFrame(disabled_ ? 2 : 1);
}
void TwButton::ShowNormal() {
    SetFrame(disabled_ ? 2 : 0);
}

bool TwButton::Load(const std::string& imageName) {
    const bool loaded = LoadClip(imageName, 3, pixelTest_);
    SetFrame(0);
    return loaded;
}

bool TwButton::HitTest(const TwInputEvent& event) const {
    if (disabled_ || !InsideRect(event)) {
        return false;
    }
    if (!pixelTest_) {
        return true;
    }
    const TwPoint point{static_cast<int>(event.eventX), static_cast<int>(event.eventY)};
    return clip_->PixelHit(point, kHitMaskLevel);
}
