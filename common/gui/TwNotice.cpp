#include "gui/TwNotice.h"

#include <algorithm>

#include "gfx/TwFontTable.h"
#include "gfx/TwScreenSize.h"

namespace {

constexpr int kFadeMs = 500;
// Below the score and the menu button, above the field's first row.
constexpr float kTopY = 88.0f;
constexpr float kShadowOffset = 2.0f;
constexpr TwGuiColour kTextColour{255.0f, 236.0f, 140.0f, 255.0f};
constexpr TwGuiColour kShadowColour{0.0f, 0.0f, 0.0f, 255.0f};

} // namespace

TwNotice& TwNotice::Instance() {
    static TwNotice notice;
    return notice;
}

void TwNotice::Show(const std::string& text, int durationMs) {
    paragraph_.SetFont(TwFontTable::MainFont);
    paragraph_.SetText(text);
    remainingMs_ = std::max(durationMs, 0);
}

void TwNotice::Update(int elapsedMs) {
    remainingMs_ = std::max(remainingMs_ - std::max(elapsedMs, 0), 0);
}

void TwNotice::Draw() {
    if (remainingMs_ <= 0 || paragraph_.Text().empty()) {
        return;
    }
    const float fade = static_cast<float>(std::min(remainingMs_, kFadeMs)) / kFadeMs;
    const float centreX = static_cast<float>(TwScreenSize::Instance().width) / 2.0f;
    TwGuiColour shadow = kShadowColour;
    shadow.alpha *= fade;
    paragraph_.SetColour(shadow);
    paragraph_.SetPosition(TwVector(centreX + kShadowOffset, kTopY + kShadowOffset, 0.0f));
    paragraph_.Draw();
    TwGuiColour text = kTextColour;
    text.alpha *= fade;
    paragraph_.SetColour(text);
    paragraph_.SetPosition(TwVector(centreX, kTopY, 0.0f));
    paragraph_.Draw();
}
