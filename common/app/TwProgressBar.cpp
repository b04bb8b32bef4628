#include "app/TwProgressBar.h"

#include <algorithm>

#include "gfx/TwClip.h"
#include "gfx/TwImage.h"

TwProgressBar::TwProgressBar()
    : background_(std::make_unique<TwClip>()), line_(std::make_unique<TwImage>()) {}

TwProgressBar::~TwProgressBar() = default;

void TwProgressBar::Load(const std::string& background, const std::string& line) {
    background_->SetImage(background);
    background_->SetAnimation(1000, TwAnimation::Still, 1, 1);
    line_->SetImage(line);
}

void TwProgressBar::SetPosition(float px, float py, float pz) {
    x = px;
    y = py;
    z = pz;
}

int TwProgressBar::FilledWidth(int percent, int lineWidth) {
    const int clamped = std::clamp(percent, 0, 100);
    return static_cast<int>(static_cast<float>(clamped) / 100.0f * static_cast<float>(lineWidth));
}

void TwProgressBar::Draw() {
    background_->SetPosition(x, y, z);
    line_->SetPosition(x, y, z);
    background_->Draw();
    const int width = FilledWidth(percent, line_->Width());
    if (width > 0) {
        line_->DrawPart(TwRect{0, 0, width, line_->Height()});
    }
}
