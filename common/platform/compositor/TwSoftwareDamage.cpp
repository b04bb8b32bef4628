// Damage: the parts of the picture a frame changes, from the frame's quads and those of the
// picture on screen. A sprite that came, went, moved or changed damages its old and its new
// place; everything else is known to be on screen already.
#include <algorithm>
#include <cmath>

#include "platform/compositor/TwSoftwareCompositor.h"

namespace {

// The places of changed sprites, made into one region at the end (adding them to a region
// one by one costs a pass over the region each).
std::vector<pixman_box32_t>& Changed() {
    static std::vector<pixman_box32_t> boxes;
    return boxes;
}

std::int64_t Area(const pixman_box32_t& b) {
    return static_cast<std::int64_t>(b.x2 - b.x1) * (b.y2 - b.y1);
}

// A changed sprite's place. A sprite that moved a little, its old place and those of the
// sprites drawn with it (a bubble over its shadow) mostly overlap: such places are joined into
// one box where that box is no larger than the places apart, so the region stays a few
// boxes, cheap to make and to redraw.
void AddQuad(const FrameQuad& quad) {
    const pixman_box32_t box = TwVideo::QuadBounds(quad);
    std::vector<pixman_box32_t>& changed = Changed();
    if (!changed.empty()) {
        pixman_box32_t& last = changed.back();
        const pixman_box32_t joined{std::min(last.x1, box.x1), std::min(last.y1, box.y1),
                                    std::max(last.x2, box.x2), std::max(last.y2, box.y2)};
        if (Area(joined) <= Area(last) + Area(box) && box.x1 < last.x2 && last.x1 < box.x2 &&
            box.y1 < last.y2 && last.y1 < box.y2) {
            last = joined;
            return;
        }
    }
    changed.push_back(box);
}

} // namespace

namespace TwVideo {

// Placed quads reach exactly their placement; others are grown by two pixels for the
// filtering and rounding at their edges.
pixman_box32_t QuadBounds(const FrameQuad& quad) {
    if (quad.placed) {
        const Placement& p = quad.placement;
        if (p.kind == Placement::kUpright) {
            return pixman_box32_t{p.x, p.y, p.x + p.w, p.y + p.h};
        }
        if (p.kind == Placement::kTurned) {
            return TurnedBounds(p);
        }
        return pixman_box32_t{0, 0, 0, 0};
    }
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
    return pixman_box32_t{
        static_cast<int>(std::floor(left)) - 2, static_cast<int>(std::floor(top)) - 2,
        static_cast<int>(std::ceil(right)) + 2, static_cast<int>(std::ceil(bottom)) + 2};
}

void FindDamage(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown, int width,
                int height, pixman_region32_t* damage) {
    // Both frames are walked in draw order. Equal quads at the two positions are kept; where
    // they differ, the nearest point where the frames agree again (a few quads came, went or
    // changed in place) is looked for within a short window, and everything skipped on either
    // side damages its place. Kept quads are so always in the same order in both frames, and
    // every pixel outside the damage sees the same quads in the same order: it is unchanged.
    constexpr std::size_t kWindow = 48;
    Changed().clear();
    std::size_t i = 0, j = 0;
    const std::size_t n = now.size(), m = shown.size();
    while (i < n && j < m) {
        if (now[i] == shown[j]) {
            ++i;
            ++j;
            continue;
        }
        std::size_t skipNow = 1, skipShown = 1; // nothing agrees nearby: both changed
        for (std::size_t k = 1; k <= kWindow; ++k) {
            if (i + k < n && now[i + k] == shown[j]) {
                skipNow = k, skipShown = 0; // k quads came
                break;
            }
            if (j + k < m && now[i] == shown[j + k]) {
                skipNow = 0, skipShown = k; // k quads went
                break;
            }
            if (i + k < n && j + k < m && now[i + k] == shown[j + k]) {
                skipNow = skipShown = k; // k quads changed in place
                break;
            }
        }
        // Each skipped quad's new place next to its old one, so the two can be joined.
        for (std::size_t k = 0; k < std::max(skipNow, skipShown); ++k) {
            if (k < skipNow) {
                AddQuad(now[i + k]);
            }
            if (k < skipShown) {
                AddQuad(shown[j + k]);
            }
        }
        i += skipNow;
        j += skipShown;
    }
    for (; i < n; ++i) {
        AddQuad(now[i]);
    }
    for (; j < m; ++j) {
        AddQuad(shown[j]);
    }
    pixman_region32_fini(damage);
    pixman_region32_init_rects(damage, Changed().data(), static_cast<int>(Changed().size()));
    pixman_region32_intersect_rect(damage, damage, 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height));
}

} // namespace TwVideo
