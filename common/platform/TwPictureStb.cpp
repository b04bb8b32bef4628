#include <cstring>

#include "platform/TwPicture.h"

// JPEG and TGA pictures are decoded by stb_image, limited to those two formats and to
// memory input. The game's pictures are small; anything larger than kTwMaxPictureSide on a
// side is refused before stb allocates for it.
// Every block stb allocates starts zeroed: a hostile JPEG whose scan names a Huffman table
// it never defined then decodes against an empty table (and fails) instead of reading
// whatever the allocation held before.
#include <cstdlib>
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(pointer, size) std::realloc(pointer, size)
#define STBI_FREE(pointer) std::free(pointer)
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 4096
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

static_assert(STBI_MAX_DIMENSIONS == kTwMaxPictureSide);

namespace {

bool IsJpeg(const std::uint8_t* bytes, std::size_t size) {
    return size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8;
}

// stb trusts the symbol counts of a Huffman table (JPEG marker 0xFFC4) and writes one entry
// per symbol into 256-entry arrays. Each table of one DHT segment must have at most 256
// symbols; a table cut off by the end of the file reads as zeros, as stb reads it.
bool DhtTablesFit(const std::uint8_t* bytes, std::size_t size, std::size_t segment) {
    auto at = [&](std::size_t i) -> std::size_t { return i < size ? bytes[i] : 0; };
    std::size_t p = segment;
    long left = long(at(p) << 8 | at(p + 1)) - 2;
    p += 2;
    while (left > 0 && p < size) {
        std::size_t symbols = 0;
        for (std::size_t k = 0; k < 16; ++k) {
            symbols += at(p + 1 + k);
        }
        if (symbols > 256) {
            return false;
        }
        p += 17 + symbols;
        left -= long(17 + symbols);
    }
    return true;
}

// Markers without a length field after them.
bool IsStandalone(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

// Finds the next marker from `p` on the way the decoder looks for one where no segment is
// expected (after a segment's end, inside a scan's coded data): 0xFF followed, after any fill
// bytes 0xFF, by a byte other than 0x00 (a stuffed zero in coded data). Restart markers belong
// to the coded data and are stepped over. Returns the position of the marker byte, or `size`.
std::size_t NextMarker(const std::uint8_t* bytes, std::size_t size, std::size_t p, bool inScan) {
    for (; p + 1 < size; ++p) {
        if (bytes[p] != 0xFF) {
            continue;
        }
        const std::uint8_t next = bytes[p + 1];
        if (next == 0x00 || next == 0xFF) {
            continue;
        }
        if (inScan && next >= 0xD0 && next <= 0xD7) {
            continue;
        }
        return p + 1;
    }
    return size;
}

// Walks the file's marker segments as the decoder reads them and checks every Huffman table
// segment. Comment and metadata segments are skipped by their length, so bytes FF C4 inside
// them are never taken for a table; wherever the decoder searches byte by byte (coded data,
// padding between segments) every FF C4 it could find is checked. A length below 2 cannot be
// walked and is refused; a segment running past the end of the file ends the walk, as the
// decoder then reads nothing more.
bool HuffmanTablesFit(const std::uint8_t* bytes, std::size_t size) {
    std::size_t p = NextMarker(bytes, size, 2, false);
    while (p < size) {
        const std::uint8_t marker = bytes[p];
        if (marker == 0xD9) {
            return true; // end of image: the decoder stops here
        }
        if (IsStandalone(marker)) {
            p = NextMarker(bytes, size, p + 1, false);
            continue;
        }
        if (p + 2 >= size) {
            return true; // no room for a length: nothing more is read
        }
        const std::size_t length = std::size_t(bytes[p + 1]) << 8 | bytes[p + 2];
        if (length < 2) {
            return false;
        }
        if (marker == 0xC4 && !DhtTablesFit(bytes, size, p + 1)) {
            return false;
        }
        const std::size_t end = p + 1 + length;
        if (end >= size) {
            return true;
        }
        // After a scan header comes the scan's coded data, searched byte by byte.
        p = NextMarker(bytes, size, end, marker == 0xDA);
    }
    return true;
}

// Walks the run-length packets of a TGA body: true when they code all `pixels` within the
// bytes given (stb would quietly fill a cut picture with black).
bool RunLengthBodyIsComplete(const std::uint8_t* body, std::size_t size, std::size_t pixels,
                             std::size_t pixelBytes) {
    std::size_t at = 0, coded = 0;
    while (coded < pixels) {
        if (at >= size) {
            return false;
        }
        const std::size_t header = body[at++];
        const std::size_t count = (header & 0x7F) + 1;
        const std::size_t packetBytes = (header & 0x80) ? pixelBytes : count * pixelBytes;
        if (packetBytes > size - at) {
            return false;
        }
        at += packetBytes;
        coded += count;
    }
    return true;
}

// A TGA file has no signature, and its header alone decides how much stb allocates. Refuse
// headers that promise more pixels than the file could possibly hold: an uncompressed
// picture must be all there, and run-length packets must code every pixel.
bool TgaIsComplete(const std::uint8_t* bytes, std::size_t size) {
    constexpr std::size_t kHeader = 18;
    if (size < kHeader) {
        return false;
    }
    const int type = bytes[2];
    const std::size_t idLength = bytes[0];
    const std::size_t mapLength = std::size_t(bytes[5] | bytes[6] << 8);
    const std::size_t mapEntryBytes = (std::size_t(bytes[7]) + 7) / 8;
    const std::size_t width = std::size_t(bytes[12] | bytes[13] << 8);
    const std::size_t height = std::size_t(bytes[14] | bytes[15] << 8);
    const std::size_t pixelBytes = (std::size_t(bytes[16]) + 7) / 8;
    const std::size_t pixels = width * height;
    const std::size_t mapBytes = bytes[1] ? mapLength * mapEntryBytes : 0;
    if (pixels == 0 || pixelBytes == 0 || kHeader + idLength + mapBytes > size) {
        return false;
    }
    const std::size_t body = size - kHeader - idLength - mapBytes;
    if (type == 1 || type == 2 || type == 3) {
        return pixels * pixelBytes <= body;
    }
    if (type == 9 || type == 10 || type == 11) {
        return RunLengthBodyIsComplete(bytes + (size - body), body, pixels, pixelBytes);
    }
    return false;
}

} // namespace

bool TwDecodeJpegOrTga(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    if (bytes == nullptr || size == 0 || size > std::size_t(0x7FFFFFFF)) {
        return false;
    }
    const bool jpeg = IsJpeg(bytes, size);
    if (jpeg ? !HuffmanTablesFit(bytes, size) : !TgaIsComplete(bytes, size)) {
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(bytes, int(size), &width, &height, &channels, 4);
    if (pixels == nullptr) {
        return false;
    }
    if (width < 1 || height < 1 || width > kTwMaxPictureSide || height > kTwMaxPictureSide) {
        stbi_image_free(pixels);
        return false;
    }
    out.width = width;
    out.height = height;
    out.format = jpeg ? TwPicture::Format::Jpeg : TwPicture::Format::Tga;
    out.rgba.assign(pixels, pixels + std::size_t(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}
