#include "gui/TwSlider.h"

#include <algorithm>

#include "gfx/TwClip.h"
#include "gui/TwInputEvent.h"

namespace {

using namespace TwInputCodes;

} // namespace

// A slider's caption ends left of its track.
TwSlider::TwSlider() {
    kind_ = kSlider;
    captionAlign_ = 0;
}
TwSlider::~TwSlider() = default;

bool TwSlider::Create(const std::string& trackImage, const std::string& thumbImage, int minimum,
                      int maximum, int step) {
    minimum_ = minimum;
    maximum_ = maximum;
    step_ = step;
    const bool trackLoaded = LoadClip(trackImage, 2, false);
    thumb_ = std::make_unique<TwClip>();
    thumb_->SetImage(thumbImage, false);
    thumb_->SetAnimation(2, 0, 1, 2);
    SetFrames(0);
    return trackLoaded && thumb_->Width() > 0;
}

// The ends of the picture are decoration: only the middle of the track is the scale.
int TwSlider::TrackLength() const {
    return clip_ ? clip_->Width() - trackMargin_ : 0;
}

int TwSlider::ValueAt(float x) const {
    const int length = TrackLength();
    if (length <= 0) {
        return minimum_;
    }
    const float left = clip_->x - static_cast<float>(TrackHalf());
    return static_cast<int>((x - left) * static_cast<float>(maximum_) / static_cast<float>(length));
}

bool TwSlider::HitTest(const TwInputEvent& event) const {
    if (!clip_) {
        return false;
    }
    const float cx = clip_->x, cy = clip_->y;
    const float half = static_cast<float>(TrackHalf()), hh = static_cast<float>(HalfHeight());
    return cx - half < event.eventX && event.eventX < cx + half && cy - hh < event.eventY &&
           event.eventY < cy + hh;
}

// A press on the track jumps the value there and starts a drag.
bool TwSlider::OnMouseDown(const TwInputEvent& event) {
    if (!HitTest(event)) {
        return false;
    }
    SetHover();
    ShowFocused();
    if (event.messageId == kLeftButtonDown || event.messageId == kRightButtonDown) {
        value_ = ValueAt(event.eventX);
        TwGuiPlaySound(clickSound_);
    }
    return true;
}

// While dragged the value follows the mouse anywhere on screen, kept inside the range.
bool TwSlider::OnMouseMove(const TwInputEvent& event) {
    if (hover_) {
        value_ = std::clamp(ValueAt(event.eventX), minimum_, std::max(minimum_, maximum_));
    }
    return hover_;
}

bool TwSlider::OnMouseUp(const TwInputEvent&) {
    if (!hover_) {
        return false;
    }
    ClearHover();
    ShowNormal();
    return true;
}

void TwSlider::SetFrames(int frame) {
    SetFrame(frame);
    if (thumb_) {
        thumb_->SetFrame(frame);
    }
}

void TwSlider::ShowFocused() {
    SetFrames(1);
}
void TwSlider::ShowNormal() {
    SetFrames(0);
}

void TwSlider::Decrease() {
    value_ = std::max(value_ - step_, minimum_);
    TwGuiPlaySound(clickSound_);
}

void TwSlider::Increase() {
    TwGuiPlaySound(clickSound_);
    value_ = std::min(value_ + step_, maximum_);
}

void TwSlider::Draw() {
    TwBaseGuiElemen::Draw();
    if (!clip_ || !thumb_ || maximum_ <= 0) {
        return;
    }
    const float left = clip_->x - static_cast<float>(TrackHalf());
    const float perUnit = static_cast<float>(TrackLength()) / static_cast<float>(maximum_);
    thumb_->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
    thumb_->SetPosition(left + perUnit * static_cast<float>(value_), clip_->y, clip_->z);
    thumb_->Draw();
}
