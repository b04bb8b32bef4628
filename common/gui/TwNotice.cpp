#include "gui/TwNotice.h"

#include <algorithm>

#include "gfx/TwFontTable.h"
#include "gfx/TwScreenSize.h"

namespace {

constexpr int kFadeMs = 500;
// The lower middle of the screen: on the game screen the part of the field that stays
// empty longest.
constexpr float kCentreY = 380.0f;
// The text is outlined in black all round, so it reads over bubbles and pictures alike.
constexpr float kOutline = 2.0f;
constexpr float kOutlineSteps[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                       {1, 0},   {-1, 1}, {0, 1},  {1, 1}};
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
    TwGuiColour outline = kShadowColour;
    outline.alpha *= fade;
    paragraph_.SetColour(outline);
    for (const auto& step : kOutlineSteps) {
        paragraph_.SetPosition(
            TwVector(centreX + step[0] * kOutline, kCentreY + step[1] * kOutline, 0.0f));
        paragraph_.Draw();
    }
    TwGuiColour text = kTextColour;
    text.alpha *= fade;
    paragraph_.SetColour(text);
    paragraph_.SetPosition(TwVector(centreX, kCentreY, 0.0f));
    paragraph_.Draw();
}
