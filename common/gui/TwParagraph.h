#pragma once
#include <string>
#include <vector>

#include "TwVector.h"
#include "gui/TwGuiColour.h"

// A block of text lines centred vertically on a point. A '#' ends a line (and stays at its
// end); a line that is a lone '#' is an empty line, drawn half as high as a text line.
class TwParagraph {
public:
    void SetText(const std::string& text);
    // Selects the font; the line spacing becomes three quarters of the font's line height
    // unless it was set before.
    void SetFont(int fontIndex);
    void Draw();

    const std::string& Text() const { return text_; }
    const std::vector<std::string>& Lines() const { return lines_; }
    // Font alignment of every line (1 centred, the default).
    void SetAlign(int align) { align_ = align; }
    void SetPosition(const TwVector& centre) { position_ = centre; }
    const TwVector& Position() const { return position_; }
    void SetColour(const TwGuiColour& colour) { colour_ = colour; }
    void SetAlpha(float alpha) { colour_.alpha = alpha; }
    // -1 until set (by SetFont or here).
    void SetLineSpacing(int spacing) { lineSpacing_ = spacing; }
    int LineSpacing() const { return lineSpacing_; }

    // Where each drawn line goes: its text (with the '#') and the pen point handed to the font.
    struct PlacedLine {
        std::string text;
        int x = 0;
        int y = 0;
    };
    // The layout Draw uses; empty lines are left out.
    std::vector<PlacedLine> Layout() const;

private:
    std::string text_;
    int align_ = 1;
    TwVector position_;
    TwGuiColour colour_;
    int font_ = 0;
    int lineSpacing_ = -1;
    std::vector<std::string> lines_;
};
