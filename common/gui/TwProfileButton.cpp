#include "gui/TwProfileButton.h"

#include "gfx/TwClip.h"
#include "gui/TwInputEvent.h"

TwProfileButton::TwProfileButton() {
    kind_ = kProfileButton;
}

// The selected entry keeps its look; the others light up silently under the mouse.
bool TwProfileButton::OnMouseMove(const TwInputEvent& event) {
    if (hover_) {
        return false;
    }
    if (HitTest(event)) {
        ShowFocused();
        return true;
    }
    ShowNormal();
    return false;
}

// A press changes nothing: the selection follows the release.
bool TwProfileButton::OnMouseDown(const TwInputEvent&) {
    return false;
}

bool TwProfileButton::OnMouseUp(const TwInputEvent& event) {
    if (!HitTest(event)) {
        return false;
    }
    TwGuiPlaySound(clickSound_);
    SetHover();
    ShowNormal();
    return true;
}

bool TwProfileButton::Load(const std::string& imageName) {
    return TwButton::Load(imageName);
}

// The frame is left as the list set it (the selected entry shows frame 2).
void TwProfileButton::Draw() {
    if (clip_) {
        clip_->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
        clip_->Draw();
    }
    DrawCaption(0.0f, 0.0f); // the player's name on the entry itself
}
