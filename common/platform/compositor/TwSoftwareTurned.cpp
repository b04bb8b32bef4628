// Turned sprites for the software compositor. SDL's software renderer drew a turned quad as a
// fan of four textured triangles around its centre, each pixel whose centre lies inside
// taking the nearest texel its triangle maps it to, on whole-pixel corners. The game's turned
// sprites (the launcher, spinning bubbles) keep exactly those texels here: the triangles are
// filled the same way into a small picture, which is then blended like any upright sprite.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/compositor/TwSoftwareCompositor.h"

namespace {

struct Point {
    int x, y;
};

// Corners and the centre are placed at half-pixel precision (one fraction bit).
constexpr int kFractionBits = 1;

int Cross(const Point& a, const Point& b, int cx, int cy) {
    return (b.x - a.x) * (cy - a.y) - (b.y - a.y) * (cx - a.x);
}

// Edges on the top or the left own the pixels exactly on them; the others do not, so two
// triangles sharing an edge never both draw a pixel.
bool OwnsEdge(const Point& a, const Point& b, bool clockwise) {
    if (clockwise) {
        return (a.y == b.y && a.x < b.x) || b.y < a.y;
    }
    return (a.y == b.y && b.x < a.x) || a.y < b.y;
}

// A constant step of a numerator, split into whole areas and a remainder.
struct TexelStep {
    long long q, r;
    TexelStep(long long step, long long area) : q(step / area), r(step % area) {
        if (r < 0) {
            r += area;
            --q;
        }
    }
};

// numerator / area as a floor quotient and a remainder in [0, area), stepped exactly.
struct Quotient {
    long long q, r, area;
    Quotient(long long numerator, long long a) : q(numerator / a), r(numerator % a), area(a) {
        if (r < 0) {
            r += area;
            --q;
        }
    }
    void Add(const TexelStep& step) {
        q += step.q;
        r += step.r;
        if (r >= area) {
            r -= area;
            ++q;
        }
    }
};

// Narrows [first, last] to the pixels k where an edge function, `at0` at k = 0 and growing by
// `step` per pixel, is not negative.
void InsideRun(long long at0, long long step, int& first, int& last) {
    if (step == 0) {
        if (at0 < 0) {
            first = last + 1;
        }
        return;
    }
    if (step > 0) {
        // at0 + k * step >= 0  <=>  k >= ceil(-at0 / step)
        const long long from = at0 >= 0 ? 0 : (-at0 + step - 1) / step;
        first = static_cast<int>(std::max<long long>(first, from));
    } else {
        // k <= floor(at0 / -step)
        if (at0 < 0) {
            first = last + 1;
            return;
        }
        last = static_cast<int>(std::min<long long>(last, at0 / -step));
    }
}

// The picture being filled: `pixels` of `box`, premultiplied ARGB, transparent where no
// triangle reaches.
struct Canvas {
    std::vector<std::uint32_t> pixels;
    pixman_box32_t box{};
    int Width() const { return box.x2 - box.x1; }
};

// Fills one triangle: destination corners `d` (half pixels), texel corners `s` of the picture.
void FillTriangle(Canvas& canvas, const std::uint32_t* texels, int texStride, Point d[3],
                  Point s[3]) {
    int area = Cross(d[0], d[1], d[2].x, d[2].y);
    if (area == 0) {
        return;
    }
    const int minX = std::min({d[0].x, d[1].x, d[2].x}), maxX = std::max({d[0].x, d[1].x, d[2].x});
    const int minY = std::min({d[0].y, d[1].y, d[2].y}), maxY = std::max({d[0].y, d[1].y, d[2].y});
    int x0 = minX >> kFractionBits, y0 = minY >> kFractionBits;
    int x1 = x0 + ((maxX - minX) >> kFractionBits), y1 = y0 + ((maxY - minY) >> kFractionBits);
    x0 = std::max(x0, canvas.box.x1);
    y0 = std::max(y0, canvas.box.y1);
    x1 = std::min(x1, canvas.box.x2);
    y1 = std::min(y1, canvas.box.y2);
    if (x1 <= x0 || y1 <= y0) {
        return;
    }
    // Texel positions interpolate up to the largest one included: the far edges step back one.
    const int sMaxX = std::max({s[0].x, s[1].x, s[2].x}),
              sMinX = std::min({s[0].x, s[1].x, s[2].x});
    const int sMaxY = std::max({s[0].y, s[1].y, s[2].y}),
              sMinY = std::min({s[0].y, s[1].y, s[2].y});
    for (int i = 0; i < 3; ++i) {
        if (sMaxX > sMinX && s[i].x == sMaxX) {
            --s[i].x;
        }
        if (sMaxY > sMinY && s[i].y == sMaxY) {
            --s[i].y;
        }
    }
    const bool clockwise = area > 0;
    area = std::abs(area);
    const int sign = clockwise ? 1 : -1;
    // Steps of the three edge functions per pixel to the right and per row down.
    const int step0x = sign * ((d[1].y - d[2].y) << kFractionBits);
    const int step1x = sign * ((d[2].y - d[0].y) << kFractionBits);
    const int step2x = sign * ((d[0].y - d[1].y) << kFractionBits);
    const int step0y = sign * ((d[2].x - d[1].x) << kFractionBits);
    const int step1y = sign * ((d[0].x - d[2].x) << kFractionBits);
    const int step2y = sign * ((d[1].x - d[0].x) << kFractionBits);
    // Edge functions at the centre of the first pixel.
    const int px = (x0 << kFractionBits) + (1 << kFractionBits) / 2;
    const int py = (y0 << kFractionBits) + (1 << kFractionBits) / 2;
    int row0 = sign * Cross(d[1], d[2], px, py);
    int row1 = sign * Cross(d[2], d[0], px, py);
    int row2 = sign * Cross(d[0], d[1], px, py);
    const int bias0 = OwnsEdge(d[1], d[2], clockwise) ? 0 : -1;
    const int bias1 = OwnsEdge(d[2], d[0], clockwise) ? 0 : -1;
    const int bias2 = OwnsEdge(d[0], d[1], clockwise) ? 0 : -1;
    const long long s20x = s[0].x - s[2].x, s21x = s[1].x - s[2].x;
    const long long s20y = s[0].y - s[2].y, s21y = s[1].y - s[2].y;
    const long long s2xArea = static_cast<long long>(s[2].x) * area;
    const long long s2yArea = static_cast<long long>(s[2].y) * area;
    // Texel numerators change by a constant per pixel to the right: their quotients by the
    // area are stepped, not divided anew (inside a triangle they are never negative, so the
    // stepped floor is the cut quotient).
    const TexelStep du{step0x * s20x + step1x * s21x, area};
    const TexelStep dv{step0x * s20y + step1x * s21y, area};
    for (int y = y0; y < y1; ++y, row0 += step0y, row1 += step1y, row2 += step2y) {
        // The run of pixels of this row inside all three edges.
        int first = 0, last = x1 - x0 - 1;
        InsideRun(row0 + bias0, step0x, first, last);
        InsideRun(row1 + bias1, step1x, first, last);
        InsideRun(row2 + bias2, step2x, first, last);
        if (first > last) {
            continue;
        }
        const long long w0 = row0 + static_cast<long long>(first) * step0x;
        const long long w1 = row1 + static_cast<long long>(first) * step1x;
        Quotient u(w0 * s20x + w1 * s21x + s2xArea, area);
        Quotient v(w0 * s20y + w1 * s21y + s2yArea, area);
        std::uint32_t* out = canvas.pixels.data() +
                             static_cast<std::size_t>(y - canvas.box.y1) * canvas.Width() +
                             (x0 - canvas.box.x1);
        for (int k = first; k <= last; ++k, u.Add(du), v.Add(dv)) {
            out[k] = texels[static_cast<std::ptrdiff_t>(v.q) * texStride + u.q];
        }
    }
}

// Turned sprites filled lately, kept while they stay as they are: the launcher at rest is
// redrawn wherever bubbles wobble near it, frame after frame, and filling it costs more than
// blending it. The most recently used first; a few small ones only.
struct TurnedFill {
    std::uint64_t serial = 0;
    Placement placement;
    Canvas canvas;
    pixman_image_t* image = nullptr; // over canvas.pixels
};
constexpr std::size_t kKeptFills = 6;
constexpr int kLargestKeptFill = 256 * 256;
struct TurnedFills : std::vector<TurnedFill> {
    TurnedFills() = default;
    TurnedFills(const TurnedFills&) = delete;
    TurnedFills& operator=(const TurnedFills&) = delete;
    ~TurnedFills() { Clear(); }
    void Clear() {
        for (TurnedFill& fill : *this) {
            pixman_image_unref(fill.image);
        }
        clear();
    }
};
TurnedFills& Fills() {
    static TurnedFills fills;
    return fills;
}

// The quad's kept fill for a canvas `box`, moved to the front; null when there is none.
const TurnedFill* KeptFill(const FrameQuad& quad, const pixman_box32_t& box) {
    TurnedFills& fills = Fills();
    for (std::size_t i = 0; i < fills.size(); ++i) {
        const TurnedFill& fill = fills[i];
        if (fill.serial == quad.serial && fill.placement == quad.placement &&
            fill.canvas.box.x1 == box.x1 && fill.canvas.box.y1 == box.y1 &&
            fill.canvas.box.x2 == box.x2 && fill.canvas.box.y2 == box.y2) {
            std::rotate(fills.begin(), fills.begin() + static_cast<std::ptrdiff_t>(i),
                        fills.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return &fills.front();
        }
    }
    return nullptr;
}

} // namespace

namespace TwVideo {

void ForgetTurnedFills() {
    Fills().Clear();
}

void PlaceTurnedQuad(FrameQuad& quad) {
    Placement& p = quad.placement;
    const int texW = pixman_image_get_width(quad.image), texH = pixman_image_get_height(quad.image);
    // The fan's five corners as the renderer received them: texel positions as fractions of
    // the picture, the centre the mean of the four corners.
    const float invW = 1.0f / static_cast<float>(texW), invH = 1.0f / static_cast<float>(texH);
    float fx[5], fy[5], fu[5], fv[5];
    fx[4] = fy[4] = fu[4] = fv[4] = 0;
    for (int i = 0; i < 4; ++i) {
        fx[i] = quad.corners[i].x;
        fy[i] = quad.corners[i].y;
        fu[i] = quad.corners[i].u * invW;
        fv[i] = quad.corners[i].v * invH;
        fx[4] += 0.25f * fx[i];
        fy[4] += 0.25f * fy[i];
        fu[4] += 0.25f * fu[i];
        fv[4] += 0.25f * fv[i];
    }
    constexpr float kLimit = 1 << 20;
    for (int i = 0; i < 5; ++i) {
        p.dx[i] = static_cast<int>(std::clamp(fx[i], -kLimit, kLimit)) << kFractionBits;
        p.dy[i] = static_cast<int>(std::clamp(fy[i], -kLimit, kLimit)) << kFractionBits;
        p.sx[i] = static_cast<int>(fu[i] * static_cast<float>(texW));
        p.sy[i] = static_cast<int>(fv[i] * static_cast<float>(texH));
        if (p.sx[i] < 0 || p.sy[i] < 0 || p.sx[i] > texW || p.sy[i] > texH) {
            p = Placement{};
            return;
        }
    }
    p.kind = Placement::kTurned;
}

pixman_box32_t TurnedBounds(const Placement& p) {
    return pixman_box32_t{std::min({p.dx[0], p.dx[1], p.dx[2], p.dx[3]}) >> kFractionBits,
                          std::min({p.dy[0], p.dy[1], p.dy[2], p.dy[3]}) >> kFractionBits,
                          (std::max({p.dx[0], p.dx[1], p.dx[2], p.dx[3]}) >> kFractionBits) + 1,
                          (std::max({p.dy[0], p.dy[1], p.dy[2], p.dy[3]}) >> kFractionBits) + 1};
}

void ComposeTurnedQuad(pixman_image_t* dest, const FrameQuad& quad, const ClipBoxes& clip,
                       void (*blend)(pixman_image_t* src, pixman_image_t* dest,
                                     const FrameQuad& quad, int x, int y, int w, int h,
                                     const ClipBoxes& clip)) {
    const Placement& p = quad.placement;
    Point d[5], s[5];
    for (int i = 0; i < 5; ++i) {
        d[i] = Point{p.dx[i], p.dy[i]};
        s[i] = Point{p.sx[i], p.sy[i]};
    }
    // Where the fan can draw, inside the picture being composed.
    const pixman_box32_t bounds = TurnedBounds(p);
    const pixman_box32_t box{std::max(bounds.x1, 0), std::max(bounds.y1, 0),
                             std::min(bounds.x2, pixman_image_get_width(dest)),
                             std::min(bounds.y2, pixman_image_get_height(dest))};
    const int w = box.x2 - box.x1, h = box.y2 - box.y1;
    if (w <= 0 || h <= 0) {
        return;
    }
    if (const TurnedFill* kept = KeptFill(quad, box)) {
        blend(kept->image, dest, quad, box.x1, box.y1, w, h, clip);
        return;
    }
    TurnedFill fill;
    fill.serial = quad.serial;
    fill.placement = p;
    fill.canvas.box = box;
    fill.canvas.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    const std::uint32_t* texels = pixman_image_get_data(quad.image);
    const int texStride = pixman_image_get_stride(quad.image) / 4;
    static const int kFan[4][3] = {{0, 1, 4}, {1, 3, 4}, {3, 2, 4}, {2, 0, 4}};
    for (const auto& triangle : kFan) {
        Point td[3] = {d[triangle[0]], d[triangle[1]], d[triangle[2]]};
        Point ts[3] = {s[triangle[0]], s[triangle[1]], s[triangle[2]]};
        FillTriangle(fill.canvas, texels, texStride, td, ts);
    }
    fill.image = pixman_image_create_bits(PIXMAN_a8r8g8b8, w, h, fill.canvas.pixels.data(), w * 4);
    if (!fill.image) {
        return;
    }
    blend(fill.image, dest, quad, box.x1, box.y1, w, h, clip);
    TurnedFills& fills = Fills();
    if (w * h > kLargestKeptFill) {
        pixman_image_unref(fill.image);
        return;
    }
    if (fills.size() == kKeptFills) {
        pixman_image_unref(fills.back().image);
        fills.pop_back();
    }
    fills.insert(fills.begin(), std::move(fill));
}

} // namespace TwVideo
