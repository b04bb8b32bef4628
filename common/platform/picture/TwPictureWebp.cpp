#include "platform/picture/TwPicture.h"

#include <cstring>
#include <webp/decode.h>

// WebP pictures (the game stores its pictures with transparency as lossless WebP) are decoded
// by libwebp straight into the picture's own buffer. The size comes from the file's header
// and is checked before anything is allocated for it.

bool TwIsWebp(const std::uint8_t* bytes, std::size_t size) {
    return size >= 12 && std::memcmp(bytes, "RIFF", 4) == 0 &&
           std::memcmp(bytes + 8, "WEBP", 4) == 0;
}

bool TwWebpSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height) {
    width = height = 0;
    if (bytes == nullptr || !TwIsWebp(bytes, size) || !WebPGetInfo(bytes, size, &width, &height)) {
        return false;
    }
    return width >= 1 && height >= 1 && width <= kTwMaxPictureSide && height <= kTwMaxPictureSide;
}

bool TwDecodeWebp(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    int width = 0, height = 0;
    if (!TwWebpSize(bytes, size, width, height)) {
        return false;
    }
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
    if (WebPDecodeRGBAInto(bytes, size, rgba.data(), rgba.size(), width * 4) == nullptr) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.format = TwPicture::Format::Webp;
    out.rgba = std::move(rgba);
    return true;
}
