#include "gui/TwChoiceButton.h"

#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"
#include "gui/TwInputEvent.h"

namespace {

// Pixels from the button's sides to the arrows' centres.
constexpr float kArrowInset = 14.0f;

} // namespace

void TwChoiceButton::SetChoices(std::vector<std::string> choices, int chosen) {
    choices_ = std::move(choices);
    const int count = static_cast<int>(choices_.size());
    chosen_ = chosen >= 0 && chosen < count ? chosen : 0;
}

void TwChoiceButton::Step() {
    const int count = static_cast<int>(choices_.size());
    if (count > 0) {
        chosen_ = (chosen_ + (back_ ? count - 1 : 1)) % count;
    }
    back_ = false;
}

bool TwChoiceButton::OnMouseDown(const TwInputEvent& event) {
    const bool over = HitTest(event);
    back_ = over && event.eventX < Position().x - static_cast<float>(HalfWidth()) / 3.0f;
    return TwButton::OnMouseDown(event);
}

void TwChoiceButton::Draw() {
    TwButton::Draw();
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr) {
        return;
    }
    const TwVector centre = Position();
    const float half = static_cast<float>(HalfWidth());
    font->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
    if (!choices_.empty()) {
        font->DrawText(centre.x, centre.y, choices_[static_cast<std::size_t>(chosen_)],
                       TwBitmapFont::AlignCentre);
        font->DrawText(centre.x - half + kArrowInset, centre.y, "<", TwBitmapFont::AlignCentre);
        font->DrawText(centre.x + half - kArrowInset, centre.y, ">", TwBitmapFont::AlignCentre);
    }
    if (!label_.empty()) {
        font->DrawText(centre.x - half - kLabelGap, centre.y, label_, TwBitmapFont::AlignRight);
    }
    if (!note_.empty()) {
        font->SetTint(255.0f, 214.0f, 110.0f, colour_.alpha);
        const float x = noteX_ >= 0.0f ? noteX_ : centre.x;
        font->DrawText(x, centre.y + kNoteDrop, note_, TwBitmapFont::AlignCentre);
    }
}
