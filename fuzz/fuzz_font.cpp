// Builds a font's glyph table from arbitrary strip bytes and settings, then measures text.
// Input: byte 0 picks the layout (odd: scanned columns, even: fixed cells of that width / 2),
// byte 1 the spacing, byte 2 the space width, byte 3 the number of codes; the rest is the
// strip's .Tga file. The strip's size comes from its own header, bounded for speed.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "gfx/TwBitmapFont.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const int monoWidth = (data[0] & 1) ? -1 : data[0] / 2;
    const int charDist = data[1] < 128 ? data[1] : data[1] - 256; // a signed byte
    const int spaceSize = data[2];
    const std::string allCodes = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const std::string codes = allCodes.substr(0, std::min<std::size_t>(data[3], allCodes.size()));
    const std::string_view strip(reinterpret_cast<const char*>(data + 4), size - 4);

    int width = 0, height = 0;
    if (strip.size() >= 16) {
        width = std::min(256, int(std::uint8_t(strip[12]) | std::uint8_t(strip[13]) << 8));
        height = std::min(64, int(std::uint8_t(strip[14]) | std::uint8_t(strip[15]) << 8));
    }

    TwBitmapFont font;
    font.Configure(codes, monoWidth, charDist, spaceSize);
    if (!font.ReadStrip(strip, width, height)) {
        if (font.GlyphCount() != 0) {
            __builtin_trap();
        }
        return 0;
    }
    long expected = 0;
    for (char ch : codes) {
        const TwRect glyph = font.Glyph(char32_t(std::uint8_t(ch)));
        if (glyph.top != 0 || glyph.bottom != height) {
            if (font.HasGlyph(char32_t(std::uint8_t(ch)))) {
                __builtin_trap();
            }
        }
        expected += glyph.Width() + charDist;
    }
    if (font.TextWidth(codes) != expected) {
        __builtin_trap();
    }
    // The strip's own bytes as a text: mostly malformed UTF-8, which measures as one
    // replacement glyph (or nothing) per bad byte, never more.
    const std::string_view text = strip.substr(0, std::min<std::size_t>(strip.size(), 256));
    long widest = 0;
    for (char ch : codes) {
        widest = std::max<long>(widest, font.Glyph(char32_t(std::uint8_t(ch))).Width());
    }
    if (font.TextWidth(text) > long(text.size()) * (widest + std::max(charDist, 0))) {
        __builtin_trap();
    }
    return 0;
}
