#include "app/TwCursor.h"

#include "gfx/TwClip.h"

TwCursor::TwCursor() : clip_(std::make_unique<TwClip>()) {}

TwCursor::~TwCursor() = default;

void TwCursor::Load() {
    clip_->SetImage("Cursor");
    clip_->SetAnimation(1000, TwAnimation::Still, 1, 1);
}

void TwCursor::SetPosition(float x, float y, float z) {
    clip_->SetPosition(x, y, z);
}

void TwCursor::Draw() {
    clip_->Draw();
}
