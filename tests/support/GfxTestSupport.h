#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "TestSupport.h"

// Pictures, packs and a headless screen for the graphics tests. Every picture a test needs
// is built here from plain pixel lists; nothing comes from the game's asset packs.
namespace zvtest {

// RGBA pixels, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    Pixels() = default;
    Pixels(int w, int h, std::uint32_t fillRgba = 0);
    void Set(int x, int y, std::uint32_t rgbaValue); // 0xRRGGBBAA
    std::uint32_t Get(int x, int y) const;
    // Fills the rectangle [x0, x1) x [y0, y1).
    void Fill(int x0, int y0, int x1, int y1, std::uint32_t rgbaValue);
};

// TGA files: type 2 (32 or 24 bits), 3 (8-bit grey, from the red channel) or 10 (RLE,
// 32 bits); stored bottom row first unless topDown.
std::string MakeTga(const Pixels& p, int type, int bits, bool topDown);
// Uncompressed DDS: 32 bits with an alpha mask (A8R8G8B8) or without (X8R8G8B8), or 24 bits.
std::string MakeDds(const Pixels& p, int bits, bool withAlpha);
// A block-compressed DDS around ready-made blocks ("DXT1", "DXT3" or "DXT5").
std::string MakeDxtDds(const char* fourCC, int width, int height, const std::string& blocks);
// A baseline JPEG at the best quality.
std::string MakeJpeg(const Pixels& p);
// A PNG (RGBA); empty when it could not be encoded.
std::string MakePng(const Pixels& p);
// A lossless WebP file of the pixels.
std::string MakeWebp(const Pixels& p);

// A resource pack written to a temporary directory and opened as the only pack for the
// object's lifetime.
class ScopedPack {
public:
    ScopedPack();
    ~ScopedPack();
    ScopedPack(const ScopedPack&) = delete;
    ScopedPack& operator=(const ScopedPack&) = delete;
    ScopedPack& Add(const std::string& name, std::string bytes);
    // Writes the pack and opens it; false on failure.
    bool Open();

private:
    TempDir dir_;
    std::vector<std::pair<std::string, std::string>> entries_;
};

// Collects the player messages ("Error" boxes) shown while it lives.
class CapturedMessages {
public:
    CapturedMessages();
    ~CapturedMessages();
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;
    const std::vector<std::string>& Texts() const { return *texts_; }
    void Clear() { texts_->clear(); }

private:
    std::shared_ptr<std::vector<std::string>> texts_;
};

// The off-screen 800 x 600 renderer; true when it could be made.
bool EnsureHeadlessScreen();
// Reads back the frame drawn since the last StartScene: 800 * 600 ARGB values.
std::vector<std::uint32_t> ReadScreen();
inline std::uint32_t ScreenPixel(const std::vector<std::uint32_t>& screen, int x, int y) {
    return screen[std::size_t(y) * 800 + std::size_t(x)];
}

} // namespace zvtest
