#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A decoded picture: RGBA, 8 bits per channel, top row first.
struct TwPicture {
    enum class Format { None, Dds, Jpeg, Tga, Webp };
    int width = 0;
    int height = 0;
    Format format = Format::None;
    std::vector<std::uint8_t> rgba; // width * height * 4

    std::uint8_t Alpha(int column, int row) const { return rgba[(row * width + column) * 4 + 3]; }
};

// Pictures larger than this on either side are refused (the game's are far smaller).
constexpr int kTwMaxPictureSide = 4096;

// Decodes a picture file held in memory: DDS (uncompressed 32/24-bit, DXT1/3/5) by its
// "DDS " signature, WebP by its RIFF header, JPEG by its start marker, otherwise TGA. Reads
// only the given bytes; a truncated, malformed or oversized picture gives false and leaves
// `out` empty.
bool TwDecodePicture(const std::uint8_t* bytes, std::size_t size, TwPicture& out);
inline bool TwDecodePicture(const std::string& bytes, TwPicture& out) {
    return TwDecodePicture(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), out);
}

// The size of a picture file without decoding it: WebP from its header alone, the other forms
// by decoding them. False for anything TwDecodePicture refuses up front (a header that does not
// parse, a size out of bounds); a WebP whose pixels are damaged is only found out when decoded.
bool TwPictureSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height,
                   TwPicture::Format& format);
inline bool TwPictureSize(const std::string& bytes, int& width, int& height,
                          TwPicture::Format& format) {
    return TwPictureSize(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), width,
                         height, format);
}

// Lays `over` on `base` where `over` is not clear (alpha above 0), replacing those pixels;
// the rest of `base` stays. False, with `base` untouched, unless both have the same size.
bool TwOverlayPicture(TwPicture& base, const TwPicture& over);

// The individual readers, for tests and tools.
bool TwDecodeDds(const std::uint8_t* bytes, std::size_t size, TwPicture& out);
bool TwDecodeJpeg(const std::uint8_t* bytes, std::size_t size, TwPicture& out);
bool TwDecodeTga(const std::uint8_t* bytes, std::size_t size, TwPicture& out);
bool TwDecodeWebp(const std::uint8_t* bytes, std::size_t size, TwPicture& out);
// True when the bytes start like a WebP file ("RIFF", size, "WEBP").
bool TwIsWebp(const std::uint8_t* bytes, std::size_t size);
// The size in a WebP file's header, when within kTwMaxPictureSide.
bool TwWebpSize(const std::uint8_t* bytes, std::size_t size, int& width, int& height);
