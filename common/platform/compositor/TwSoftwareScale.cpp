// Smooth scaling of the game picture into the window, box by box. A full screen shows the
// 800 x 600 picture at up to twice its size, so every changed picture pixel becomes three or
// four on screen: the scaling is done in two passes (columns, then rows) so that a picture
// row is blended across only once for all the window rows that use it, eight pixels at a time
// where the processor can.
#include "platform/compositor/TwSoftwareScale.h"

#include <algorithm>
#include <cmath>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZV_SCALE_X86 1
#endif

namespace {

// (p * (128 - w) + q * w + 64) / 128 in each channel, two channels at a time in 32 bits.
inline std::uint32_t Lerp(std::uint32_t p, std::uint32_t q, std::uint32_t w) {
    const std::uint32_t iw = 128 - w;
    const std::uint32_t rb =
        (((p & 0x00FF00FFu) * iw + (q & 0x00FF00FFu) * w + 0x00400040u) >> 7) & 0x00FF00FFu;
    const std::uint32_t ag =
        ((((p >> 8) & 0x00FF00FFu) * iw + ((q >> 8) & 0x00FF00FFu) * w + 0x00400040u) << 1) &
        0xFF00FF00u;
    return rb | ag;
}

// One picture row blended across for window columns [x1, x1 + n).
void ColumnsScalar(const std::uint32_t* row, const TwVideo::ScaleAxis& columns, int x1, int n,
                   std::uint32_t* out) {
    for (int i = 0; i < n; ++i) {
        const int x = x1 + i;
        out[i] = Lerp(row[columns.first[x]], row[columns.second[x]], columns.weight[x]);
    }
}

// Two blended rows blended down into a window row.
void RowsScalar(const std::uint32_t* a, const std::uint32_t* b, std::uint32_t w, int n,
                std::uint32_t* out) {
    for (int i = 0; i < n; ++i) {
        out[i] = Lerp(a[i], b[i], w);
    }
}

#ifdef ZV_SCALE_X86
// Eight pixels p and q blended: the channels of p and q side by side, multiplied by their
// weights (128 - w, w: one byte each, two per channel) and summed in one step.
__attribute__((target("avx2"))) inline __m256i Lerp8(__m256i p, __m256i q, __m256i wLo,
                                                     __m256i wHi) {
    const __m256i k64 = _mm256_set1_epi16(64);
    const __m256i lo = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(p, q), wLo), k64), 7);
    const __m256i hi = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(p, q), wHi), k64), 7);
    return _mm256_packus_epi16(lo, hi);
}

__attribute__((target("avx2"))) void ColumnsAvx2(const std::uint32_t* row,
                                                 const TwVideo::ScaleAxis& columns, int x1, int n,
                                                 std::uint32_t* out) {
    const int* base = reinterpret_cast<const int*>(row);
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const int x = x1 + i;
        const __m256i first =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&columns.first[x]));
        const __m256i second =
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(&columns.second[x]));
        __m256i p, q;
        const int from = columns.first[x];
        if (columns.second[x + 7] - from < 8 && from + 8 <= columns.pictureSize) {
            // Enlarged, eight window pixels fall within eight picture pixels in a row: one
            // load, then each pixel picked out of it (cheaper than gathering).
            const __m256i span = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + from));
            const __m256i at = _mm256_set1_epi32(from);
            p = _mm256_permutevar8x32_epi32(span, _mm256_sub_epi32(first, at));
            q = _mm256_permutevar8x32_epi32(span, _mm256_sub_epi32(second, at));
        } else {
            p = _mm256_i32gather_epi32(base, first, 4);
            q = _mm256_i32gather_epi32(base, second, 4);
        }
        // The weight bytes of pixels 0-3 and 4-7, rearranged as unpacking pairs the pixels.
        const __m256i w03 = _mm256_loadu_si256(
            reinterpret_cast<const __m256i*>(&columns.pairs[8 * std::size_t(x)]));
        const __m256i w47 = _mm256_loadu_si256(
            reinterpret_cast<const __m256i*>(&columns.pairs[8 * std::size_t(x) + 32]));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i),
                            Lerp8(p, q, _mm256_permute2x128_si256(w03, w47, 0x20),
                                  _mm256_permute2x128_si256(w03, w47, 0x31)));
    }
    for (; i < n; ++i) {
        const int x = x1 + i;
        out[i] = Lerp(row[columns.first[x]], row[columns.second[x]], columns.weight[x]);
    }
}

__attribute__((target("avx2"))) void RowsAvx2(const std::uint32_t* a, const std::uint32_t* b,
                                              std::uint32_t w, int n, std::uint32_t* out) {
    const __m256i weights = _mm256_set1_epi16(static_cast<short>(w << 8 | (128 - w)));
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i q = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), Lerp8(p, q, weights, weights));
    }
    for (; i < n; ++i) {
        out[i] = Lerp(a[i], b[i], w);
    }
}

bool HasAvx2() {
    return __builtin_cpu_supports("avx2");
}
#endif

struct Loops {
    void (*columns)(const std::uint32_t*, const TwVideo::ScaleAxis&, int, int, std::uint32_t*);
    void (*rows)(const std::uint32_t*, const std::uint32_t*, std::uint32_t, int, std::uint32_t*);
};

Loops WidestLoops() {
#ifdef ZV_SCALE_X86
    if (HasAvx2()) {
        return Loops{ColumnsAvx2, RowsAvx2};
    }
#endif
    return Loops{ColumnsScalar, RowsScalar};
}

Loops& ScaleLoops() {
    static Loops loops = WidestLoops();
    return loops;
}

// Two picture rows blended across, kept while the window rows below still use them.
struct BlendedRows {
    std::vector<std::uint32_t> pixels[2];
    int picture[2] = {-1, -1};
};

} // namespace

namespace TwVideo {

ScaleAxis MakeScaleAxis(int pictureSize, int offset, int windowSize, double scale) {
    ScaleAxis axis;
    if (pictureSize <= 0 || windowSize <= 0 || !(scale > 0)) {
        return axis;
    }
    const auto size = static_cast<std::size_t>(windowSize);
    axis.first.resize(size);
    axis.second.resize(size);
    axis.weight.resize(size);
    axis.pairs.resize(8 * size);
    axis.pictureSize = pictureSize;
    const int last = pictureSize - 1;
    // Positions in 16.16 fixed point, weights in 128ths, as pixman placed them when it scaled
    // the picture: the look stays as it was.
    const auto fixed = [](double v) { return static_cast<std::int64_t>(v * 65536.0); };
    const std::int64_t step = fixed(1.0 / scale), start = fixed(-offset / scale);
    for (int i = 0; i < windowSize; ++i) {
        // The window pixel's centre in the picture, between the centres of two pixels.
        const std::int64_t at = ((step * (i * std::int64_t{65536} + 32768)) >> 16) + start - 32768;
        const std::int64_t base = at >> 16;
        int weight = static_cast<int>((at >> 9) & 0x7F);
        const int first = static_cast<int>(std::clamp<std::int64_t>(base, 0, last));
        int second = static_cast<int>(std::clamp<std::int64_t>(base + 1, 0, last));
        // A pixel taken whole is blended with itself half and half: the vector loops' weights
        // are signed bytes, which cannot hold 128.
        if (first == second || weight == 0) {
            second = first;
            weight = 0;
        }
        axis.first[i] = first;
        axis.second[i] = second;
        axis.weight[i] = static_cast<std::uint16_t>(weight);
        for (int channel = 0; channel < 4; ++channel) {
            axis.pairs[8 * i + 2 * channel] = static_cast<std::uint8_t>(weight ? 128 - weight : 64);
            axis.pairs[8 * i + 2 * channel + 1] = static_cast<std::uint8_t>(weight ? weight : 64);
        }
    }
    return axis;
}

void ScaleBox(const std::uint32_t* picture, std::ptrdiff_t pictureStride, const ScaleAxis& columns,
              const ScaleAxis& rows, std::uint32_t* window, std::ptrdiff_t windowStride, int x1,
              int y1, int x2, int y2) {
    const int n = x2 - x1;
    if (n <= 0 || y2 <= y1) {
        return;
    }
    const Loops loops = ScaleLoops();
    static BlendedRows kept;
    for (std::vector<std::uint32_t>& pixels : kept.pixels) {
        pixels.resize(static_cast<std::size_t>(n));
    }
    kept.picture[0] = kept.picture[1] = -1; // another box: other columns
    // The kept row holding picture row `y`, blended now if neither does; `keep` is a slot not
    // to overwrite.
    const auto blended = [&](int y, int keep) {
        for (int slot = 0; slot < 2; ++slot) {
            if (kept.picture[slot] == y) {
                return slot;
            }
        }
        const int slot = keep == 0   ? 1
                         : keep == 1 ? 0
                                     : (kept.picture[0] < kept.picture[1] ? 0 : 1);
        loops.columns(picture + y * pictureStride, columns, x1, n, kept.pixels[slot].data());
        kept.picture[slot] = y;
        return slot;
    };
    for (int y = y1; y < y2; ++y) {
        std::uint32_t* out = window + y * windowStride + x1;
        const int top = blended(rows.first[y], -1);
        if (rows.weight[y] == 0) {
            std::copy_n(kept.pixels[top].data(), n, out);
            continue;
        }
        const int bottom = blended(rows.second[y], top);
        loops.rows(kept.pixels[top].data(), kept.pixels[bottom].data(), rows.weight[y], n, out);
    }
}

void UseWidestScaleLoops(bool widest) {
    ScaleLoops() = widest ? WidestLoops() : Loops{ColumnsScalar, RowsScalar};
}

} // namespace TwVideo
