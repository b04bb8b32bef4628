#include "gui/TwCheckBox.h"

#include "gfx/TwClip.h"
#include "gui/TwInputEvent.h"

TwCheckBox::TwCheckBox() = default;
TwCheckBox::~TwCheckBox() = default;

// The click sound comes with the press; the mark flips on the release.
bool TwCheckBox::OnMouseDown(const TwInputEvent&) {
    if (hover_) {
        TwGuiPlaySound(clickSound_);
    }
    return false;
}

bool TwCheckBox::OnMouseUp(const TwInputEvent& event) {
    if (!HitTest(event)) {
        return false;
    }
    checked_ = !checked_;
    return true;
}

void TwCheckBox::Toggle() {
    checked_ = !checked_;
}

bool TwCheckBox::Load(const std::string& imageName) {
    const bool loaded = LoadClip(imageName, 4, false);
    SetFrame(0);
    return loaded;
}

bool TwCheckBox::HitTest(const TwInputEvent& event) const {
    return InsideRect(event);
}

void TwCheckBox::Draw() {
    if (!clip_) {
        return;
    }
    const int frame = checked_ ? (hover_ ? 3 : 2) : (hover_ ? 1 : 0);
    clip_->SetFrame(frame);
    clip_->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
    clip_->Draw();
}
