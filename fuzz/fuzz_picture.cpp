// Decodes arbitrary bytes as a picture file (DDS, JPEG, TGA or WebP) and builds its hit masks.
#include <cstddef>
#include <cstdint>

#include "gfx/TwImageData.h"
#include "platform/picture/TwPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
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
    const TwMaskSet masks = TwBuildMaskSet(picture.width, picture.height, picture.rgba.data());
    if (masks.size() != 3 || masks[2].width != picture.width / 4) {
        __builtin_trap();
    }
    return 0;
}
