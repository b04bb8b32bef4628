#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/window/TwTexture.h"

// Facts about a picture file as decoded. Width and Height are the picture's size in pixels,
// used for every draw whatever size the texture itself has.
struct TwImageInfo {
    int Width = 0;
    int Height = 0;
    int Depth = 1;
    int MipLevels = 1;
    // Which reader decoded the file.
    enum class FileFormat { None, Dds, Jpeg, Tga, Webp };
    FileFormat ImageFileFormat = FileFormat::None;
};

// One level of a picture's hit mask: one byte per cell, 1 solid and 0 transparent, row 0 at
// the top of the picture. Level 0 is full size; levels 1 and 2 are halved again and again.
struct TwBitMask {
    int width = 0;
    int height = 0;
    int level = 0;
    std::vector<std::uint8_t> cells; // width * height, row after row

    // The cell at (column, row); cells outside the mask are transparent.
    bool Solid(int column, int row) const;
};

// The three hit-mask levels of a picture, full size first.
using TwMaskSet = std::vector<TwBitMask>;

// Builds the three mask levels from a decoded picture (RGBA, top row first): a cell is solid
// when its pixel's alpha is non-zero. A coarse cell takes the value of the last of the up to
// four finer cells it covers; odd sizes simply drop the last finer column or row.
TwMaskSet TwBuildMaskSet(int width, int height, const std::uint8_t* rgba);

// A picture loaded from the packs into a texture, shared by every image that shows it: each
// image holds it through a std::shared_ptr, and the cache (TwTextureCache) finds it by name
// without holding it. Dies with its last holder and then leaves the cache.
class TwImageData : public std::enable_shared_from_this<TwImageData> {
public:
    TwImageData() = default;
    TwImageData(const TwImageData&) = delete;
    TwImageData& operator=(const TwImageData&) = delete;
    ~TwImageData();

    // (Re)loads "Data/Textures/" + name + ".Dds", ".Jpg", ".Tga" or ".Webp" (first found wins) into
    // a texture. True when a texture was made. A picture in no pack shows the not-found box; a
    // picture that cannot be decoded or uploaded fails quietly. `info` is filled whenever the file
    // decodes, even without a render device; masks are built only on request.
    bool Load(const std::string& name, bool buildMask);
    // Finds the picture and reads its size into `info` like Load, but makes its texture only
    // when it is first drawn (EnsureTexture): a dialog that is never opened costs no memory
    // and no decoding. False when the picture is missing or its size cannot be read.
    bool LoadOnDemand(const std::string& name);
    // Makes the texture of a picture loaded on demand, once (a picture that then fails to
    // decode stays without one). True when there is a texture.
    bool EnsureTexture();
    // True while the texture of a picture loaded on demand is still to be made.
    bool TexturePending() const { return pending_; }

    TwImageInfo info;
    TwTexture* texture = nullptr; // owned
    int textureWidth = 0;         // the size the texture was made with
    int textureHeight = 0;
    std::string name; // as requested: no directory, no extension
    std::unique_ptr<TwMaskSet> masks;

private:
    void DropTexture();
    // The bytes of the first form of the picture found in the packs; false when there is none.
    bool FindFile(std::string& bytes) const;

    bool pending_ = false;
};
