#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The forms the generator stores a picture in, chosen by its pixels: an opaque picture (every
// alpha 255) as JPEG at kJpegQuality with full-resolution colour (4:4:4), any other losslessly
// as WebP. The reasons and the figures are in docs/ASSETS.md.
constexpr int kJpegQuality = 95;

// The file extension a picture with these pixels is stored under (".Jpg" or ".Webp").
const char* PictureExtension(const std::vector<std::uint8_t>& rgba);

// Encodes straight RGBA pixels (top row first) in the form PictureExtension names. Empty on
// failure (a size that does not match, an encoder fault).
std::vector<std::uint8_t> EncodePicture(int width, int height,
                                        const std::vector<std::uint8_t>& rgba);

// Writes the picture to `stem` + its extension, creating folders on the way; the full path
// written goes to `path`. False on any failure.
bool WritePictureFile(const std::string& stem, int width, int height,
                      const std::vector<std::uint8_t>& rgba, std::string& path);

// Reads any picture file the game reads back into straight RGBA, top row first.
bool ReadPictureFile(const std::string& path, int& width, int& height,
                     std::vector<std::uint8_t>& rgba);
