// Damage: the parts of the picture a frame changes, from the frame's quads and those of the
// picture on screen. A sprite that came, went, moved or changed damages its old and its new
// place; everything else is known to be on screen already.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/TwVideoInternal.h"

namespace {

struct QuadHash {
    std::size_t operator()(const FrameQuad& quad) const {
        std::uint64_t h = 1469598103934665603ull;
        auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
        mix(quad.serial);
        mix(quad.argb);
        if (quad.placed) {
            const Placement& p = quad.placement;
            for (std::int32_t v : {p.x, p.y, p.w, p.h, p.u0, p.v0, p.dx[0], p.dy[0], p.dx[4],
                                   p.dy[4], p.sx[1], p.sy[2]}) {
                mix(static_cast<std::uint32_t>(v));
            }
            return static_cast<std::size_t>(h);
        }
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

// The places of changed sprites, made into one region at the end (adding them to a region
// one by one costs a pass over the region each).
std::vector<pixman_box32_t>& Changed() {
    static std::vector<pixman_box32_t> boxes;
    return boxes;
}

void AddQuad(const FrameQuad& quad) {
    Changed().push_back(TwVideo::QuadBounds(quad));
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

bool FindDamage(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown,
                pixman_region32_t* damage) {
    // The quads on screen by hash, each matched at most once by an equal quad of the frame.
    struct Entry {
        std::size_t hash;
        std::uint32_t index;
        bool operator<(const Entry& other) const { return hash < other.hash; }
    };
    static std::vector<Entry> entries;
    static std::vector<char> matched;
    static std::vector<std::uint32_t> keptNow; // indices into `shown`, in the frame's order
    const QuadHash hasher;
    entries.clear();
    for (std::size_t j = 0; j < shown.size(); ++j) {
        entries.push_back(Entry{hasher(shown[j]), static_cast<std::uint32_t>(j)});
    }
    std::sort(entries.begin(), entries.end());
    matched.assign(shown.size(), 0);
    keptNow.clear();
    Changed().clear();
    for (const FrameQuad& quad : now) {
        const Entry key{hasher(quad), 0};
        bool found = false;
        for (auto it = std::lower_bound(entries.begin(), entries.end(), key);
             it != entries.end() && it->hash == key.hash; ++it) {
            if (!matched[it->index] && shown[it->index] == quad) {
                matched[it->index] = 1;
                keptNow.push_back(it->index);
                found = true;
                break;
            }
        }
        if (!found) {
            AddQuad(quad); // came or changed
        }
    }
    // Sprites on screen that are gone damage their place; those kept must keep their order,
    // or their overlaps would look different.
    std::size_t kept = 0;
    for (std::size_t j = 0; j < shown.size(); ++j) {
        if (!matched[j]) {
            AddQuad(shown[j]);
        } else if (kept >= keptNow.size() || !(shown[keptNow[kept++]] == shown[j])) {
            return false;
        }
    }
    pixman_region32_fini(damage);
    pixman_region32_init_rects(damage, Changed().data(), static_cast<int>(Changed().size()));
    int width = 0, height = 0;
    PictureSize(width, height);
    pixman_region32_intersect_rect(damage, damage, 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height));
    return true;
}

} // namespace TwVideo
