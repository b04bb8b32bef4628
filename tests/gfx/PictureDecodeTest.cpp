#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "GfxTestSupport.h"
#include "platform/picture/TwPicture.h"

using zvtest::Pixels;

using namespace std::string_literals;

namespace {

// A 3 x 2 picture with a different colour and alpha in every pixel.
Pixels Sample() {
    Pixels p(3, 2);
    p.Set(0, 0, 0xFF000080);
    p.Set(1, 0, 0x00FF00FF);
    p.Set(2, 0, 0x0000FF40);
    p.Set(0, 1, 0x11223300);
    p.Set(1, 1, 0xFFFFFFFF);
    p.Set(2, 1, 0x808080C0);
    return p;
}

std::uint32_t PixelOf(const TwPicture& pic, int x, int y) {
    const std::uint8_t* px = &pic.rgba[(std::size_t(y) * pic.width + x) * 4];
    return std::uint32_t(px[0]) << 24 | std::uint32_t(px[1]) << 16 | std::uint32_t(px[2]) << 8 |
           px[3];
}

void ExpectPixels(const TwPicture& pic, const Pixels& expected, std::uint32_t mask = 0xFFFFFFFF) {
    ASSERT_EQ(pic.width, expected.width);
    ASSERT_EQ(pic.height, expected.height);
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            EXPECT_EQ(PixelOf(pic, x, y) & mask, expected.Get(x, y) & mask)
                << "at " << x << "," << y;
        }
    }
}

std::string Block8(std::uint16_t c0, std::uint16_t c1, std::uint32_t indices) {
    std::string b;
    b += char(c0 & 0xFF);
    b += char(c0 >> 8);
    b += char(c1 & 0xFF);
    b += char(c1 >> 8);
    for (int i = 0; i < 4; ++i) {
        b += char((indices >> (8 * i)) & 0xFF);
    }
    return b;
}

} // namespace

TEST(PictureDecode, TgaTypesAndOrientations) {
    const Pixels p = Sample();
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        TwPicture pic;
        ASSERT_TRUE(TwDecodePicture(zvtest::MakeTga(p, 2, 32, topDown), pic));
        EXPECT_EQ(pic.format, TwPicture::Format::Tga);
        ExpectPixels(pic, p);

        ASSERT_TRUE(TwDecodePicture(zvtest::MakeTga(p, 10, 32, topDown), pic));
        ExpectPixels(pic, p);

        ASSERT_TRUE(TwDecodePicture(zvtest::MakeTga(p, 2, 24, topDown), pic));
        ExpectPixels(pic, p, 0xFFFFFF00);
        EXPECT_EQ(pic.Alpha(0, 1), 255);

        // Grey pictures come back with the grey level in every colour channel.
        ASSERT_TRUE(TwDecodePicture(zvtest::MakeTga(p, 3, 8, topDown), pic));
        EXPECT_EQ(PixelOf(pic, 0, 0), 0xFFFFFFFFu);
        EXPECT_EQ(PixelOf(pic, 0, 1), 0x111111FFu);
    }
}

TEST(PictureDecode, DdsUncompressedFormats) {
    const Pixels p = Sample();
    TwPicture pic;
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDds(p, 32, true), pic));
    EXPECT_EQ(pic.format, TwPicture::Format::Dds);
    ExpectPixels(pic, p);

    // Without an alpha mask the fourth byte is ignored and every pixel is opaque.
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDds(p, 32, false), pic));
    ExpectPixels(pic, p, 0xFFFFFF00);
    EXPECT_EQ(pic.Alpha(0, 1), 255);

    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDds(p, 24, false), pic));
    ExpectPixels(pic, p, 0xFFFFFF00);
    EXPECT_EQ(pic.Alpha(2, 0), 255);
}

TEST(PictureDecode, DdsBlockCompressedFormats) {
    TwPicture pic;
    // DXT1, four-colour block (red > blue): texel i takes index i % 4.
    const std::string red_blue = Block8(0xF800, 0x001F, 0xE4E4E4E4);
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDxtDds("DXT1", 4, 4, red_blue), pic));
    EXPECT_EQ(PixelOf(pic, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(PixelOf(pic, 1, 0), 0x0000FFFFu);
    EXPECT_EQ(PixelOf(pic, 2, 0), 0xAA0055FFu); // two thirds red
    EXPECT_EQ(PixelOf(pic, 3, 3), 0x5500AAFFu);

    // DXT1 three-colour block (colour0 <= colour1): index 3 is transparent black.
    ASSERT_TRUE(
        TwDecodePicture(zvtest::MakeDxtDds("DXT1", 4, 4, Block8(0x001F, 0xF800, 0xE4E4E4E4)), pic));
    EXPECT_EQ(PixelOf(pic, 2, 0), 0x7F007FFFu);
    EXPECT_EQ(PixelOf(pic, 3, 0), 0x00000000u);

    // DXT3: explicit 4-bit alpha, texel i has alpha i * 17.
    std::string dxt3;
    for (int i = 0; i < 8; ++i) {
        dxt3 += char((2 * i) | ((2 * i + 1) << 4));
    }
    dxt3 += Block8(0x001F, 0xF800, 0); // colour0 everywhere, never transparent in DXT3
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDxtDds("DXT3", 4, 4, dxt3), pic));
    EXPECT_EQ(PixelOf(pic, 0, 0), 0x0000FF00u);
    EXPECT_EQ(PixelOf(pic, 3, 3), 0x0000FFFFu);
    EXPECT_EQ(PixelOf(pic, 1, 2), 0x0000FF00u | 9 * 17);

    // DXT5: alpha 255 and 0 with six steps between; texel 0 index 0, texel 1 index 1,
    // texel 2 index 2 (6/7 of 255).
    std::string dxt5;
    dxt5 += char(255);
    dxt5 += char(0);
    const std::uint64_t bits = 0 | 1 << 3 | 2 << 6;
    for (int i = 0; i < 6; ++i) {
        dxt5 += char((bits >> (8 * i)) & 0xFF);
    }
    dxt5 += Block8(0x07E0, 0x0000, 0);
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDxtDds("DXT5", 4, 4, dxt5), pic));
    EXPECT_EQ(PixelOf(pic, 0, 0), 0x00FF00FFu);
    EXPECT_EQ(PixelOf(pic, 1, 0), 0x00FF0000u);
    EXPECT_EQ(PixelOf(pic, 2, 0), 0x00FF00DAu);

    // Sizes that are not multiples of four use partial edge blocks.
    const std::string twoBlocks = red_blue + Block8(0x07E0, 0x0000, 0);
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeDxtDds("DXT1", 5, 3, twoBlocks), pic));
    EXPECT_EQ(pic.width, 5);
    EXPECT_EQ(pic.height, 3);
    EXPECT_EQ(PixelOf(pic, 4, 2), 0x00FF00FFu);
}

TEST(PictureDecode, JpegKeepsColoursClose) {
    Pixels p(16, 16, 0x2060C0FF);
    p.Fill(8, 0, 16, 16, 0xE0A010FF);
    const std::string jpeg = zvtest::MakeJpeg(p);
    ASSERT_FALSE(jpeg.empty());
    TwPicture pic;
    ASSERT_TRUE(TwDecodePicture(jpeg, pic));
    EXPECT_EQ(pic.format, TwPicture::Format::Jpeg);
    ASSERT_EQ(pic.width, 16);
    for (auto [x, expected] : {std::pair{2, 0x2060C0FFu}, std::pair{13, 0xE0A010FFu}}) {
        const std::uint32_t got = PixelOf(pic, x, 8);
        for (int shift = 8; shift < 32; shift += 8) {
            EXPECT_NEAR(int((got >> shift) & 0xFF), int((expected >> shift) & 0xFF), 6);
        }
        EXPECT_EQ(got & 0xFF, 0xFFu);
    }
}

TEST(PictureDecode, WebpKeepsEveryPixelAndRefusesOversizedPictures) {
    const Pixels p = Sample();
    TwPicture pic;
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeWebp(p), pic));
    EXPECT_EQ(pic.format, TwPicture::Format::Webp);
    ExpectPixels(pic, p);

    // Larger than the game accepts on one side, though a valid file.
    EXPECT_FALSE(
        TwDecodePicture(zvtest::MakeWebp(Pixels(kTwMaxPictureSide + 1, 1, 0xFF0000FF)), pic));
    EXPECT_TRUE(pic.rgba.empty());
    // A RIFF header naming WebP with nothing valid behind it.
    EXPECT_FALSE(TwDecodePicture("RIFF\x10\0\0\0WEBPVP8L\x04\0\0\0\x2F\xFF\xFF\xFF"s, pic));
}

TEST(PictureDecode, OverlayReplacesOnlyThePixelsThatAreNotClear) {
    TwPicture base;
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeTga(Sample(), 2, 32, false), base));
    Pixels words(3, 2, 0x00000000);
    words.Set(1, 0, 0x123456FF);
    words.Set(2, 1, 0xABCDEF01);
    TwPicture over;
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeWebp(words), over));
    ASSERT_TRUE(TwOverlayPicture(base, over));
    Pixels expected = Sample();
    expected.Set(1, 0, 0x123456FF);
    expected.Set(2, 1, 0xABCDEF01);
    ExpectPixels(base, expected);

    // Another size is refused and changes nothing.
    TwPicture small;
    ASSERT_TRUE(TwDecodePicture(zvtest::MakeWebp(Pixels(2, 2, 0xFFFFFFFF)), small));
    EXPECT_FALSE(TwOverlayPicture(base, small));
    ExpectPixels(base, expected);
}

// A JPEG with one more segment right after its start-of-image marker.
std::string WithSegment(const std::string& jpeg, unsigned char marker, const std::string& payload) {
    const std::size_t length = payload.size() + 2;
    std::string segment = {'\xFF', char(marker), char(length >> 8), char(length & 0xFF)};
    return jpeg.substr(0, 2) + segment + payload + jpeg.substr(2);
}

// Bytes FF C4 that only look like a Huffman table, followed by symbol counts far above 256.
std::string FakeTableBytes() {
    return "text \xFF\xC4\x00\x40\x10"s + std::string(16, '\x40') + " more text";
}

TEST(PictureDecode, TruncatedAndLyingFilesFailCleanly) {
    const Pixels p(8, 8, 0x336699FF);
    const std::string files[] = {
        WithSegment(zvtest::MakeJpeg(p), 0xFE, FakeTableBytes()),
        zvtest::MakeTga(p, 2, 32, false),
        zvtest::MakeTga(p, 10, 32, true),
        zvtest::MakeDds(p, 32, true),
        zvtest::MakeDds(p, 24, false),
        zvtest::MakeDxtDds("DXT5", 8, 8, std::string(64, '\x11')),
        zvtest::MakeJpeg(p),
        zvtest::MakeWebp(p),
    };
    for (const std::string& file : files) {
        TwPicture pic;
        ASSERT_TRUE(TwDecodePicture(file, pic));
        for (std::size_t cut : {std::size_t(0), std::size_t(3), std::size_t(17), std::size_t(100),
                                file.size() / 2, file.size() - 1}) {
            if (cut >= file.size()) {
                continue;
            }
            // Copied into an exact-size buffer so the sanitizers see any read past it.
            const std::string head = file.substr(0, cut);
            auto copy = std::make_unique<std::uint8_t[]>(std::max<std::size_t>(cut, 1));
            std::memcpy(copy.get(), head.data(), cut);
            TwPicture broken;
            const bool ok = TwDecodePicture(copy.get(), cut, broken);
            EXPECT_FALSE(ok) << "cut at " << cut;
            EXPECT_TRUE(broken.rgba.empty());
        }
    }

    // Headers that promise far more than the file holds.
    std::string hugeTga = zvtest::MakeTga(p, 2, 32, false);
    hugeTga[12] = hugeTga[13] = hugeTga[14] = hugeTga[15] = char(0xFF);
    TwPicture pic;
    EXPECT_FALSE(TwDecodePicture(hugeTga, pic));
    std::string hugeDds = zvtest::MakeDds(p, 32, true);
    hugeDds[12] = hugeDds[13] = char(0xFF);
    EXPECT_FALSE(TwDecodePicture(hugeDds, pic));
    EXPECT_FALSE(TwDecodePicture(zvtest::MakeDxtDds("DX10", 4, 4, std::string(64, 0)), pic));
    EXPECT_FALSE(TwDecodePicture(std::string("not a picture at all"), pic));

    // A JPEG Huffman table claiming more than 256 symbols.
    std::string jpeg = zvtest::MakeJpeg(p);
    const std::size_t table = jpeg.find("\xFF\xC4");
    ASSERT_NE(table, std::string::npos);
    for (std::size_t k = 0; k < 16; ++k) {
        jpeg[table + 5 + k] = char(0x40);
    }
    EXPECT_FALSE(TwDecodePicture(jpeg, pic));
}

// Comments and metadata may hold any bytes, FF C4 included: only real Huffman table segments
// count, and a real one that lies about its symbols is refused wherever it stands.
TEST(PictureDecode, JpegHuffmanGuardReadsOnlyRealTableSegments) {
    Pixels p(16, 16, 0x2060C0FF);
    const std::string jpeg = zvtest::MakeJpeg(p);
    TwPicture pic;
    for (unsigned char marker : {0xFE, 0xE1, 0xED}) { // comment, Exif, IPTC
        SCOPED_TRACE(int(marker));
        EXPECT_TRUE(TwDecodePicture(WithSegment(jpeg, marker, FakeTableBytes()), pic));
        EXPECT_EQ(pic.width, 16);
    }

    // A real table segment with too many symbols, as the first segment, after padding
    // between segments, and after the coded data of the scan.
    const std::string badTable = "\x10"s + std::string(16, '\x40');
    EXPECT_FALSE(TwDecodePicture(WithSegment(jpeg, 0xC4, badTable), pic));
    std::string padded = WithSegment(jpeg, 0xFE, "note");
    padded.insert(10, "\x00\x12\xFF\xC4\x00\x13"s + badTable);
    EXPECT_FALSE(TwDecodePicture(padded, pic));
    const std::size_t end = jpeg.rfind("\xFF\xD9");
    ASSERT_NE(end, std::string::npos);
    std::string afterScan = jpeg;
    afterScan.insert(end, "\xFF\xC4\x00\x13"s + badTable);
    EXPECT_FALSE(TwDecodePicture(afterScan, pic));

    // A segment length below 2 is read or refused, never walked backwards; a segment running
    // past the end of the file is refused.
    if (TwDecodePicture(jpeg.substr(0, 2) + "\xFF\xFE\x00\x01"s + jpeg.substr(2), pic)) {
        EXPECT_EQ(pic.rgba.size(), 16u * 16u * 4u);
    }
    const std::string runsPast = jpeg.substr(0, 2) + "\xFF\xFE\xFF\xF0xyz";
    std::vector<std::uint8_t> exact(runsPast.begin(), runsPast.end());
    EXPECT_FALSE(TwDecodePicture(exact.data(), exact.size(), pic));
}
