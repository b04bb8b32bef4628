#include <algorithm>
#include <memory>

#include "platform/window/TwVideoInternal.h"

namespace {

using TwVideo::State;
using TwVideo::VideoState;

bool IsOpaque(int width, int height, const std::uint8_t* rgba) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i) {
        if (rgba[i * 4 + 3] != 0xFF) {
            return false;
        }
    }
    return true;
}

// Makes the SDL texture of a picture in the renderer's layout, reordering the pixels on the
// way when the layouts differ.
SDL_Texture* UploadPicture(VideoState& s, int width, int height, const std::uint8_t* rgba) {
    const int pitch = width * 4;
    SDL_Texture* sdl =
        SDL_CreateTexture(s.renderer, s.textureFormat, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!sdl) {
        return nullptr;
    }
    if (s.textureFormat == SDL_PIXELFORMAT_RGBA32) {
        if (SDL_UpdateTexture(sdl, nullptr, rgba, pitch) != 0) {
            SDL_DestroyTexture(sdl);
            return nullptr;
        }
        return sdl;
    }
    // Reordered a band of rows at a time, so a large picture needs no second full-size copy.
    constexpr int kBandBytes = 256 * 1024;
    const int bandRows = std::max(1, std::min(height, kBandBytes / pitch));
    std::unique_ptr<std::uint8_t[]> band(
        new std::uint8_t[static_cast<std::size_t>(pitch) * static_cast<std::size_t>(bandRows)]);
    for (int row = 0; row < height; row += bandRows) {
        const int rows = std::min(bandRows, height - row);
        const SDL_Rect part{0, row, width, rows};
        if (SDL_ConvertPixels(width, rows, SDL_PIXELFORMAT_RGBA32,
                              rgba + static_cast<std::size_t>(row) * pitch, pitch, s.textureFormat,
                              band.get(), pitch) != 0 ||
            SDL_UpdateTexture(sdl, &part, band.get(), pitch) != 0) {
            SDL_DestroyTexture(sdl);
            return nullptr;
        }
    }
    return sdl;
}

} // namespace

namespace TwVideo {

void DropAllTexturePictures() {
    ForgetFrames();
    for (TwTexture* texture : State().textures) {
        if (texture->sdl) {
            SDL_DestroyTexture(texture->sdl);
            texture->sdl = nullptr;
        }
        if (texture->image) {
            pixman_image_unref(texture->image);
            texture->image = nullptr;
        }
    }
}

TwTexture* CreateTexture(int width, int height, const std::uint8_t* rgba) {
    VideoState& s = State();
    if (!HasRenderer() || !rgba || width <= 0 || height <= 0) {
        return nullptr;
    }
    auto* texture = new TwTexture{};
    texture->width = width;
    texture->height = height;
    if (s.composing) {
        texture->image = MakeImage(width, height, rgba, texture->opaque, texture->evenAlpha);
        if (!texture->image) {
            delete texture;
            return nullptr;
        }
    } else {
        texture->sdl = UploadPicture(s, width, height, rgba);
        if (!texture->sdl) {
            delete texture;
            return nullptr;
        }
        SDL_SetTextureBlendMode(texture->sdl, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(texture->sdl, SDL_ScaleModeLinear);
        texture->opaque = IsOpaque(width, height, rgba);
    }
    texture->serial = ++s.lastSerial;
    s.textures.insert(texture);
    return texture;
}

void DestroyTexture(TwTexture* texture) {
    VideoState& s = State();
    if (!texture || s.textures.erase(texture) == 0) {
        return; // unknown handle: never free what we did not hand out
    }
    if (texture->sdl) {
        // Quads of this frame may still use the picture: the renderer draws them first.
        DrawCollectedQuads();
        SDL_DestroyTexture(texture->sdl);
    }
    if (texture->image) {
        pixman_image_unref(texture->image); // the frame's quads hold their own reference
    }
    delete texture;
}

bool TextureSize(const TwTexture* texture, int& width, int& height) {
    if (!texture || State().textures.count(const_cast<TwTexture*>(texture)) == 0) {
        return false;
    }
    width = texture->width;
    height = texture->height;
    return true;
}

int LiveTextureCount() {
    return static_cast<int>(State().textures.size());
}

} // namespace TwVideo
