#include <algorithm>
#include <cmath>

#include "platform/window/TwVideoInternal.h"

namespace TwVideo {

// SDL renderer path: each quad becomes a rectangle copy or textured triangles of SDL's
// renderer (a graphics card's, or SDL's own software renderer where asked for by name).

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

} // namespace TwVideo
