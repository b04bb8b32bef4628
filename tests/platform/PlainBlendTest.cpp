// The compositor's own loops for plain blends draw exactly the pixels pixman's OVER draws, whatever
// the row length (the vector loops' leftovers), every alpha, and where the sprite hangs over the
// edges of its picture or of the frame.
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "platform/compositor/TwSoftwareBlend.h"

namespace {

struct Image {
    pixman_image_t* image;
    Image(pixman_format_code_t format, int w, int h)
        : image(pixman_image_create_bits(format, w, h, nullptr, 0)) {}
    ~Image() { pixman_image_unref(image); }
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    std::uint32_t* Bits() const { return pixman_image_get_data(image); }
    int Count() const { return pixman_image_get_width(image) * pixman_image_get_height(image); }
};

// Premultiplied texels of every alpha, colours no brighter than their alpha.
void FillPicture(const Image& picture) {
    std::uint32_t seed = 7;
    for (int i = 0; i < picture.Count(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const std::uint32_t a = (i % 5 == 0) ? 0 : (i % 7 == 0) ? 255 : (seed >> 24);
        const auto c = [&](int shift) { return a == 0 ? 0u : ((seed >> shift) & 0xFF) % (a + 1); };
        picture.Bits()[i] = a << 24 | c(0) << 16 | c(8) << 8 | c(16);
    }
}

void FillFrame(const Image& frame, std::uint32_t seed) {
    for (int i = 0; i < frame.Count(); ++i) {
        seed = seed * 1103515245u + 12345u;
        frame.Bits()[i] = seed;
    }
}

bool SameFrames(const Image& a, const Image& b) {
    for (int i = 0; i < a.Count(); ++i) {
        if (a.Bits()[i] != b.Bits()[i]) {
            return false;
        }
    }
    return true;
}

// Each kind of loop the processor may use, widest to narrowest.
TEST(PlainBlendTest, BlendsLikePixmanAtEveryLengthAndEdge) {
    const Image picture(PIXMAN_a8r8g8b8, 64, 48);
    FillPicture(picture);
    for (const auto loops : {TwVideo::BlendLoops::kWidest, TwVideo::BlendLoops::kFourAtATime,
                             TwVideo::BlendLoops::kOneAtATime}) {
        TwVideo::UseBlendLoops(loops);
        for (const pixman_format_code_t format : {PIXMAN_x8r8g8b8, PIXMAN_a8r8g8b8}) {
            const Image ours(format, 80, 60), theirs(format, 80, 60);
            // Every row length up to past two vector widths, placed inside and over each edge.
            for (int w = 1; w <= 40; ++w) {
                for (const int dx : {-5, 0, 3, 80 - w, 80 - w + 4}) {
                    const int sx = (w * 7) % 30 - 3, sy = w % 9 - 4, dy = w % 3 == 0 ? -3 : 50;
                    FillFrame(ours, static_cast<std::uint32_t>(w * 131 + dx));
                    FillFrame(theirs, static_cast<std::uint32_t>(w * 131 + dx));
                    ASSERT_TRUE(
                        TwVideo::BlendOver(picture.image, ours.image, sx, sy, dx, dy, w, 13));
                    pixman_image_composite32(PIXMAN_OP_OVER, picture.image, nullptr, theirs.image,
                                             sx, sy, 0, 0, dx, dy, w, 13);
                    ASSERT_TRUE(SameFrames(ours, theirs))
                        << "blend of " << w << " at " << dx << ", " << dy << " from " << sx << ", "
                        << sy << " with loops " << static_cast<int>(loops);
                }
            }
        }
    }
    TwVideo::UseBlendLoops(TwVideo::BlendLoops::kWidest);
}

TEST(PlainBlendTest, LeavesPicturesItCannotDrawToPixman) {
    const Image straight(PIXMAN_a8b8g8r8, 8, 8), frame(PIXMAN_x8r8g8b8, 8, 8),
        small(PIXMAN_r5g6b5, 8, 8), picture(PIXMAN_a8r8g8b8, 8, 8);
    EXPECT_FALSE(TwVideo::BlendOver(straight.image, frame.image, 0, 0, 0, 0, 8, 8));
    EXPECT_FALSE(TwVideo::BlendOver(picture.image, small.image, 0, 0, 0, 0, 8, 8));
    // Nothing to draw where the sprite misses the frame or its picture: done, nothing touched.
    FillFrame(frame, 3);
    const std::uint32_t first = frame.Bits()[0];
    EXPECT_TRUE(TwVideo::BlendOver(picture.image, frame.image, 0, 0, 9, 0, 8, 8));
    EXPECT_TRUE(TwVideo::BlendOver(picture.image, frame.image, 8, 0, 0, 0, 8, 8));
    EXPECT_EQ(frame.Bits()[0], first);
}

} // namespace
