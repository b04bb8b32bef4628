#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TwRect.h"
#include "TwVector.h"
#include "gfx/TwGlyphTable.h"
#include "gfx/TwImage.h"

struct TwPicture;

// A bitmap font: the picture is a strip of glyphs side by side, and the font's codes (UTF-8)
// say which characters it holds, left to right. Glyphs are fixed-width cells, or found by
// scanning the strip's columns for the transparent gaps between glyphs; a scanned strip may
// be several rows of glyphs stacked (RowHeight), read row after row. Texts are UTF-8: each
// character draws its glyph, and a malformed byte draws the font's replacement glyph.
// Fonts are defined in "Data/Fonts.Txt". The image's tint, scale, rotation and flip apply
// to every glyph.
class TwBitmapFont : public TwImage {
public:
    enum Align { AlignRight = 0, AlignCentre = 1, AlignLeft = 2 };

    // Loads the font block `fontName` of "Data/Fonts.Txt" and its strip. True when usable.
    bool Load(const std::string& fontName);

    // The font's settings as Fonts.Txt gives them (monoWidth -1 selects the column scan).
    // rowHeight 0 (or the strip's height) reads the strip as one row.
    void Configure(const std::string& codes, int monoWidth, int charDist, int spaceSize,
                   int rowHeight = 0);
    // Builds the glyph table from the strip's .Tga file bytes, for a strip of width x height
    // pixels. False (no glyphs) unless the file is an uncompressed colour or grey TGA.
    bool ReadStrip(std::string_view fileBytes, int width, int height);
    // The same for a strip decoded from any stored form: it is read as the plain 32-bit TGA
    // (rows bottom first) holding the same pixels would be.
    bool ReadStripPicture(const TwPicture& picture);

    // Draws one character with its left edge at x, centred vertically on y; returns the
    // advance. A character the font lacks draws nothing and advances by charDist.
    int DrawChar(float x, float y, char32_t ch);
    // Sum of every character's width plus charDist (after the last one too).
    int TextWidth(std::string_view text) const;
    // align 1 centres the text on x, 0 ends it at x, anything else starts it at x. `pen`
    // (if given) receives the position after the text.
    void DrawText(float x, float y, std::string_view text, int align, TwVector* pen = nullptr);

    // The glyph's source rectangle in the strip; (0, 0, 0, 0) for a missing character.
    TwRect Glyph(char32_t ch) const {
        const TwRect* glyph = glyphs_.Find(ch);
        return glyph != nullptr ? *glyph : TwRect{};
    }
    bool HasGlyph(char32_t ch) const { return glyphs_.Find(ch) != nullptr; }
    // The character a text's malformed byte draws as: U+FFFD when the font has it, else '?'.
    char32_t Replacement() const { return replacement_; }
    std::size_t GlyphCount() const { return glyphs_.Size(); }
    const std::string& Codes() const { return codes_; }
    int MonoWidth() const { return monoWidth_; }
    // The height of a line of glyphs: one row of the strip (the whole strip for a strip of
    // one row, as every font had before the stacked rows).
    int LineHeight() const { return BandHeight(); }
    int CharDist() const { return charDist_; }
    int SpaceSize() const { return spaceSize_; }

private:
    bool Opaque(int column, int row) const;
    bool ColumnHasInk(int column, int band) const;
    // DrawChar with the font's tint as Argb() gives it.
    int DrawGlyph(float x, float y, char32_t ch, std::uint32_t argb);
    // What a text's character at `pos` draws as; `pos` moves past it.
    char32_t NextChar(std::string_view text, std::size_t& pos) const;
    void BuildCells();
    void BuildByScan();
    bool ScanGlyph(int band, int& column, char32_t ch);
    int BandHeight() const;

    std::string codes_;
    std::vector<char32_t> codePoints_;
    TwGlyphTable glyphs_;
    char32_t replacement_ = U'?'; // found again whenever the glyphs are built
    int monoWidth_ = 0;
    int charDist_ = 0;
    int spaceSize_ = 0;
    int stripWidth_ = 0;
    int stripHeight_ = 0;
    int rowHeight_ = 0;
    bool topDown_ = false;             // the file stores the top row first
    std::vector<std::uint8_t> pixels_; // strip bytes from file offset 12, 4 per pixel
};
