// Decodes arbitrary bytes as a picture file (DDS, JPEG, TGA or WebP) and builds its hit masks;
// the size read from the file's header alone must be the decoded picture's.
#include <cstddef>
#include <cstdint>

#include "gfx/TwImageData.h"
#include "platform/picture/TwPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int width = 0, height = 0;
    TwPicture::Format format{};
    const bool sized = TwPictureSize(data, size, width, height, format);
    if (sized &&
        (width < 1 || height < 1 || width > kTwMaxPictureSide || height > kTwMaxPictureSide)) {
        __builtin_trap();
    }
    TwPicture picture;
    if (!TwDecodePicture(data, size, picture)) {
        if (!picture.rgba.empty()) {
            __builtin_trap(); // a failed decode must leave nothing behind
        }
        return 0;
    }
    if (picture.width < 1 || picture.height < 1 || picture.width > kTwMaxPictureSide ||
        picture.height > kTwMaxPictureSide ||
        picture.rgba.size() != std::size_t(picture.width) * picture.height * 4) {
        __builtin_trap();
    }
    if (!sized || width != picture.width || height != picture.height) {
        __builtin_trap(); // a picture that decodes has the size its header gives
    }
    const TwMaskSet masks = TwBuildMaskSet(picture.width, picture.height, picture.rgba.data());
    if (masks.size() != 3 || masks[2].width != picture.width / 4) {
        __builtin_trap();
    }
    return 0;
}
