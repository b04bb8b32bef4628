#include "platform/picture/TwPicture.h"

#include <cstring>

bool TwDecodePicture(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    if (bytes == nullptr || size == 0) {
        return false;
    }
    // DDS and WebP announce themselves, JPEG by its start marker; TGA has no signature.
    if (size >= 4 && std::memcmp(bytes, "DDS ", 4) == 0) {
        return TwDecodeDds(bytes, size, out);
    }
    if (TwIsWebp(bytes, size)) {
        return TwDecodeWebp(bytes, size, out);
    }
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) {
        return TwDecodeJpeg(bytes, size, out);
    }
    return TwDecodeTga(bytes, size, out);
}

bool TwPictureSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height,
                   TwPicture::Format& format) {
    width = height = 0;
    format = TwPicture::Format::None;
    if (bytes != nullptr && TwIsWebp(bytes, size)) {
        if (!TwWebpSize(bytes, size, width, height)) {
            return false;
        }
        format = TwPicture::Format::Webp;
        return true;
    }
    TwPicture picture;
    if (!TwDecodePicture(bytes, size, picture)) {
        return false;
    }
    width = picture.width;
    height = picture.height;
    format = picture.format;
    return true;
}

bool TwOverlayPicture(TwPicture& base, const TwPicture& over) {
    if (base.width != over.width || base.height != over.height ||
        base.rgba.size() != over.rgba.size()) {
        return false;
    }
    for (std::size_t i = 0; i + 3 < over.rgba.size(); i += 4) {
        if (over.rgba[i + 3] != 0) {
            std::memcpy(&base.rgba[i], &over.rgba[i], 4);
        }
    }
    return true;
}
