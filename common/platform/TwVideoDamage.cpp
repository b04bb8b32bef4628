#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "platform/TwVideoInternal.h"

namespace {

using TwVideo::State;
using TwVideo::VideoState;

// The screen pixels a quad can touch, grown by two pixels for the filtering at its edges.
SDL_Rect QuadBounds(const FrameQuad& quad) {
    float left = quad.corners[0].x, right = left, top = quad.corners[0].y, bottom = top;
    for (const TwQuadCorner& c : quad.corners) {
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    constexpr float kLimit = 1 << 20; // far off-screen positions stay within int range
    left = std::clamp(left, -kLimit, kLimit);
    right = std::clamp(right, -kLimit, kLimit);
    top = std::clamp(top, -kLimit, kLimit);
    bottom = std::clamp(bottom, -kLimit, kLimit);
    const int x0 = static_cast<int>(std::floor(left)) - 2;
    const int y0 = static_cast<int>(std::floor(top)) - 2;
    const int x1 = static_cast<int>(std::ceil(right)) + 2;
    const int y1 = static_cast<int>(std::ceil(bottom)) + 2;
    return SDL_Rect{x0, y0, x1 - x0, y1 - y0};
}

struct QuadHash {
    std::size_t operator()(const FrameQuad& quad) const {
        std::uint64_t h = 1469598103934665603ull;
        auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
        mix(quad.serial);
        mix(quad.argb);
        for (const TwQuadCorner& c : quad.corners) {
            for (float f : {c.x, c.y, c.u, c.v}) {
                std::uint32_t bits = 0;
                std::memcpy(&bits, &f, sizeof bits);
                mix(bits);
            }
        }
        return static_cast<std::size_t>(h);
    }
};

long long AreaOf(const SDL_Rect& r) {
    return static_cast<long long>(r.w) * r.h;
}

// Adds `r` to the areas. It is merged with an area when their joint rectangle is no larger
// than the two drawn apart (overlapping areas are each cleared and redrawn, which is correct
// but draws the overlap twice); past 32 areas it joins the one it enlarges least.
void AddArea(std::vector<SDL_Rect>& areas, SDL_Rect r) {
    constexpr std::size_t kMostAreas = 32;
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < areas.size(); ++i) {
            SDL_Rect joint;
            SDL_UnionRect(&areas[i], &r, &joint);
            if (AreaOf(joint) <= AreaOf(areas[i]) + AreaOf(r)) {
                r = joint;
                areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(i));
                merged = true;
                break;
            }
        }
    }
    if (areas.size() < kMostAreas) {
        areas.push_back(r);
        return;
    }
    std::size_t best = 0;
    long long bestGrowth = -1;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        SDL_Rect joint;
        SDL_UnionRect(&areas[i], &r, &joint);
        const long long growth = AreaOf(joint) - AreaOf(areas[i]);
        if (bestGrowth < 0 || growth < bestGrowth) {
            best = i;
            bestGrowth = growth;
        }
    }
    SDL_UnionRect(&areas[best], &r, &areas[best]);
}

} // namespace

namespace TwVideo {

// The game picture is not scaled to the window (an 800 x 600 window): only then does a sprite
// drawn clipped to an area land on exactly the pixels it covers when drawn whole. Scaled, the
// rounding of a clipped blit could leave seams at the edges of redrawn areas.
bool DrawsPixelForPixel(SDL_Renderer* renderer) {
    float scaleX = 0, scaleY = 0;
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    return scaleX == 1.0f && scaleY == 1.0f;
}

// Where a frame differs from the picture on screen: the places of the sprites that came,
// went or changed. False when the frame must be drawn whole: sprites common to both were
// drawn in another order (their overlaps may look different) or most of the screen changed.
bool FindChangedAreas(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown,
                      std::vector<SDL_Rect>& areas) {
    areas.clear();
    std::unordered_map<FrameQuad, int, QuadHash> unmatched;
    unmatched.reserve(shown.size());
    for (const FrameQuad& quad : shown) {
        ++unmatched[quad];
    }
    std::vector<const FrameQuad*> keptNow;
    keptNow.reserve(now.size());
    for (const FrameQuad& quad : now) {
        const auto it = unmatched.find(quad);
        if (it != unmatched.end() && it->second > 0) {
            --it->second;
            keptNow.push_back(&quad);
        } else {
            AddArea(areas, QuadBounds(quad));
        }
    }
    std::size_t kept = 0;
    for (const FrameQuad& quad : shown) {
        const auto it = unmatched.find(quad);
        if (it->second > 0) {
            --it->second;
            AddArea(areas, QuadBounds(quad));
        } else if (kept >= keptNow.size() || !(*keptNow[kept++] == quad)) {
            return false;
        }
    }
    int width = 0, height = 0;
    TwVideo::PictureSize(width, height);
    const SDL_Rect screen{0, 0, width, height};
    long long changed = 0;
    for (SDL_Rect& area : areas) {
        if (!SDL_IntersectRect(&area, &screen, &area)) {
            area = SDL_Rect{0, 0, 0, 0};
        }
        changed += static_cast<long long>(area.w) * area.h;
    }
    // Past about half the screen, one whole redraw is as cheap as many clipped ones.
    return changed * 2 <= static_cast<long long>(width) * height;
}

// Redraws only the changed areas: each is cleared to black and every sprite reaching into it
// is drawn again, clipped to it, in the frame's order.
void DrawChangedAreas(SDL_Renderer* renderer, const std::vector<FrameQuad>& quads,
                      const std::vector<SDL_Rect>& areas) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    for (const SDL_Rect& area : areas) {
        if (area.w <= 0 || area.h <= 0) {
            continue;
        }
        SDL_RenderSetClipRect(renderer, &area);
        SDL_RenderFillRect(renderer, &area);
        for (const FrameQuad& quad : quads) {
            const SDL_Rect bounds = QuadBounds(quad);
            if (SDL_HasIntersection(&bounds, &area)) {
                RenderQuad(renderer, quad);
            }
        }
    }
    SDL_RenderSetClipRect(renderer, nullptr);
}

} // namespace TwVideo
