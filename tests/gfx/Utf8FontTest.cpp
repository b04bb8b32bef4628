// UTF-8 text in the bitmap fonts: code lists and texts are read one character at a time,
// glyph rows stacked in one strip are scanned in turn, and malformed bytes draw as the
// replacement glyph.
#include <gtest/gtest.h>

#include "GfxTestSupport.h"
#include "data/TwUtf8.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwGlyphTable.h"

using zvtest::Pixels;

TEST(Utf8Text, DecodesCharactersAndReplacesEveryMalformedByte) {
    const std::string text = "A\xC3\xA9\xD0\x96\xE2\x80\xA6\xF0\x9F\x98\x80"; // A é Ж … 😀
    std::size_t pos = 0;
    EXPECT_EQ(TwUtf8::Next(text, pos), U'A');
    EXPECT_EQ(TwUtf8::Next(text, pos), U'\u00E9');
    EXPECT_EQ(TwUtf8::Next(text, pos), U'\u0416');
    EXPECT_EQ(TwUtf8::Next(text, pos), U'\u2026');
    EXPECT_EQ(TwUtf8::Next(text, pos), U'\U0001F600');
    EXPECT_EQ(pos, text.size());
    EXPECT_EQ(TwUtf8::Length(text), 5u);
    for (char32_t c : {U'A', U'\u00E9', U'\u0416', U'\u2026', U'\U0001F600'}) {
        std::size_t at = 0;
        EXPECT_EQ(TwUtf8::Next(TwUtf8::Encode(c), at), c);
    }

    // Stray continuation, truncated sequence, overlong '/', surrogate, past U+10FFFF, a lone
    // lead byte at the very end: one replacement per bad byte, and the walk goes on.
    for (const std::string bad :
         {"\x80", "\xC3", "\xE2\x80", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xFF"}) {
        std::size_t at = 0;
        EXPECT_EQ(TwUtf8::Next(bad + "z", at), TwUtf8::kReplacement) << bad.size();
        EXPECT_EQ(at, 1u);
    }
    EXPECT_EQ(TwUtf8::Length("\xC3z"), 2u);

    // Removing the last character never splits one.
    EXPECT_EQ(TwUtf8::LastCharStart("J\xC3\xBC"), 1u);
    EXPECT_EQ(TwUtf8::LastCharStart("\xD0\xAE\xD0\xBB"), 2u);
    EXPECT_EQ(TwUtf8::LastCharStart("ab\x80"), 2u);
    EXPECT_EQ(TwUtf8::LastCharStart(""), 0u);
}

TEST(Utf8Font, MapsMultiByteCodesToTheirCells) {
    TwBitmapFont font;
    font.Configure("a\xC3\xA9\xD0\x96\xEF\xBF\xBD", 10, 0, 0); // a é Ж U+FFFD
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(40, 8), 2, 32, false), 40, 8));
    EXPECT_EQ(font.GlyphCount(), 4u);
    EXPECT_EQ(font.Glyph(U'\u00E9'), (TwRect{10, 0, 20, 8}));
    EXPECT_EQ(font.Glyph(U'\u0416'), (TwRect{20, 0, 30, 8}));
    EXPECT_FALSE(font.HasGlyph(0xC3)); // a lead byte is no character
    EXPECT_EQ(font.TextWidth("\xD0\x96"
                             "a"),
              20);
    // Malformed bytes measure (and draw) as the replacement glyph, one per byte.
    EXPECT_EQ(font.Replacement(), TwUtf8::kReplacement);
    EXPECT_EQ(font.TextWidth("\xC3"
                             "a\xFF"),
              30);

    // A font without U+FFFD falls back to '?'; without that either, the bad byte is empty.
    font.Configure("a?", 10, 1, 0);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(20, 8), 2, 32, false), 20, 8));
    EXPECT_EQ(font.Replacement(), U'?');
    EXPECT_EQ(font.TextWidth("\x80"), 11);
    font.Configure("a", 10, 1, 0);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(20, 8), 2, 32, false), 20, 8));
    EXPECT_EQ(font.TextWidth("\x80"), 1);
}

TEST(Utf8Font, ScansStackedRowsOneAfterAnother) {
    // Two rows of 6 pixels: the space and 'A' in the top row, 'Ж' and 'B' in the bottom one.
    // The ink test of column x reads the stored pixel two columns to its left.
    Pixels strip(64, 12, 0x00000000);
    strip.Fill(40 - 2, 0, 48 - 2, 6, 0xFFFFFFFF);
    strip.Fill(6 - 2, 6, 12 - 2, 12, 0xFFFFFFFF);
    strip.Fill(20 - 2, 6, 25 - 2, 12, 0xFFFFFFFF);
    TwBitmapFont font;
    font.Configure(" A\xD0\x96"
                   "B",
                   -1, 0, 10, 6);
    for (bool topDown : {false, true}) {
        ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(strip, 2, 32, topDown), 64, 12));
        EXPECT_EQ(font.Glyph(' '), (TwRect{0, 0, 10, 6}));
        EXPECT_EQ(font.Glyph('A'), (TwRect{39, 0, 46, 6}));
        EXPECT_EQ(font.Glyph(U'\u0416'), (TwRect{5, 6, 10, 12}));
        EXPECT_EQ(font.Glyph('B'), (TwRect{19, 6, 23, 12}));
    }
    // Without a row height the same strip is one tall row, whose first ink is the lower row's.
    font.Configure(" A\xD0\x96"
                   "B",
                   -1, 0, 10);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(strip, 2, 32, false), 64, 12));
    EXPECT_EQ(font.Glyph('A'), (TwRect{9, 0, 10, 12}));
}

// Glyphs are found by a flat table below U+0800 and a search above it: every character a font
// has is found on either side of that line and across it, a later cell for the same character
// replaces the earlier one, and nothing the font lacks is found anywhere, however large.
TEST(Utf8Font, FindsGlyphsOnEitherSideOfTheDirectTable) {
    TwGlyphTable table;
    table.Set(U'\U0001F600', TwRect{1, 0, 2, 1});
    table.Set(0x800, TwRect{2, 0, 3, 1});
    table.Set(0x7FF, TwRect{3, 0, 4, 1});
    table.Set(U'\uFFFD', TwRect{4, 0, 5, 1});
    table.Set(U'a', TwRect{5, 0, 6, 1});
    table.Set(0x800, TwRect{6, 0, 7, 1});
    EXPECT_EQ(table.Size(), 5u);
    ASSERT_NE(table.Find(0x800), nullptr);
    EXPECT_EQ(*table.Find(0x800), (TwRect{6, 0, 7, 1}));
    EXPECT_EQ(*table.Find(0x7FF), (TwRect{3, 0, 4, 1}));
    EXPECT_EQ(*table.Find(U'\uFFFD'), (TwRect{4, 0, 5, 1}));
    EXPECT_EQ(*table.Find(U'\U0001F600'), (TwRect{1, 0, 2, 1}));
    EXPECT_EQ(*table.Find(U'a'), (TwRect{5, 0, 6, 1}));
    for (char32_t missing :
         {char32_t(0), char32_t('b'), char32_t(0x7FE), char32_t(0x801), char32_t(0xFFFC),
          char32_t(0x10FFFF), char32_t(0x110000), char32_t(0xFFFFFFFF)}) {
        EXPECT_EQ(table.Find(missing), nullptr) << std::hex << std::uint32_t(missing);
    }
    table.Clear();
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_EQ(table.Find(U'a'), nullptr);
    EXPECT_EQ(table.Find(0x800), nullptr);

    // In a font: Polish and Russian letters, a symbol past the table, the replacement glyph.
    TwBitmapFont font;
    font.Configure("\xC5\x82\xD0\xAF\xE2\x82\xAC\xEF\xBF\xBD\xC5\x82", 10, 2, 0); // ł Я € U+FFFD ł
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(50, 8), 2, 32, false), 50, 8));
    EXPECT_EQ(font.GlyphCount(), 4u);
    EXPECT_EQ(font.Glyph(U'\u0142'), (TwRect{40, 0, 50, 8})); // the later cell
    EXPECT_EQ(font.Glyph(U'\u042F'), (TwRect{10, 0, 20, 8}));
    EXPECT_EQ(font.Glyph(U'\u20AC'), (TwRect{20, 0, 30, 8}));
    EXPECT_EQ(font.Glyph(U'\u20AD'), (TwRect{}));
    EXPECT_EQ(font.TextWidth("\xE2\x82\xAC\xFF\xD0\xAF"), 36); // € bad-byte Я
    // A font built again forgets the glyphs of the one before, the replacement glyph too.
    font.Configure("ab", 10, 2, 0);
    ASSERT_TRUE(font.ReadStrip(zvtest::MakeTga(Pixels(20, 8), 2, 32, false), 20, 8));
    EXPECT_FALSE(font.HasGlyph(U'\u20AC'));
    EXPECT_FALSE(font.HasGlyph(U'\u0142'));
    EXPECT_EQ(font.Replacement(), U'?');
    EXPECT_EQ(font.TextWidth("\xE2\x82\xAC"
                             "a"),
              2 + 12);
}
