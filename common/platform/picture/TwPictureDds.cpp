#include <array>
#include <bit>
#include <cstring>

#include "platform/picture/TwPicture.h"

// Reader for the DDS pictures the game ships: uncompressed 32-bit (with or without alpha)
// and 24-bit RGB, and the block-compressed DXT1, DXT3 and DXT5. Only the top mip level is
// read. Every read is checked against the file's size first.

namespace {

constexpr std::size_t kHeaderSize = 128; // "DDS " + the 124-byte header
constexpr std::uint32_t kPixelFormatAlpha = 0x1;
constexpr std::uint32_t kPixelFormatFourCC = 0x4;
constexpr std::uint32_t kPixelFormatRgb = 0x40;

std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}

std::uint16_t ReadU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

constexpr std::uint32_t FourCC(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

struct DdsHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t formatFlags = 0;
    std::uint32_t fourCC = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha
};

bool ReadHeader(const std::uint8_t* bytes, std::size_t size, DdsHeader& h) {
    if (size < kHeaderSize || ReadU32(bytes + 4) != 124) {
        return false;
    }
    h.height = ReadU32(bytes + 12);
    h.width = ReadU32(bytes + 16);
    const std::uint8_t* pf = bytes + 76;
    h.formatFlags = ReadU32(pf + 4);
    h.fourCC = ReadU32(pf + 8);
    h.bitCount = ReadU32(pf + 12);
    for (std::size_t i = 0; i < 4; ++i) {
        h.masks[i] = ReadU32(pf + 16 + 4 * i);
    }
    return h.width >= 1 && h.height >= 1 && h.width <= kTwMaxPictureSide &&
           h.height <= kTwMaxPictureSide;
}

// One channel of an uncompressed pixel, widened to 8 bits.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const std::uint32_t top = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return std::uint8_t(value * 255u / top);
}

bool DecodeUncompressed(const DdsHeader& h, const std::uint8_t* data, std::size_t available,
                        TwPicture& out) {
    if (h.bitCount != 32 && h.bitCount != 24) {
        return false;
    }
    const std::size_t pixelBytes = h.bitCount / 8;
    const std::size_t needed = std::size_t(h.width) * h.height * pixelBytes;
    if (available < needed) {
        return false;
    }
    const bool hasAlpha = (h.formatFlags & kPixelFormatAlpha) != 0 && h.masks[3] != 0;
    std::uint8_t* dst = out.rgba.data();
    for (std::size_t i = 0; i < std::size_t(h.width) * h.height; ++i) {
        const std::uint8_t* src = data + i * pixelBytes;
        std::uint32_t pixel = src[0] | src[1] << 8 | src[2] << 16;
        if (pixelBytes == 4) {
            pixel |= std::uint32_t(src[3]) << 24;
        }
        dst[0] = Channel(pixel, h.masks[0]);
        dst[1] = Channel(pixel, h.masks[1]);
        dst[2] = Channel(pixel, h.masks[2]);
        dst[3] = hasAlpha ? Channel(pixel, h.masks[3]) : 255;
        dst += 4;
    }
    return true;
}

using Rgba = std::array<std::uint8_t, 4>;

Rgba Expand565(std::uint16_t c) {
    const int r = (c >> 11) & 31, g = (c >> 5) & 63, b = c & 31;
    return {std::uint8_t(r * 255 / 31), std::uint8_t(g * 255 / 63), std::uint8_t(b * 255 / 31),
            255};
}

Rgba Mix(const Rgba& a, const Rgba& b, int wa, int wb) {
    Rgba m{};
    for (int i = 0; i < 3; ++i) {
        m[i] = std::uint8_t((a[i] * wa + b[i] * wb) / (wa + wb));
    }
    m[3] = 255;
    return m;
}

// The colour part of a DXT block: two 5:6:5 end points and sixteen 2-bit indices.
// `allowTransparent` is the DXT1 rule: with colour0 <= colour1 the block has three colours
// and transparent black.
void DecodeColourBlock(const std::uint8_t* block, bool allowTransparent, Rgba texels[16]) {
    const std::uint16_t c0 = ReadU16(block), c1 = ReadU16(block + 2);
    Rgba palette[4];
    palette[0] = Expand565(c0);
    palette[1] = Expand565(c1);
    if (c0 > c1 || !allowTransparent) {
        palette[2] = Mix(palette[0], palette[1], 2, 1);
        palette[3] = Mix(palette[0], palette[1], 1, 2);
    } else {
        palette[2] = Mix(palette[0], palette[1], 1, 1);
        palette[3] = {0, 0, 0, 0};
    }
    const std::uint32_t indices = ReadU32(block + 4);
    for (int i = 0; i < 16; ++i) {
        texels[i] = palette[(indices >> (2 * i)) & 3];
    }
}

void DecodeExplicitAlpha(const std::uint8_t* block, Rgba texels[16]) {
    for (int i = 0; i < 16; ++i) {
        const int nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
        texels[i][3] = std::uint8_t(nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const std::uint8_t* block, Rgba texels[16]) {
    const int a0 = block[0], a1 = block[1];
    int alpha[8] = {a0, a1};
    if (a0 > a1) {
        for (int i = 1; i <= 6; ++i) {
            alpha[i + 1] = ((7 - i) * a0 + i * a1) / 7;
        }
    } else {
        for (int i = 1; i <= 4; ++i) {
            alpha[i + 1] = ((5 - i) * a0 + i * a1) / 5;
        }
        alpha[6] = 0;
        alpha[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 0; i < 6; ++i) {
        bits |= std::uint64_t(block[2 + i]) << (8 * i);
    }
    for (int i = 0; i < 16; ++i) {
        texels[i][3] = std::uint8_t(alpha[(bits >> (3 * i)) & 7]);
    }
}

bool DecodeCompressed(const DdsHeader& h, const std::uint8_t* data, std::size_t available,
                      TwPicture& out) {
    std::size_t blockBytes = 16;
    if (h.fourCC == FourCC('D', 'X', 'T', '1')) {
        blockBytes = 8;
    } else if (h.fourCC != FourCC('D', 'X', 'T', '3') && h.fourCC != FourCC('D', 'X', 'T', '5')) {
        return false;
    }
    const std::size_t blocksWide = (h.width + 3) / 4, blocksHigh = (h.height + 3) / 4;
    if (available < blocksWide * blocksHigh * blockBytes) {
        return false;
    }
    const std::size_t w = h.width, ht = h.height;
    for (std::size_t by = 0; by < blocksHigh; ++by) {
        for (std::size_t bx = 0; bx < blocksWide; ++bx) {
            const std::uint8_t* block = data + (by * blocksWide + bx) * blockBytes;
            Rgba texels[16];
            if (blockBytes == 8) {
                DecodeColourBlock(block, true, texels);
            } else {
                DecodeColourBlock(block + 8, false, texels);
                if (h.fourCC == FourCC('D', 'X', 'T', '3')) {
                    DecodeExplicitAlpha(block, texels);
                } else {
                    DecodeInterpolatedAlpha(block, texels);
                }
            }
            // Blocks at the right and bottom edges may hang over the picture.
            for (std::size_t ty = 0; ty < 4 && by * 4 + ty < ht; ++ty) {
                for (std::size_t tx = 0; tx < 4 && bx * 4 + tx < w; ++tx) {
                    std::uint8_t* dst = out.rgba.data() + ((by * 4 + ty) * w + bx * 4 + tx) * 4;
                    std::memcpy(dst, texels[ty * 4 + tx].data(), 4);
                }
            }
        }
    }
    return true;
}

} // namespace

bool TwDecodeDds(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    DdsHeader h;
    if (bytes == nullptr || size < 4 || std::memcmp(bytes, "DDS ", 4) != 0 ||
        !ReadHeader(bytes, size, h)) {
        return false;
    }
    TwPicture picture;
    picture.width = int(h.width);
    picture.height = int(h.height);
    picture.format = TwPicture::Format::Dds;
    picture.rgba.assign(std::size_t(h.width) * h.height * 4, 0);
    const std::uint8_t* data = bytes + kHeaderSize;
    const std::size_t available = size - kHeaderSize;
    bool ok = false;
    if (h.formatFlags & kPixelFormatFourCC) {
        ok = DecodeCompressed(h, data, available, picture);
    } else if (h.formatFlags & kPixelFormatRgb) {
        ok = DecodeUncompressed(h, data, available, picture);
    }
    if (ok) {
        out = std::move(picture);
    }
    return ok;
}
