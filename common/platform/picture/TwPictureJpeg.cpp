#include "platform/picture/TwPicture.h"

#include <turbojpeg.h>

// JPEG pictures are decoded by libjpeg-turbo through its TurboJPEG interface, which reports
// every fault as a return value (nothing unwinds through our code). Warnings count as faults
// (a cut or damaged stream is refused rather than shown half grey), and progressive files
// with an absurd number of scans are refused before they can eat the start-up.

namespace {

struct Decompressor {
    tjhandle handle = tjInitDecompress();
    ~Decompressor() {
        if (handle != nullptr) {
            tjDestroy(handle);
        }
    }
    Decompressor() = default;
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

} // namespace

bool TwDecodeJpeg(const std::uint8_t* bytes, std::size_t size, TwPicture& out) {
    out = TwPicture{};
    if (bytes == nullptr || size < 2 || size > std::size_t(0x7FFFFFFF)) {
        return false;
    }
    Decompressor decoder;
    if (decoder.handle == nullptr) {
        return false;
    }
    int width = 0, height = 0, subsampling = 0, colourSpace = 0;
    if (tjDecompressHeader3(decoder.handle, bytes, static_cast<unsigned long>(size), &width,
                            &height, &subsampling, &colourSpace) != 0) {
        return false;
    }
    if (width < 1 || height < 1 || width > kTwMaxPictureSide || height > kTwMaxPictureSide) {
        return false;
    }
    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4);
    const int flags = TJFLAG_ACCURATEDCT | TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;
    if (tjDecompress2(decoder.handle, bytes, static_cast<unsigned long>(size), rgba.data(), width,
                      width * 4, height, TJPF_RGBA, flags) != 0) {
        return false;
    }
    out.width = width;
    out.height = height;
    out.format = TwPicture::Format::Jpeg;
    out.rgba = std::move(rgba);
    return true;
}
