// The game's main font drawing real text: plain ASCII draws exactly as it always has.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "GfxTestSupport.h"
#include "RenderCompare.h"
#include "data/TwHash.h"
#include "data/TwResourceManager.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwFontTable.h"
#include "gfx/TwRenderDevice.h"

namespace {

// The screen's pixels as bytes, lowest byte of each pixel first.
std::uint64_t Fnv1a(const std::vector<std::uint32_t>& pixels) {
    TwFnv1a64 hash;
    for (std::uint32_t p : pixels) {
        for (int i = 0; i < 4; ++i) {
            hash.Add(static_cast<std::uint8_t>(p >> (8 * i)));
        }
    }
    return hash.Value();
}

} // namespace

TEST(AsciiText, DrawsPixelForPixelAsBefore) {
    // The pixels were recorded from SDL's software renderer; the game's own compositor draws
    // the same within rounding (tests/app/CompositorTest.cpp), so the exact hash needs SDL's.
    zvtest::SdlReferenceRenderer sdl;
    ASSERT_TRUE(zvtest::EnsureHeadlessScreen());
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Resource.Twr"));
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang.Twr"));
    TwBitmapFont font;
    ASSERT_TRUE(font.Load("MainFont"));

    std::string ascii;
    for (char c = 32; c < 127; ++c) {
        ascii += c;
    }
    TwRenderDevice::Instance().StartScene();
    font.SetTint(255, 255, 255, 255);
    font.DrawText(10, 40, ascii.substr(0, 32), TwBitmapFont::AlignLeft);
    font.DrawText(400, 80, ascii.substr(32, 32), TwBitmapFont::AlignCentre);
    font.DrawText(790, 120, ascii.substr(64), TwBitmapFont::AlignRight);
    font.DrawText(400, 200, "WELCOME: Player 1#Clear every score#from this table?",
                  TwBitmapFont::AlignCentre);
    font.SetTint(255, 200, 40, 160);
    font.DrawText(20, 260, "The quick brown fox jumps over the lazy dog.", TwBitmapFont::AlignLeft);
    const std::vector<std::uint32_t> screen = zvtest::ReadScreen();
    ASSERT_EQ(screen.size(), 800u * 600u);
    EXPECT_EQ(font.TextWidth(ascii), 1079);
    // A line is one row of the strip, however many rows of other letters lie below it:
    // paragraphs keep their 18-pixel line spacing.
    EXPECT_EQ(font.LineHeight(), 24);
    EXPECT_GT(font.Height(), 24);
    // Recorded from the ASCII-only font, before the strip grew its other alphabets.
    EXPECT_EQ(Fnv1a(screen), 2744266388547418353ull);
    packs.CloseAll();
}

// A name or text with malformed UTF-8 (from a damaged file) draws the replacement mark for
// each bad byte, and the letters of every language draw from the same strip.
TEST(Utf8Text, MalformedBytesDrawTheReplacementMark) {
    ASSERT_TRUE(zvtest::EnsureHeadlessScreen());
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Lang.Twr"));
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Resource.Twr"));
    TwBitmapFont font;
    ASSERT_TRUE(font.Load("MainFont"));
    ASSERT_TRUE(font.HasGlyph(0xFFFD));
    const auto draw = [&font](const std::string& text) {
        TwRenderDevice::Instance().StartScene();
        font.SetTint(255, 255, 255, 255);
        font.DrawText(100, 100, text, TwBitmapFont::AlignLeft);
        return zvtest::ReadScreen();
    };
    const auto broken = draw("Bad\xFF\xC3 \xD0");
    EXPECT_EQ(broken, draw("Bad\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD"));
    EXPECT_NE(broken, draw("Bad "));
    // "Jürgen Юлия" draws wider than its ASCII letters alone, every letter with ink.
    EXPECT_GT(font.TextWidth("J\xC3\xBCrgen \xD0\xAE\xD0\xBB\xD0\xB8\xD1\x8F"),
              font.TextWidth("Jrgen ") + 4 * 6);
    EXPECT_NE(draw("\xD0\xAE"), draw(""));
    packs.CloseAll();
}
