#include "gui/TwParagraph.h"

#include "gfx/TwFontTable.h"

namespace {

// A line that is only its closing '#' is an empty line between paragraphs.
bool IsEmptyLine(const std::string& line) {
    return line == "#";
}

} // namespace

// A '#' closes the current line and stays at its end; the last line is kept even when empty.
void TwParagraph::SetText(const std::string& text) {
    text_ = text;
    lines_.clear();
    std::string line;
    for (const char ch : text) {
        line += ch;
        if (ch == '#') {
            lines_.push_back(line);
            line.clear();
        }
    }
    lines_.push_back(line);
}

void TwParagraph::SetFont(int fontIndex) {
    font_ = fontIndex;
    if (lineSpacing_ >= 0) {
        return;
    }
    if (const TwBitmapFont* font = TwFontTable::Get(fontIndex)) {
        lineSpacing_ = static_cast<int>(0.75f * static_cast<float>(font->LineHeight()));
    }
}

// The block is centred vertically on the position; empty lines take half a line.
std::vector<TwParagraph::PlacedLine> TwParagraph::Layout() const {
    std::vector<PlacedLine> placed;
    const float spacing = static_cast<float>(lineSpacing_);
    const int half = static_cast<int>(static_cast<float>(lines_.size()) * spacing * 0.5f);
    float line = 0.0f;
    for (const std::string& text : lines_) {
        if (IsEmptyLine(text)) {
            line += 0.5f;
            continue;
        }
        placed.push_back(
            PlacedLine{text, static_cast<int>(position_.x),
                       static_cast<int>(position_.y - static_cast<float>(half) + spacing * line)});
        line += 1.0f;
    }
    return placed;
}

void TwParagraph::Draw() {
    TwBitmapFont* font = TwFontTable::Get(font_);
    if (font == nullptr) {
        return;
    }
    font->SetTint(colour_.red, colour_.green, colour_.blue, colour_.alpha);
    for (const PlacedLine& line : Layout()) {
        font->DrawText(static_cast<float>(line.x), static_cast<float>(line.y), line.text, align_);
    }
}
