#include <cstring>

#include "platform/picture/TwPicture.h"

// TGA pictures are decoded by stb_image, limited to that format and to memory input. The
// game's pictures are small; anything larger than kTwMaxPictureSide on a side is refused
// before stb allocates for it. Every block stb allocates starts zeroed.
#include <cstdlib>
#define STBI_MALLOC(size) std::calloc(1, size)
#define STBI_REALLOC(pointer, size) std::realloc(pointer, size)
#define STBI_FREE(pointer) std::free(pointer)
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
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

bool TwDecodeTga(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    if (bytes == nullptr || size == 0 || size > std::size_t(0x7FFFFFFF)) {
        return false;
    }
    if (!TgaIsComplete(bytes, size)) {
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
    out.format = TwPicture::Format::Tga;
    out.rgba.assign(pixels, pixels + std::size_t(width) * height * 4);
    stbi_image_free(pixels);
    return true;
}
