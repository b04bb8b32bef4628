#include <gtest/gtest.h>

#include "GfxTestSupport.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"
#include "gfx/TwMissingResources.h"

using zvtest::Pixels;

namespace {

// A strip whose ink test sees the given test columns as opaque: the test of column x reads
// the alpha of the stored pixel two columns to its left.
Pixels StripWithInk(int width, int height, std::initializer_list<std::pair<int, int>> testColumns) {
    Pixels p(width, height, 0x00000000);
    for (auto [from, to] : testColumns) {
        p.Fill(from - 2, 0, to - 2, height, 0xFFFFFFFF);
    }
    return p;
}

} // namespace

TEST(FontGlyphs, FixedWidthCells) {
    TwBitmapFont font;
    font.Configure("0123456789", 10, 3, 0);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(100, 12), 2, 32, false), 100, 12));
    EXPECT_EQ(font.Glyph('5'), (TwRect{50, 0, 60, 12}));
    EXPECT_EQ(font.TextWidth("55"), 20 + 2 * 3);
    // A character the font lacks is empty and advances by the spacing only.
    EXPECT_FALSE(font.HasGlyph('x'));
    EXPECT_EQ(font.Glyph('x'), TwRect{});
    EXPECT_EQ(font.DrawChar(0, 0, 'x'), 3);
    EXPECT_EQ(font.TextWidth("5x"), 13 + 3);

    // Cells stop at the strip's right edge.
    font.Configure("0123456789", 30, 0, 0);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(100, 12), 2, 32, false), 100, 12));
    EXPECT_EQ(font.GlyphCount(), 4u);
    EXPECT_EQ(font.Glyph('3'), (TwRect{90, 0, 120, 12}));
}

TEST(FontGlyphs, ScannedGlyphEdges) {
    TwBitmapFont font;
    font.Configure(" AB", -1, 1, 10);
    // 'A' has ink in test columns 40..47; 'B' runs into the strip's last column.
    const Pixels strip = StripWithInk(64, 6, {{40, 48}, {60, 64}});
    for (bool topDown : {false, true}) {
        ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(strip, 2, 32, topDown), 64, 6));
        EXPECT_EQ(font.Glyph(' '), (TwRect{0, 0, 10, 6}));
        EXPECT_EQ(font.Glyph('A'), (TwRect{39, 0, 46, 6}));
        EXPECT_FALSE(font.HasGlyph('B'));
    }
    // A grey strip scans like the colour strip it stands for.
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(strip, 3, 8, false), 64, 6));
    EXPECT_EQ(font.Glyph('A'), (TwRect{39, 0, 46, 6}));

    // Two narrow glyphs separated by one clear column.
    font.Configure("-xy", -1, 0, 0);
    ASSERT_TRUE(font.ReadStrip(
        zvtest::MakeTga(StripWithInk(40, 4, {{10, 12}, {13, 15}}), 2, 32, false), 40, 4));
    EXPECT_EQ(font.Glyph('-'), (TwRect{0, 0, 0, 4}));
    EXPECT_EQ(font.Glyph('x'), (TwRect{9, 0, 10, 4}));
    EXPECT_EQ(font.Glyph('y'), (TwRect{12, 0, 13, 4}));
}

TEST(FontGlyphs, BadStripsGiveNoGlyphsAndNeverReadPastTheFile) {
    TwBitmapFont font;
    font.Configure(" AB", -1, 0, 10);
    const std::string good = zvtest::MakeTga(StripWithInk(64, 6, {{40, 48}}), 2, 32, false);
    ASSERT_TRUE(font.ReadStrip(good, 64, 6));

    std::string rle = zvtest::MakeTga(StripWithInk(64, 6, {{40, 48}}), 10, 32, false);
    EXPECT_FALSE(font.ReadStrip(rle, 64, 6));
    EXPECT_EQ(font.GlyphCount(), 0u);
    std::string withId = good;
    withId[0] = 4;
    EXPECT_FALSE(font.ReadStrip(withId, 64, 6));
    EXPECT_FALSE(font.ReadStrip(good.substr(0, 11), 64, 6));
    EXPECT_FALSE(font.ReadStrip(good, -1, 6));

    // A cut strip reads as far as it goes; the rest is clear.
    const std::string cut = good.substr(0, 100);
    EXPECT_TRUE(font.ReadStrip(std::string_view(cut), 64, 6));
    EXPECT_FALSE(font.HasGlyph('A'));
    // A picture size larger than the file, and a space wider than the strip.
    EXPECT_TRUE(font.ReadStrip(good, 300, 300));
    font.Configure(" AB", -1, 0, 500);
    EXPECT_TRUE(font.ReadStrip(good, 64, 6));
    EXPECT_EQ(font.GlyphCount(), 1u);
}

TEST(FontText, AlignmentMovesTheStartAndThePen) {
    TwBitmapFont font;
    font.Configure("a", 31, 0, 0);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(31, 4), 2, 32, false), 31, 4));
    TwVector pen;
    font.DrawText(100, 7, "a", TwBitmapFont::AlignCentre, &pen);
    EXPECT_EQ(pen, TwVector(116, 7, 0)); // started at 85
    font.DrawText(100, 7, "a", TwBitmapFont::AlignRight, &pen);
    EXPECT_EQ(pen, TwVector(100, 7, 0));
    font.DrawText(100, 7, "a", TwBitmapFont::AlignLeft, &pen);
    EXPECT_EQ(pen, TwVector(131, 7, 0));
    font.DrawText(100, 7, "a", 9, &pen);
    EXPECT_EQ(pen, TwVector(131, 7, 0));
}

TEST(FontLoading, FromThePacksWithMissingPieces) {
    zvtest::ScopedPack pack;
    pack.Add("Data/Fonts.Txt", "Language = \"English\"\n"
                               "Digits = {\n Codes = \"0123456789\"\n FileName = \"Fonts/Digits\"\n"
                               " MonoWidth = 10\n CharDist = 1\n SpaceSize = 4\n}\n"
                               "Ghost = {\n Codes = \"ab\"\n FileName = \"Fonts/Ghost\"\n}\n");
    pack.Add("Data/Textures/Fonts/Digits.Tga", zvtest::MakeTga(Pixels(100, 14), 2, 32, false));
    ASSERT_TRUE(pack.Open());
    zvtest::CapturedMessages messages;

    TwFontTable& table = TwFontTable::Instance();
    TwBitmapFont* digits = table.Load(TwFontTable::Digits, "Digits");
    ASSERT_EQ(TwFontTable::Get(TwFontTable::Digits), digits);
    EXPECT_EQ(digits->Codes(), "0123456789");
    EXPECT_EQ(digits->CharDist(), 1);
    EXPECT_EQ(digits->SpaceSize(), 4);
    EXPECT_EQ(digits->Glyph('9'), (TwRect{90, 0, 100, 14}));
    EXPECT_TRUE(messages.Texts().empty());

    // A strip that is not in the packs: the picture is reported, then the font; only the
    // first report of a run is a box, the rest go to standard error.
    TwBitmapFont ghost;
    EXPECT_FALSE(ghost.Load("Ghost"));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "File 'Fonts/Ghost' - Not Found!");
    EXPECT_EQ(TwMissingResources::Count(), 2);
    EXPECT_EQ(ghost.GlyphCount(), 0u);
    EXPECT_EQ(ghost.TextWidth("ab"), 0);

    // A font block that does not exist: empty name, reported too, without a box.
    TwBitmapFont* none = table.Load(TwFontTable::MainFont, "NoSuchFont");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->MonoWidth(), 0);
    EXPECT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(TwMissingResources::Count(), 4);

    table.Clear();
    EXPECT_EQ(TwFontTable::Get(TwFontTable::Digits), nullptr);
}
