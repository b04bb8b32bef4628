// The SDL renderer backend: each quad becomes a rectangle copy or textured triangles of SDL's
// renderer (a graphics card's, or SDL's own software renderer where asked for by name).
#include <algorithm>
#include <cmath>
#include <memory>

#include "platform/window/TwVideoInternal.h"

namespace {

SDL_Color ToColor(std::uint32_t argb) {
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                     static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

// An upright quad (not turned, possibly mirrored or scaled) as a rectangle copy: the
// software renderer blends rectangles with its blitters, many times faster than filling two
// textured triangles pixel by pixel.
bool CopyUprightQuad(SDL_Renderer* renderer, const FrameQuad& quad) {
    const TwQuadCorner* c = quad.corners;
    if (c[0].y != c[1].y || c[2].y != c[3].y || c[0].x != c[2].x || c[1].x != c[3].x) {
        return false;
    }
    const float u0 = c[0].u, v0 = c[0].v, u1 = c[3].u, v1 = c[3].v;
    if (u0 != std::floor(u0) || v0 != std::floor(v0) || u1 != std::floor(u1) ||
        v1 != std::floor(v1) || u1 <= u0 || v1 <= v0) {
        return false; // texel edges off the pixel grid: leave it to the triangles
    }
    int flip = SDL_FLIP_NONE;
    float left = c[0].x, right = c[1].x, top = c[0].y, bottom = c[2].y;
    if (right < left) {
        std::swap(left, right);
        flip |= SDL_FLIP_HORIZONTAL;
    }
    if (bottom < top) {
        std::swap(top, bottom);
        flip |= SDL_FLIP_VERTICAL;
    }
    SDL_Texture* sdl = quad.texture->sdl;
    const SDL_Color color = ToColor(quad.argb);
    SDL_SetTextureColorMod(sdl, color.r, color.g, color.b);
    SDL_SetTextureAlphaMod(sdl, color.a);
    // An opaque picture drawn without transparency covers what is under it: copying it is
    // the same picture as blending it, and several times cheaper.
    const bool covers = quad.texture->opaque && color.a == 255;
    SDL_SetTextureBlendMode(sdl, covers ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    const SDL_Rect src{static_cast<int>(u0), static_cast<int>(v0), static_cast<int>(u1 - u0),
                       static_cast<int>(v1 - v0)};
    const SDL_FRect dest{left, top, right - left, bottom - top};
    const int result = flip == SDL_FLIP_NONE
                           ? SDL_RenderCopyF(renderer, sdl, &src, &dest)
                           : SDL_RenderCopyExF(renderer, sdl, &src, &dest, 0, nullptr,
                                               static_cast<SDL_RendererFlip>(flip));
    return result == 0;
}

bool RenderQuad(SDL_Renderer* renderer, const FrameQuad& quad) {
    TwTexture* texture = quad.texture;
    if (!texture->sdl) {
        return false;
    }
    if (CopyUprightQuad(renderer, quad)) {
        return true;
    }
    SDL_SetTextureBlendMode(texture->sdl, SDL_BLENDMODE_BLEND);
    const SDL_Color color = ToColor(quad.argb);
    const float invW = 1.0f / static_cast<float>(texture->width);
    const float invH = 1.0f / static_cast<float>(texture->height);
    const TwQuadCorner* corners = quad.corners;
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        vertices[i].position = SDL_FPoint{corners[i].x, corners[i].y};
        vertices[i].color = color;
        vertices[i].tex_coord = SDL_FPoint{corners[i].u * invW, corners[i].v * invH};
    }
    // A quad whose top edge is not horizontal (a turned sprite) is drawn as a fan around its
    // centre: the software renderer takes any two-triangle quad with axis-aligned corners for
    // a plain blit and would then lose a quarter turn.
    const bool turned = std::fabs(corners[1].y - corners[0].y) > 0.001f;
    if (!turned) {
        static const int kQuad[6] = {0, 1, 2, 1, 3, 2};
        return SDL_RenderGeometry(renderer, texture->sdl, vertices, 4, kQuad, 6) == 0;
    }
    SDL_Vertex fan[5] = {vertices[0], vertices[1], vertices[2], vertices[3], vertices[0]};
    SDL_Vertex& centre = fan[4];
    centre.position = SDL_FPoint{0, 0};
    centre.tex_coord = SDL_FPoint{0, 0};
    for (const SDL_Vertex& corner : vertices) {
        centre.position.x += 0.25f * corner.position.x;
        centre.position.y += 0.25f * corner.position.y;
        centre.tex_coord.x += 0.25f * corner.tex_coord.x;
        centre.tex_coord.y += 0.25f * corner.tex_coord.y;
    }
    static const int kFan[12] = {0, 1, 4, 1, 3, 4, 3, 2, 4, 2, 0, 4};
    return SDL_RenderGeometry(renderer, texture->sdl, fan, 5, kFan, 12) == 0;
}

bool IsOpaque(int width, int height, const std::uint8_t* rgba) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i) {
        if (rgba[i * 4 + 3] != 0xFF) {
            return false;
        }
    }
    return true;
}

// Pictures are kept in the renderer's own pixel layout (the first 32-bit layout with alpha it
// lists), so drawing them blends straight into the window's picture instead of reordering
// the channels of every pixel in every frame.
Uint32 PreferredTextureFormat(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) == 0) {
        for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
            const Uint32 format = info.texture_formats[i];
            if (!SDL_ISPIXELFORMAT_FOURCC(format) && SDL_ISPIXELFORMAT_ALPHA(format) &&
                SDL_BYTESPERPIXEL(format) == 4) {
                return format;
            }
        }
    }
    return SDL_PIXELFORMAT_RGBA32;
}

// Makes the SDL texture of a picture in the renderer's layout, reordering the pixels on the
// way when the layouts differ.
SDL_Texture* UploadPicture(SDL_Renderer* renderer, Uint32 textureFormat, int width, int height,
                           const std::uint8_t* rgba) {
    const int pitch = width * 4;
    SDL_Texture* sdl =
        SDL_CreateTexture(renderer, textureFormat, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!sdl) {
        return nullptr;
    }
    if (textureFormat == SDL_PIXELFORMAT_RGBA32) {
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
                              rgba + static_cast<std::size_t>(row) * pitch, pitch, textureFormat,
                              band.get(), pitch) != 0 ||
            SDL_UpdateTexture(sdl, &part, band.get(), pitch) != 0) {
            SDL_DestroyTexture(sdl);
            return nullptr;
        }
    }
    return sdl;
}

class SdlRendererBackend : public TwFrameBackend {
public:
    explicit SdlRendererBackend(SDL_Renderer* renderer)
        : renderer_(renderer), textureFormat_(PreferredTextureFormat(renderer)) {}

    void Close() override {
        if (renderer_) {
            SDL_DestroyRenderer(renderer_);
            renderer_ = nullptr;
        }
    }

    bool Upload(TwTexture& texture, const std::uint8_t* rgba) override {
        texture.sdl = UploadPicture(renderer_, textureFormat_, texture.width, texture.height, rgba);
        if (!texture.sdl) {
            return false;
        }
        SDL_SetTextureBlendMode(texture.sdl, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(texture.sdl, SDL_ScaleModeLinear);
        texture.opaque = IsOpaque(texture.width, texture.height, rgba);
        return true;
    }

    void Drop(TwTexture& texture) override {
        if (texture.sdl) {
            // Quads of this frame may still use the picture: the renderer draws them first.
            TwVideo::DrawCollectedQuads();
            SDL_DestroyTexture(texture.sdl);
            texture.sdl = nullptr;
        }
    }

    void DrawCollected(FrameRecord& f) override {
        if (f.clearAsked && !f.cleared) {
            SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
            SDL_RenderClear(renderer_);
            f.cleared = true;
        }
        for (; f.drawn < f.quads.size(); ++f.drawn) {
            RenderQuad(renderer_, f.quads[f.drawn]);
        }
    }

    void Present(FrameRecord& frame, bool) override {
        DrawCollected(frame);
        SDL_RenderPresent(renderer_);
    }

    void Finish() override { SDL_RenderFlush(renderer_); }
    // Also on a memory surface: the renderer has always gone with the window.
    bool UsesWindow() const override { return true; }

    bool ReadPixels(FrameRecord& frame, std::vector<std::uint32_t>& argb, int& width,
                    int& height) override {
        DrawCollected(frame);
        // The letterboxed picture in output pixels.
        SDL_Rect viewport{};
        float scaleX = 1, scaleY = 1;
        SDL_RenderGetViewport(renderer_, &viewport);
        SDL_RenderGetScale(renderer_, &scaleX, &scaleY);
        width = static_cast<int>(std::lround(static_cast<float>(viewport.w) * scaleX));
        height = static_cast<int>(std::lround(static_cast<float>(viewport.h) * scaleY));
        if (width <= 0 || height <= 0) {
            return false;
        }
        argb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        return SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(),
                                    width * 4) == 0;
    }

private:
    SDL_Renderer* renderer_;
    Uint32 textureFormat_;
};

} // namespace

namespace TwVideo {

std::unique_ptr<TwFrameBackend> MakeSdlRendererBackend(SDL_Renderer* renderer, int width,
                                                       int height) {
    if (!renderer) {
        return nullptr;
    }
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    if (SDL_RenderSetLogicalSize(renderer, width, height) != 0) {
        return nullptr;
    }
    return std::make_unique<SdlRendererBackend>(renderer);
}

} // namespace TwVideo
