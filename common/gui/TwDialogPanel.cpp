#include "gui/TwDialogPanel.h"

#include "gfx/TwClip.h"
#include "gfx/TwFontTable.h"

namespace {

// The title sits this far below the top edge of the dialog's picture.
constexpr int kTitleTopMargin = 24 + 8;

} // namespace

TwDialogPanel::TwDialogPanel() = default;
TwDialogPanel::~TwDialogPanel() = default;

void TwDialogPanel::Draw() {
    TwPanel::Draw();
    if (!title_.empty()) {
        if (TwBitmapFont* font = TwFontTable::Get(titleFont_)) {
            const int halfHeight = BackgroundHeight() / 2;
            font->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
            font->DrawText(static_cast<float>(static_cast<int>(position_.x)),
                           static_cast<float>(static_cast<int>(
                               position_.y - static_cast<float>(halfHeight - kTitleTopMargin))),
                           title_, TwBitmapFont::AlignCentre);
        }
    }
    if (!message_.empty()) {
        paragraph_.SetPosition(PointInPanel(50.0f, 50.0f));
        paragraph_.SetFont(messageFont_);
        paragraph_.SetText(message_);
        paragraph_.SetColour(colour_);
        paragraph_.Draw();
    }
}
