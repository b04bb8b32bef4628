#include "platform/TwPicture.h"

#include <cstring>

bool TwDecodePicture(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    if (bytes == nullptr || size == 0) {
        return false;
    }
    // A DDS file announces itself; JPEG and TGA are told apart by the JPEG start marker.
    if (size >= 4 && std::memcmp(bytes, "DDS ", 4) == 0) {
        return TwDecodeDds(bytes, size, out);
    }
    return TwDecodeJpegOrTga(bytes, size, out);
}
