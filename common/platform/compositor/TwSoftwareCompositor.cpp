// The software compositor: frames composed with pixman into a picture of the game's size,
// drawing each sprite kind the way SDL's software renderer did (so the game looks the same)
// with pixman's vectorised paths: copies for opaque pictures, OVER with a solid mask for a
// faded picture, scaled and mirrored pictures through a transform of the picture's part.
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/compositor/TwSoftwareBlend.h"
#include "platform/compositor/TwSoftwareCompositor.h"

namespace {

// A solid colour, channels 0-255, premultiplied here.
pixman_image_t* Solid(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    const auto wide = [a](std::uint32_t c) {
        return static_cast<std::uint16_t>(c * a * 257 / 255);
    };
    const pixman_color_t color{wide(r), wide(g), wide(b), static_cast<std::uint16_t>(a * 257)};
    return pixman_image_create_solid_fill(&color);
}

using TwVideo::ClipBoxes;

// One composite of `src` at (dx, dy), w x h, limited to each clip box in turn: plain
// rectangles, far cheaper for pixman than a clip region.
void CompositeClipped(pixman_op_t op, pixman_image_t* src, pixman_image_t* mask,
                      pixman_image_t* dest, int sx, int sy, int dx, int dy, int w, int h,
                      const ClipBoxes& clip) {
    // Unmasked blends of plain pictures go through our own short-row loops.
    const bool over = mask == nullptr && op == PIXMAN_OP_OVER;
    for (int i = 0; i < clip.count; ++i) {
        const pixman_box32_t& box = clip.boxes[i];
        const int x0 = std::max(dx, box.x1), y0 = std::max(dy, box.y1);
        const int x1 = std::min(dx + w, box.x2), y1 = std::min(dy + h, box.y2);
        if (x1 <= x0 || y1 <= y0) {
            continue;
        }
        if (!over ||
            !TwVideo::BlendOver(src, dest, sx + x0 - dx, sy + y0 - dy, x0, y0, x1 - x0, y1 - y0)) {
            pixman_image_composite32(op, src, mask, dest, sx + x0 - dx, sy + y0 - dy, 0, 0, x0, y0,
                                     x1 - x0, y1 - y0);
        }
    }
}

// How a quad is blended: the tint's alpha alone is a plain mask; a coloured tint multiplies
// each channel, which OVER cannot do in one step (the destination must fade by the alpha,
// not by each channel): the destination is faded first, then the tinted colour added.
void Blend(pixman_image_t* src, pixman_image_t* dest, std::uint32_t argb, bool copy, int sx, int sy,
           int dx, int dy, int w, int h, const ClipBoxes& clip) {
    const std::uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF,
                        b = argb & 0xFF;
    if (a == 0) {
        return;
    }
    const bool coloured = (argb & 0xFFFFFF) != 0xFFFFFF;
    if (!coloured) {
        pixman_image_t* mask = a == 255 ? nullptr : Solid(a, 0, 0, 0);
        CompositeClipped(copy ? PIXMAN_OP_SRC : PIXMAN_OP_OVER, src, mask, dest, sx, sy, dx, dy, w,
                         h, clip);
        if (mask) {
            pixman_image_unref(mask);
        }
        return;
    }
    pixman_image_t* tint = Solid(a, r, g, b);
    pixman_image_set_component_alpha(tint, 1);
    if (copy) {
        CompositeClipped(PIXMAN_OP_SRC, src, tint, dest, sx, sy, dx, dy, w, h, clip);
    } else {
        pixman_image_t* fade = Solid(a, 0, 0, 0);
        CompositeClipped(PIXMAN_OP_OUT_REVERSE, src, fade, dest, sx, sy, dx, dy, w, h, clip);
        CompositeClipped(PIXMAN_OP_ADD, src, tint, dest, sx, sy, dx, dy, w, h, clip);
        pixman_image_unref(fade);
    }
    pixman_image_unref(tint);
}

// An upright quad (possibly mirrored or scaled), as placed.
void ComposeUpright(pixman_image_t* dest, const FrameQuad& quad, const ClipBoxes& clip) {
    const Placement& p = quad.placement;
    const std::uint32_t alpha = quad.argb >> 24;
    const bool copy = quad.opaque && alpha == 255;
    const bool plain = p.w == p.pw && p.h == p.ph && !p.flipX && !p.flipY;
    // A plain picture faded by its tint's alpha alone, drawn so again and again (every
    // bubble's shadow), is faded once into a kept shape, then blended plainly: twice as fast.
    const bool fadedOnly = plain && !copy && alpha < 255 && (quad.argb & 0xFFFFFF) == 0xFFFFFF;
    pixman_image_t* faded = fadedOnly ? TwVideo::ShapedPart(quad, p.u0, p.v0, p.pw, p.ph, p.w, p.h,
                                                            false, false, alpha, true)
                                      : nullptr;
    if (faded) {
        Blend(faded, dest, 0xFFFFFFFF, false, 0, 0, p.x, p.y, p.w, p.h, clip);
        return;
    }
    if (plain) {
        Blend(quad.image, dest, quad.argb, copy, p.u0, p.v0, p.x, p.y, p.w, p.h, clip);
        return;
    }
    pixman_image_t* shape =
        TwVideo::ShapedPart(quad, p.u0, p.v0, p.pw, p.ph, p.w, p.h, p.flipX, p.flipY);
    if (shape) {
        Blend(shape, dest, quad.argb, copy, 0, 0, p.x, p.y, p.w, p.h, clip);
    }
}

// Blends a turned quad's filled picture (see TwSoftwareTurned.cpp) with the quad's tint.
void BlendTurned(pixman_image_t* src, pixman_image_t* dest, const FrameQuad& quad, int x, int y,
                 int w, int h, const ClipBoxes& clip) {
    Blend(src, dest, quad.argb, false, 0, 0, x, y, w, h, clip);
}

// An opaque picture drawn untinted, unscaled over the whole picture: nothing under it shows.
bool CoversPicture(const FrameQuad& quad, int width, int height) {
    const Placement& p = quad.placement;
    return quad.opaque && quad.argb == 0xFFFFFFFF && p.kind == Placement::kUpright && p.x <= 0 &&
           p.y <= 0 && p.x + p.w >= width && p.y + p.h >= height && p.w == p.pw && p.h == p.ph &&
           !p.flipX && !p.flipY;
}

} // namespace

namespace TwVideo {

void ReleaseQuadImages(std::vector<FrameQuad>& quads) {
    for (FrameQuad& quad : quads) {
        if (quad.image) {
            pixman_image_unref(quad.image);
            quad.image = nullptr;
        }
    }
}

pixman_image_t* MakeImage(int width, int height, const std::uint8_t* rgba, bool& opaque,
                          bool& evenAlpha) {
    pixman_image_t* image = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, nullptr, 0);
    if (!image) {
        return nullptr;
    }
    const int stride = pixman_image_get_stride(image) / 4;
    std::uint32_t* bits = pixman_image_get_data(image);
    // Cut, not rounded, as SDL's blending premultiplied each texel: the same pixels (x / 255
    // for x below 65536 without a division, so the loop vectorises).
    std::uint32_t allAlpha = 0xFF, otherAlpha = 0;
    const std::uint8_t firstAlpha = rgba[3];
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = rgba + static_cast<std::size_t>(y) * width * 4;
        std::uint32_t* out = bits + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* texel = in + 4 * std::ptrdiff_t{x};
            const std::uint32_t r = texel[0], g = texel[1], b = texel[2], a = texel[3];
            const std::uint32_t pr = r * a, pg = g * a, pb = b * a;
            out[x] = a << 24 | ((pr + 1 + (pr >> 8)) >> 8) << 16 |
                     ((pg + 1 + (pg >> 8)) >> 8) << 8 | ((pb + 1 + (pb >> 8)) >> 8);
            allAlpha &= a;
            otherAlpha |= a ^ firstAlpha;
        }
    }
    opaque = allAlpha == 0xFF;
    evenAlpha = otherAlpha == 0;
    return image;
}

// SDL's renderer placed an upright quad at the whole pixels of its corners (cut toward
// zero), copied it texel for texel when unscaled, otherwise stretched the part smoothly, and
// mirrored it texel for texel.
void PlaceQuad(FrameQuad& quad) {
    quad.placed = true;
    Placement& p = quad.placement;
    p = Placement{};
    const TwQuadCorner* c = quad.corners;
    // Texel positions are whole (parts of pictures are whole rectangles).
    p.u0 = static_cast<int>(c[0].u);
    p.v0 = static_cast<int>(c[0].v);
    p.pw = static_cast<int>(c[3].u) - p.u0;
    p.ph = static_cast<int>(c[3].v) - p.v0;
    if (!quad.image || p.pw <= 0 || p.ph <= 0 || p.u0 < 0 || p.v0 < 0 ||
        p.u0 + p.pw > pixman_image_get_width(quad.image) ||
        p.v0 + p.ph > pixman_image_get_height(quad.image)) {
        p = Placement{};
        return;
    }
    const bool upright =
        c[0].y == c[1].y && c[2].y == c[3].y && c[0].x == c[2].x && c[1].x == c[3].x;
    if (!upright) {
        PlaceTurnedQuad(quad);
        return;
    }
    float left = c[0].x, right = c[1].x, top = c[0].y, bottom = c[2].y;
    p.flipX = right < left;
    p.flipY = bottom < top;
    if (p.flipX) {
        std::swap(left, right);
    }
    if (p.flipY) {
        std::swap(top, bottom);
    }
    constexpr float kLimit = 1 << 20; // far off-screen positions stay within int range
    p.x = static_cast<int>(std::clamp(left, -kLimit, kLimit));
    p.y = static_cast<int>(std::clamp(top, -kLimit, kLimit));
    p.w = static_cast<int>(std::clamp(right - left, 0.0f, kLimit));
    p.h = static_cast<int>(std::clamp(bottom - top, 0.0f, kLimit));
    p.kind = p.w > 0 && p.h > 0 ? Placement::kUpright : Placement::kNothing;
}

void ComposeQuad(pixman_image_t* dest, const FrameQuad& quad, const ClipBoxes& clip) {
    if (!quad.image) {
        return;
    }
    if (quad.placement.kind == Placement::kUpright) {
        ComposeUpright(dest, quad, clip);
    } else if (quad.placement.kind == Placement::kTurned) {
        ComposeTurnedQuad(dest, quad, clip, BlendTurned);
    }
}

SoftwareCompositor::~SoftwareCompositor() {
    SetTarget(nullptr);
}

void SoftwareCompositor::ForgetKept() {
    ForgetShapes();
    ForgetTurnedFills();
}

void SoftwareCompositor::SetTarget(pixman_image_t* target) {
    if (target) {
        pixman_image_ref(target);
    }
    if (target_) {
        pixman_image_unref(target_);
    }
    target_ = target;
}

int SoftwareCompositor::Width() const {
    return target_ ? pixman_image_get_width(target_) : 0;
}

int SoftwareCompositor::Height() const {
    return target_ ? pixman_image_get_height(target_) : 0;
}

void SoftwareCompositor::ClearAll() {
    if (!target_) {
        return;
    }
    const pixman_color_t black{0, 0, 0, 0xFFFF};
    const pixman_box32_t all{0, 0, Width(), Height()};
    pixman_image_fill_boxes(PIXMAN_OP_SRC, target_, &black, 1, &all);
}

void SoftwareCompositor::Compose(const FrameQuad& quad) {
    if (!target_) {
        return;
    }
    const pixman_box32_t all{0, 0, Width(), Height()};
    ComposeQuad(target_, quad, ClipBoxes{&all, 1});
}

void SoftwareCompositor::RedrawRegion(const std::vector<FrameQuad>& quads,
                                      pixman_region32_t* damage) {
    if (!target_) {
        return;
    }
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(damage, &count);
    // The frame begins black, unless its first sprite is an opaque backdrop covering it all.
    if (quads.empty() || !CoversPicture(quads.front(), Width(), Height())) {
        const pixman_color_t black{0, 0, 0, 0xFFFF};
        pixman_image_fill_boxes(PIXMAN_OP_SRC, target_, &black, count, boxes);
    }
    // Each quad is drawn into the boxes it reaches, in the frame's order; the boxes do not
    // overlap, so every pixel sees its quads in that order.
    // A region's boxes come in bands from top to bottom: only the bands a quad spans are
    // looked through.
    std::vector<pixman_box32_t>& reached = reachedBoxes_;
    const pixman_box32_t* end = boxes + count;
    for (const FrameQuad& quad : quads) {
        const pixman_box32_t bounds = QuadBounds(quad);
        reached.clear();
        const pixman_box32_t* box = std::partition_point(
            boxes, end, [&bounds](const pixman_box32_t& b) { return b.y2 <= bounds.y1; });
        for (; box != end && box->y1 < bounds.y2; ++box) {
            if (box->x1 < bounds.x2 && bounds.x1 < box->x2) {
                reached.push_back(*box);
            }
        }
        if (!reached.empty()) {
            ComposeQuad(target_, quad, ClipBoxes{reached.data(), static_cast<int>(reached.size())});
        }
    }
}

} // namespace TwVideo
