#include "gfx/TwImageData.h"

#include <algorithm>

#include "data/TwResourceManager.h"
#include "gfx/TwMissingResources.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwTextureCache.h"
#include "platform/picture/TwPicture.h"

bool TwBitMask::Solid(int column, int row) const {
    if (column < 0 || row < 0 || column >= width || row >= height) {
        return false;
    }
    return cells[std::size_t(row) * width + column] != 0;
}

namespace {

TwBitMask HalveMask(const TwBitMask& finer) {
    TwBitMask coarse;
    coarse.width = finer.width / 2;
    coarse.height = finer.height / 2;
    coarse.level = finer.level + 1;
    coarse.cells.assign(std::size_t(coarse.width) * coarse.height, 0);
    for (int x = 0; x < coarse.width; ++x) {
        for (int y = 0; y < coarse.height; ++y) {
            const int fx = std::min(2 * x + 1, finer.width - 1);
            const int fy = std::min(2 * y + 1, finer.height - 1);
            coarse.cells[std::size_t(y) * coarse.width + x] = finer.Solid(fx, fy) ? 1 : 0;
        }
    }
    return coarse;
}

TwImageInfo::FileFormat InfoFormat(TwPicture::Format format) {
    switch (format) {
    case TwPicture::Format::Dds:
        return TwImageInfo::FileFormat::Dds;
    case TwPicture::Format::Jpeg:
        return TwImageInfo::FileFormat::Jpeg;
    case TwPicture::Format::Tga:
        return TwImageInfo::FileFormat::Tga;
    case TwPicture::Format::Webp:
        return TwImageInfo::FileFormat::Webp;
    default:
        return TwImageInfo::FileFormat::None;
    }
}

} // namespace

TwMaskSet TwBuildMaskSet(int width, int height, const std::uint8_t* rgba) {
    TwBitMask full;
    full.width = std::max(width, 0);
    full.height = std::max(height, 0);
    full.cells.assign(std::size_t(full.width) * full.height, 0);
    for (std::size_t i = 0; i < full.cells.size(); ++i) {
        full.cells[i] = rgba[i * 4 + 3] != 0 ? 1 : 0;
    }
    TwMaskSet set;
    set.push_back(std::move(full));
    set.push_back(HalveMask(set[0]));
    set.push_back(HalveMask(set[1]));
    return set;
}

TwImageData::~TwImageData() {
    DropTexture();
    TwTextureCache::Instance().EraseIf(name, this);
}

void TwImageData::DropTexture() {
    if (texture != nullptr) {
        TwRenderDevice::Instance().DestroyTexture(texture);
        texture = nullptr;
    }
    textureWidth = textureHeight = 0;
}

bool TwImageData::FindFile(std::string& bytes) const {
    // The same picture may exist in several forms; the first one found wins.
    static const char* const kExtensions[] = {".Dds", ".Jpg", ".Tga", ".Webp"};
    for (const char* extension : kExtensions) {
        if (TwResourceManager::Instance().GetResource("Data/Textures/" + name + extension, bytes) !=
            -1) {
            return true;
        }
    }
    TwMissingResources::ReportFile(name);
    return false;
}

bool TwImageData::LoadOnDemand(const std::string& pictureName) {
    DropTexture();
    pending_ = false;
    name = pictureName;
    masks.reset();
    std::string bytes;
    int width = 0, height = 0;
    TwPicture::Format format = TwPicture::Format::None;
    if (!FindFile(bytes) || !TwPictureSize(bytes, width, height, format)) {
        return false;
    }
    info.Width = width;
    info.Height = height;
    info.Depth = 1;
    info.MipLevels = 1;
    info.ImageFileFormat = InfoFormat(format);
    pending_ = true;
    return true;
}

bool TwImageData::EnsureTexture() {
    if (texture == nullptr && pending_) {
        pending_ = false;
        const TwImageInfo sized = info;
        if (!Load(name, false)) {
            // The size read up front stays, so the layout does not jump; nothing is drawn.
            info = sized;
        }
    }
    return texture != nullptr;
}

bool TwImageData::Load(const std::string& pictureName, bool buildMask) {
    DropTexture();
    pending_ = false;
    name = pictureName;

    std::string bytes;
    if (!FindFile(bytes)) {
        return false;
    }

    TwPicture picture;
    if (!TwDecodePicture(bytes, picture)) {
        return false;
    }
    // A translation keeps only the words of an opaque English picture (see docs/ASSETS.md);
    // they are laid over the picture found above. A patch that does not decode or fit is
    // left out, showing the English words rather than nothing.
    std::string words;
    TwPicture patch;
    if (TwResourceManager::Instance().GetResource("Data/Textures/" + name + ".Words.Webp", words) >
            0 &&
        TwDecodePicture(words, patch)) {
        TwOverlayPicture(picture, patch);
    }
    info.Width = picture.width;
    info.Height = picture.height;
    info.Depth = 1;
    info.MipLevels = 1;
    info.ImageFileFormat = InfoFormat(picture.format);

    texture = TwRenderDevice::Instance().CreateTexture(picture.width, picture.height,
                                                       picture.rgba.data());
    if (texture == nullptr) {
        return false;
    }
    textureWidth = picture.width;
    textureHeight = picture.height;
    if (buildMask) {
        masks = std::make_unique<TwMaskSet>(
            TwBuildMaskSet(picture.width, picture.height, picture.rgba.data()));
    }
    return true;
}
