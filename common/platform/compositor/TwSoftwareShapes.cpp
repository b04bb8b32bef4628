// Stretched, mirrored and faded sprites for the software compositor, made once and kept: a
// sprite drawn at another size than its picture (the dimming over the menu, a zoomed button),
// mirrored, or faded by a constant alpha (every bubble's shadow) is shaped as SDL's renderer
// shaped it, and the shape is then blended like any plain upright sprite, frame after frame.
#include <algorithm>
#include <list>
#include <vector>

#include "platform/compositor/TwSoftwareCompositor.h"

namespace {

struct ShapeKey {
    std::uint64_t serial = 0;
    int u0 = 0, v0 = 0, pw = 0, ph = 0, w = 0, h = 0;
    bool flipX = false, flipY = false;
    std::uint32_t fade = 255; // the tint's alpha, already applied
    bool operator==(const ShapeKey&) const = default;
};

struct Shape {
    ShapeKey key;
    pixman_image_t* image = nullptr;
    std::size_t bytes = 0;
};

// Most recently used first. A few megabytes: the menu's dimming alone is the picture's size.
// The kept shapes own their pixels and give them back when the program ends.
constexpr std::size_t kMostBytes = 4u << 20;
struct ShapeList : std::list<Shape> {
    ShapeList() = default;
    ShapeList(const ShapeList&) = delete;
    ShapeList& operator=(const ShapeList&) = delete;
    ~ShapeList() {
        for (Shape& shape : *this) {
            pixman_image_unref(shape.image);
        }
    }
};
std::list<Shape>& Shapes() {
    static ShapeList shapes;
    return shapes;
}
std::size_t& ShapeBytes() {
    static std::size_t bytes = 0;
    return bytes;
}

void DropOldest() {
    Shape& old = Shapes().back();
    ShapeBytes() -= old.bytes;
    pixman_image_unref(old.image);
    Shapes().pop_back();
}

// Premultiplies straight colours in place, cut as SDL's blending did (x / 255 for x below
// 65536 without a division, so the loop vectorises).
void Premultiply(std::uint32_t* pixels, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t p = pixels[i], a = p >> 24;
        const auto pre = [a](std::uint32_t c) {
            const std::uint32_t x = c * a;
            return (x + 1 + (x >> 8)) >> 8;
        };
        pixels[i] = a << 24 | pre(p >> 16 & 0xFF) << 16 | pre(p >> 8 & 0xFF) << 8 | pre(p & 0xFF);
    }
}

// The part's own colours from its premultiplied texels, row after row into `out`.
void Unpremultiply(pixman_image_t* image, const ShapeKey& k, std::vector<std::uint32_t>& out) {
    out.resize(static_cast<std::size_t>(k.pw) * static_cast<std::size_t>(k.ph));
    const int stride = pixman_image_get_stride(image) / 4;
    const std::uint32_t* row =
        pixman_image_get_data(image) + static_cast<std::ptrdiff_t>(k.v0) * stride + k.u0;
    for (int y = 0; y < k.ph; ++y, row += stride) {
        std::uint32_t* to = out.data() + static_cast<std::size_t>(y) * k.pw;
        for (int x = 0; x < k.pw; ++x) {
            const std::uint32_t p = row[x], a = p >> 24;
            const auto own = [a](std::uint32_t c) {
                return a == 0 ? 0u : std::min<std::uint32_t>(255, (c * 255 + a / 2) / a);
            };
            to[x] = a << 24 | own(p >> 16 & 0xFF) << 16 | own(p >> 8 & 0xFF) << 8 | own(p & 0xFF);
        }
    }
}

// Shapes the part: mirrored texel for texel, or stretched smoothly as SDL stretched it (on
// the picture's own colours where its alpha varies, premultiplied afterwards).
// `bits` null: the shape gets pixels of its own; otherwise it is made in `bits`.
pixman_image_t* MakeShape(const FrameQuad& quad, const ShapeKey& k, std::uint32_t* bits = nullptr) {
    const bool scaled = k.w != k.pw || k.h != k.ph;
    // SDL stretched a picture's own colours, not premultiplied ones; where alpha varies that
    // looks different at soft edges, so the part is stretched in its own colours (got back
    // from the premultiplied texels, as the asset tool made them from premultiplied drawings)
    // and premultiplied afterwards.
    const bool straight = scaled && !quad.evenAlpha;
    static std::vector<std::uint32_t> own;
    if (straight) {
        Unpremultiply(quad.image, k, own);
    }
    pixman_image_t* shape =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, k.w, k.h, bits, bits ? k.w * 4 : 0);
    const int stride = straight ? k.pw * 4 : pixman_image_get_stride(quad.image);
    auto* texels = straight ? reinterpret_cast<std::uint8_t*>(own.data())
                            : reinterpret_cast<std::uint8_t*>(pixman_image_get_data(quad.image)) +
                                  static_cast<std::ptrdiff_t>(k.v0) * stride +
                                  static_cast<std::ptrdiff_t>(k.u0) * 4;
    pixman_image_t* part = pixman_image_create_bits(
        PIXMAN_a8r8g8b8, k.pw, k.ph, reinterpret_cast<std::uint32_t*>(texels), stride);
    if (!shape || !part) {
        if (shape) {
            pixman_image_unref(shape);
        }
        if (part) {
            pixman_image_unref(part);
        }
        return nullptr;
    }
    // Source steps per destination pixel as SDL's stretch counted them (16.16, cut).
    const auto stepX = static_cast<pixman_fixed_t>((static_cast<std::int64_t>(k.pw) << 16) / k.w);
    const auto stepY = static_cast<pixman_fixed_t>((static_cast<std::int64_t>(k.ph) << 16) / k.h);
    pixman_transform_t t{};
    t.matrix[0][0] = k.flipX ? -stepX : stepX;
    t.matrix[0][2] = k.flipX ? pixman_int_to_fixed(k.pw) : 0;
    t.matrix[1][1] = k.flipY ? -stepY : stepY;
    t.matrix[1][2] = k.flipY ? pixman_int_to_fixed(k.ph) : 0;
    t.matrix[2][2] = pixman_fixed_1;
    pixman_image_set_transform(part, &t);
    pixman_image_set_filter(part, scaled ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST, nullptr,
                            0);
    pixman_image_set_repeat(part, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, part, nullptr, shape, 0, 0, 0, 0, 0, 0, k.w, k.h);
    pixman_image_unref(part);
    if (straight) {
        Premultiply(pixman_image_get_data(shape),
                    static_cast<std::size_t>(pixman_image_get_stride(shape) / 4) * k.h);
    }
    if (k.fade < 255) {
        // Faded as OVER with a solid mask would fade each texel, with the same rounding.
        const pixman_color_t alpha{0, 0, 0, static_cast<std::uint16_t>(k.fade * 257)};
        pixman_image_t* mask = pixman_image_create_solid_fill(&alpha);
        pixman_image_composite32(PIXMAN_OP_IN_REVERSE, mask, nullptr, shape, 0, 0, 0, 0, 0, 0, k.w,
                                 k.h);
        pixman_image_unref(mask);
    }
    return shape;
}

} // namespace

namespace TwVideo {

pixman_image_t* ShapedPart(const FrameQuad& quad, int u0, int v0, int pw, int ph, int w, int h,
                           bool flipX, bool flipY, std::uint32_t fade, bool onlyIfKept) {
    const ShapeKey key{quad.serial, u0, v0, pw, ph, w, h, flipX, flipY, fade};
    std::list<Shape>& shapes = Shapes();
    for (auto it = shapes.begin(); it != shapes.end(); ++it) {
        if (it->key == key) {
            shapes.splice(shapes.begin(), shapes, it);
            return it->image;
        }
    }
    // A shape is kept only when it is asked for again: one that changes size every frame (a
    // bubble zooming in) is made in a scratch buffer and never piles up.
    static ShapeKey recent[16];
    static int next = 0;
    if (std::find(std::begin(recent), std::end(recent), key) == std::end(recent)) {
        recent[next] = key;
        next = (next + 1) % 16;
        if (onlyIfKept) {
            return nullptr;
        }
        static std::vector<std::uint32_t> scratch;
        static pixman_image_t* scratchShape = nullptr;
        if (scratchShape) {
            pixman_image_unref(scratchShape);
        }
        // A large scratch (the dimming's first frame) is let go rather than kept for ever.
        const std::size_t pixels = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
        if (scratch.capacity() > (256u << 10) && pixels * 4 < scratch.capacity()) {
            std::vector<std::uint32_t>().swap(scratch);
        }
        scratch.resize(pixels);
        scratchShape = MakeShape(quad, key, scratch.data());
        return scratchShape;
    }
    pixman_image_t* image = MakeShape(quad, key);
    if (!image) {
        return nullptr;
    }
    const std::size_t bytes = static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 4;
    while (!shapes.empty() && ShapeBytes() + bytes > kMostBytes) {
        DropOldest();
    }
    shapes.push_front(Shape{key, image, bytes});
    ShapeBytes() += bytes;
    return image;
}

void ForgetShapes() {
    while (!Shapes().empty()) {
        DropOldest();
    }
}

} // namespace TwVideo
