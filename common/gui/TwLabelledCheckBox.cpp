#include "gui/TwLabelledCheckBox.h"

#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"

void TwLabelledCheckBox::Draw() {
    TwCheckBox::Draw();
    TwBitmapFont* font = TwFontTable::Get(TwFontTable::MainFont);
    if (font == nullptr || label_.empty()) {
        return;
    }
    const TwVector box = Position();
    // Level with the box, as the engine's captions are placed.
    font->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
    font->DrawText(box.x + kLabelGap, box.y, label_, TwBitmapFont::AlignLeft);
}
