// The blend nearly every redrawn pixel of a frame goes through: a premultiplied picture laid
// over the frame (bubbles, their shadows, the launcher, text). Sprites are small (a bubble is 36
// pixels wide), and for rows that short pixman spends more on lining up its vector loop than on
// blending; these loops blend eight pixels at a time from the first pixel on. They compute exactly
// what pixman's OVER computes (d = s + d * (255 - sa) / 255, rounded the same way), so the picture
// does not change.

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZV_BLEND_X86 1
#endif

#include "platform/compositor/TwSoftwareBlend.h"

#include <algorithm>
#include <cstdint>

namespace {

// One pixel, as pixman's OVER rounds: t = d * (255 - sa) + 128, (t + t / 256) / 256.
inline std::uint32_t OverPixel(std::uint32_t s, std::uint32_t d) {
    const std::uint32_t a = s >> 24;
    if (a == 0xFF) {
        return s;
    }
    if (s == 0) {
        return d;
    }
    const std::uint32_t na = 255 - a;
    std::uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t t = ((d >> shift) & 0xFF) * na + 0x80;
        const std::uint32_t c = ((s >> shift) & 0xFF) + ((t + (t >> 8)) >> 8);
        out |= (c > 255 ? 255 : c) << shift;
    }
    return out;
}

void OverRowScalar(std::uint32_t* d, const std::uint32_t* s, int n) {
    for (int i = 0; i < n; ++i) {
        d[i] = OverPixel(s[i], d[i]);
    }
}

#ifdef ZV_BLEND_X86
// Four pixels with SSE2 (every x86-64 machine has it).
inline __m128i Over4(__m128i s, __m128i d) {
    const __m128i zero = _mm_setzero_si128(), k0080 = _mm_set1_epi16(0x80),
                  k0101 = _mm_set1_epi16(0x101), k00ff = _mm_set1_epi16(0xFF);
    const auto half = [&](__m128i s16, __m128i d16) {
        __m128i na = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
        na = _mm_xor_si128(na, k00ff);
        const __m128i t = _mm_adds_epu16(_mm_mullo_epi16(d16, na), k0080);
        return _mm_add_epi16(s16, _mm_mulhi_epu16(t, k0101));
    };
    const __m128i lo = half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero));
    const __m128i hi = half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero));
    return _mm_packus_epi16(lo, hi);
}

void OverRowSse2(std::uint32_t* d, const std::uint32_t* s, int n) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 4 <= n; i += 4) {
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(sv, _mm_setzero_si128())) == 0xFFFF) {
            continue; // all transparent
        }
        __m128i* dp = reinterpret_cast<__m128i*>(d + i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, alpha), alpha)) == 0xFFFF) {
            _mm_storeu_si128(dp, sv); // all opaque
            continue;
        }
        _mm_storeu_si128(dp, Over4(sv, _mm_loadu_si128(dp)));
    }
    OverRowScalar(d + i, s + i, n - i);
}

// Eight pixels with AVX2, where the processor has it.
__attribute__((target("avx2"))) void OverRowAvx2(std::uint32_t* d, const std::uint32_t* s, int n) {
    const __m256i zero = _mm256_setzero_si256(), k0080 = _mm256_set1_epi16(0x80),
                  k0101 = _mm256_set1_epi16(0x101), k00ff = _mm256_set1_epi16(0xFF),
                  alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    const auto half = [&](__m256i s16, __m256i d16) __attribute__((target("avx2"))) {
        __m256i na = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, 0xFF), 0xFF);
        na = _mm256_xor_si256(na, k00ff);
        const __m256i t = _mm256_adds_epu16(_mm256_mullo_epi16(d16, na), k0080);
        return _mm256_add_epi16(s16, _mm256_mulhi_epu16(t, k0101));
    };
    const auto over8 = [&](__m256i sv, __m256i dv) __attribute__((target("avx2"))) {
        const __m256i lo = half(_mm256_unpacklo_epi8(sv, zero), _mm256_unpacklo_epi8(dv, zero));
        const __m256i hi = half(_mm256_unpackhi_epi8(sv, zero), _mm256_unpackhi_epi8(dv, zero));
        return _mm256_packus_epi16(lo, hi);
    };
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        if (_mm256_testz_si256(sv, sv)) {
            continue; // all transparent
        }
        __m256i* dp = reinterpret_cast<__m256i*>(d + i);
        const __m256i opaque = _mm256_cmpeq_epi32(_mm256_and_si256(sv, alpha), alpha);
        if (_mm256_movemask_epi8(opaque) == -1) {
            _mm256_storeu_si256(dp, sv);
            continue;
        }
        _mm256_storeu_si256(dp, over8(sv, _mm256_loadu_si256(dp)));
    }
    if (i < n) {
        // The last one to seven pixels, loaded and stored through a mask of the lanes that
        // exist (no switch back to the narrower instructions, which would stall).
        const __m256i lanes =
            _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        auto* sp = reinterpret_cast<const int*>(s + i);
        auto* dp = reinterpret_cast<int*>(d + i);
        const __m256i sv = _mm256_maskload_epi32(sp, lanes);
        _mm256_maskstore_epi32(dp, lanes, over8(sv, _mm256_maskload_epi32(dp, lanes)));
    }
}

using OverRow = void (*)(std::uint32_t*, const std::uint32_t*, int);
OverRow Widest() {
    return __builtin_cpu_supports("avx2") ? OverRowAvx2 : OverRowSse2;
}
OverRow FourAtATime() {
    return OverRowSse2;
}
#else
using OverRow = void (*)(std::uint32_t*, const std::uint32_t*, int);
OverRow Widest() {
    return OverRowScalar;
}
OverRow FourAtATime() {
    return OverRowScalar;
}
#endif

OverRow& OverRowLoop() {
    static OverRow loop = Widest();
    return loop;
}

// 32-bit pixels with colour in the same places (alpha or not): what these loops blend.
bool Plain32(pixman_image_t* image) {
    const pixman_format_code_t f = pixman_image_get_format(image);
    return f == PIXMAN_a8r8g8b8 || f == PIXMAN_x8r8g8b8;
}

} // namespace

namespace TwVideo {

bool BlendOver(pixman_image_t* src, pixman_image_t* dest, int sx, int sy, int dx, int dy, int w,
               int h) {
    if (!Plain32(dest) || pixman_image_get_format(src) != PIXMAN_a8r8g8b8) {
        return false;
    }
    // Only where both pictures are: the outside of the source adds nothing.
    const int srcW = pixman_image_get_width(src), srcH = pixman_image_get_height(src);
    const int dstW = pixman_image_get_width(dest), dstH = pixman_image_get_height(dest);
    const int left = std::max({0, -sx, -dx}), top = std::max({0, -sy, -dy});
    const int right = std::min({w, srcW - sx, dstW - dx});
    const int bottom = std::min({h, srcH - sy, dstH - dy});
    if (right <= left || bottom <= top) {
        return true;
    }
    const OverRow overRow = OverRowLoop();
    const std::ptrdiff_t srcStride = pixman_image_get_stride(src) / 4;
    const std::ptrdiff_t dstStride = pixman_image_get_stride(dest) / 4;
    const std::uint32_t* from = pixman_image_get_data(src) + (sy + top) * srcStride + (sx + left);
    std::uint32_t* to = pixman_image_get_data(dest) + (dy + top) * dstStride + (dx + left);
    for (int y = top; y < bottom; ++y, from += srcStride, to += dstStride) {
        overRow(to, from, right - left);
    }
    return true;
}

void UseBlendLoops(BlendLoops loops) {
    OverRowLoop() = loops == BlendLoops::kWidest        ? Widest()
                    : loops == BlendLoops::kFourAtATime ? FourAtATime()
                                                        : OverRowScalar;
}

} // namespace TwVideo
