// The two bitmap fonts: "MainFont", a proportional strip the game cuts up by scanning its
// columns, and "Digits", fixed-width cells for the in-game numbers.
//
// How the game finds the glyphs of a scanned strip: after the space cell at the left it looks
// for a column with any opaque pixel, takes the column after it as the glyph's left edge, and
// ends the glyph at the first fully transparent column. So every glyph here is drawn as
//   [one marker column][the glyph's cell][three clear columns]
// where the marker is the column that gets skipped, and the cell's bottom row carries an alpha
// of 1 (invisible) from the marker to the cell's right edge, so that a character with a gap
// inside it ('"', '%') or blank side bearings is never split or trimmed.
//
// The main font holds printable ASCII first, exactly as it always has, then every other
// letter and mark the game's languages use. They do not fit one row of a picture, so the
// strip is several rows of glyphs ("RowHeight" in Fonts.Txt) that the game scans in turn.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "Layout.h"
#include "Pictures.h"
#include "data/TwUtf8.h"

using namespace layout;

namespace {

// The letters and punctuation of German, French, Spanish, Italian, Brazilian Portuguese,
// Polish, Russian, Dutch, Swedish, Danish, Norwegian, Finnish, Czech, Ukrainian and Turkish
// beyond ASCII (the Ukrainian apostrophe U+02BC among them), then the replacement mark a
// malformed text draws.
constexpr const char* kOtherLetters = "ÀÁÂÃÄÆÇÈÉÊËÌÍÎÏÑÒÓÔÕÖŒÙÚÛÜŸ"
                                      "àáâãäæçèéêëìíîïñòóôõöœùúûüÿß"
                                      "ĄĆĘŁŃŚŹŻąćęłńśźż"
                                      "ÅØåøČĎĚŇŘŠŤŮÝŽčďěňřšťůýž"
                                      "ĞİŞğış"
                                      "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"
                                      "абвгдеёжзийклмнопрстуфхцчшщъыьэюя"
                                      "ЄІЇҐєіїґʼ"
                                      "¡¿«»„“”‘’–—…°"
                                      "\xEF\xBF\xBD";

} // namespace

std::string MainFontCodes() {
    // The space first (its cell is the strip's left end), then every printable ASCII
    // character except '#', which ends a line in the game's paragraphs and must print nothing.
    std::string codes = " ";
    for (char c = 33; c < 127; ++c) {
        if (c != '#') {
            codes += c;
        }
    }
    return codes + kOtherLetters;
}

std::vector<std::string> SplitCharacters(const std::string& utf8) {
    std::vector<std::string> chars;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        TwUtf8::Next(utf8, pos);
        chars.push_back(utf8.substr(start, pos - start));
    }
    return chars;
}

std::string DigitsCodes() {
    return "0123456789 +-:";
}

TextStyle MainStyle() {
    TextStyle s;
    s.size = 16;
    s.colour = {1, 1, 1};
    s.outline = 1.0;
    s.shadow = 1.2;
    return s;
}

namespace {

constexpr int kMainPad = 2;     // room for the outline and shadow on each side of a glyph
constexpr int kGap = 3;         // clear columns between glyphs
constexpr int kTail = 8;        // clear columns after the last glyph of a row
constexpr int kRowWidth = 2048; // a row of glyphs ends before this width
constexpr int kRowStart = 4;    // where a later row's first marker sits

struct GlyphCell {
    std::string ch;
    int width;
    double penX; // where the pen starts inside the cell
    int row = 0;
    int marker = 0;
};

GlyphCell MeasureGlyph(cairo_t* cr, const std::string& ch, const TextStyle& style) {
    const char* text = ch.c_str();
    cairo_save(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           style.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, style.size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    cairo_restore(cr);
    const double left = std::min(0.0, e.x_bearing);
    const double right = std::max(e.x_advance, e.x_bearing + e.width);
    return {ch, static_cast<int>(std::ceil(right - left)) + 2 * kMainPad, kMainPad - left};
}

void DrawMainFont(PictureOutput& out) {
    const std::vector<std::string> codes = SplitCharacters(MainFontCodes());
    const TextStyle style = MainStyle();
    const int h = kMainFontHeight;
    Canvas scratch(8, 8);
    // Lay the glyphs out row by row: ASCII first where it always was, a new row whenever
    // the next glyph would not leave the row its clear tail.
    std::vector<GlyphCell> cells;
    int row = 0, marker = kMainFontSpace + 2, width = 0;
    for (std::size_t i = 1; i < codes.size(); ++i) {
        GlyphCell cell = MeasureGlyph(scratch.Cr(), codes[i], style);
        if (marker + 1 + cell.width + kGap + kTail > kRowWidth) {
            ++row;
            marker = kRowStart;
        }
        cell.row = row;
        cell.marker = marker;
        marker += 1 + cell.width + kGap;
        width = std::max(width, marker + kTail);
        cells.push_back(cell);
    }
    const int rows = row + 1;
    Canvas strip(width, h * rows);
    for (const GlyphCell& cell : cells) {
        Canvas glyph(cell.width, h);
        // DrawText centres capitals on y; 12 puts the baseline near row 18 of 24.
        DrawText(glyph, cell.ch, cell.penX, 12, Align::Left, style);
        strip.Paint(glyph, cell.marker + 1, h * cell.row);
    }
    std::vector<std::uint8_t> rgba = strip.Rgba();
    for (const GlyphCell& cell : cells) {
        const std::size_t bottom = static_cast<std::size_t>(h * cell.row + h - 1) * width * 4;
        for (int x = cell.marker; x <= cell.marker + cell.width; ++x) {
            std::uint8_t* p = &rgba[bottom + static_cast<std::size_t>(x) * 4];
            if (p[3] == 0) {
                p[0] = p[1] = p[2] = 255;
                p[3] = 1;
            }
        }
    }
    out.Save("Fonts/MainFont", width, h * rows, rgba);
}

void DrawDigits(PictureOutput& out) {
    const std::string codes = DigitsCodes();
    const int cell = kDigitsCell, h = kDigitsHeight;
    TextStyle style;
    style.size = 23;
    style.colour = palette::kGold;
    style.gradient = true;
    style.outline = 1.3;
    style.shadow = 1.4;
    Canvas strip(cell * static_cast<int>(codes.size()), h);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == ' ') {
            continue;
        }
        Canvas glyph(cell, h);
        DrawText(glyph, std::string(1, codes[i]), cell / 2.0 - 0.5, h / 2.0, Align::Centre, style);
        strip.Paint(glyph, cell * static_cast<double>(i), 0);
    }
    out.Save("Fonts/Digits", strip);
}

} // namespace

void DrawFontPictures(PictureOutput& out) {
    DrawMainFont(out);
    DrawDigits(out);
}
