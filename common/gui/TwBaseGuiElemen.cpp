#include "gui/TwBaseGuiElemen.h"

#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"
#include "gui/TwInputEvent.h"

namespace {

// Every clip of an element picks its frame itself; the time only has to be positive.
constexpr int kElementFrameTime = 1;

} // namespace

TwBaseGuiElemen::TwBaseGuiElemen() = default;
TwBaseGuiElemen::~TwBaseGuiElemen() = default;

bool TwBaseGuiElemen::OnMouseDown(const TwInputEvent&) {
    return false;
}
bool TwBaseGuiElemen::OnMouseUp(const TwInputEvent&) {
    return false;
}
bool TwBaseGuiElemen::OnMouseMove(const TwInputEvent&) {
    return false;
}
void TwBaseGuiElemen::Toggle() {}
int TwBaseGuiElemen::GetValue() const {
    return 0;
}
void TwBaseGuiElemen::SetHover() {
    hover_ = true;
}
void TwBaseGuiElemen::ClearHover() {
    hover_ = false;
}
void TwBaseGuiElemen::ShowFocused() {}
void TwBaseGuiElemen::ShowNormal() {}
void TwBaseGuiElemen::Decrease() {}
void TwBaseGuiElemen::Increase() {}
void TwBaseGuiElemen::AfterEvent() {}

bool TwBaseGuiElemen::Load(const std::string& imageName) {
    return LoadClip(imageName, 1, false);
}

bool TwBaseGuiElemen::HitTest(const TwInputEvent&) const {
    return false;
}

// A missing picture leaves a clip of size 0: the element then draws nothing and is never hit.
bool TwBaseGuiElemen::LoadClip(const std::string& imageName, int rows, bool buildMask) {
    clip_ = std::make_unique<TwClip>();
    clip_->SetImage(imageName, buildMask);
    clip_->SetAnimation(kElementFrameTime * rows, 0, 1, rows);
    return clip_->Width() > 0;
}

void TwBaseGuiElemen::Draw() {
    if (clip_) {
        if (!disabled_) {
            clip_->SetFrame(hover_ ? 1 : 0);
        }
        clip_->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
        clip_->Draw();
    }
    DrawCaption();
}

void TwBaseGuiElemen::DrawCaption(float dx, float dy) const {
    if (hasCaption_ == -1) {
        return;
    }
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr) {
        return;
    }
    const TwVector centre = Position();
    font->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
    font->DrawText(static_cast<float>(static_cast<int>(centre.x + dx)),
                   static_cast<float>(static_cast<int>(centre.y + dy)), caption_, captionAlign_);
}

void TwBaseGuiElemen::Disable() {
    SetFrame(2);
    disabled_ = true;
}

void TwBaseGuiElemen::Enable() {
    SetFrame(0);
    disabled_ = false;
}

TwVector TwBaseGuiElemen::Position() const {
    return clip_ ? TwVector{clip_->x, clip_->y, clip_->z} : TwVector{};
}

void TwBaseGuiElemen::SetPosition(const TwVector& centre) {
    if (clip_) {
        clip_->SetPosition(centre.x, centre.y, centre.z);
    }
}

void TwBaseGuiElemen::SetFrame(int frame) {
    if (clip_) {
        clip_->SetFrame(frame);
    }
}

int TwBaseGuiElemen::Frame() const {
    return clip_ ? clip_->Frame() : -1;
}

void TwBaseGuiElemen::SetCaption(const std::string& caption, int hasCaption) {
    caption_ = caption;
    hasCaption_ = hasCaption;
}

int TwBaseGuiElemen::HalfWidth() const {
    return clip_ ? static_cast<int>(static_cast<unsigned>(clip_->Width()) / 2u) : 0;
}

int TwBaseGuiElemen::HalfHeight() const {
    return clip_ ? clip_->CellHeight() / 2 : 0;
}

// Strict on all four sides: a point on the edge is outside.
bool TwBaseGuiElemen::InsideRect(const TwInputEvent& event) const {
    if (!clip_) {
        return false;
    }
    const float cx = clip_->x, cy = clip_->y;
    const float hw = static_cast<float>(HalfWidth()), hh = static_cast<float>(HalfHeight());
    return cx - hw < event.eventX && event.eventX < cx + hw && cy - hh < event.eventY &&
           event.eventY < cy + hh;
}
