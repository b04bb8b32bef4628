// The game picture scaled smoothly to a screen box by box: the same pixels whichever boxes a
// frame's changes make and whichever loops the processor runs, and the look pixman's smooth
// scaling gave (within a level or two of rounding), letterbox edges included.
#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <pixman.h>
#include <vector>

#include "platform/compositor/TwSoftwareScale.h"

namespace {

constexpr int kPictureW = 200, kPictureH = 150;

std::vector<std::uint32_t> Picture() {
    std::vector<std::uint32_t> pixels(kPictureW * kPictureH);
    std::uint32_t seed = 99;
    for (int y = 0; y < kPictureH; ++y) {
        for (int x = 0; x < kPictureW; ++x) {
            seed = seed * 1664525u + 1013904223u;
            // Smooth shading with sharp edges now and then, as sprites over a backdrop.
            const std::uint32_t r = (x * 255 / kPictureW), g = (y * 255 / kPictureH);
            const std::uint32_t b = (x / 7 + y / 5) % 2 ? 230 : (seed >> 24);
            pixels[y * kPictureW + x] = 0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return pixels;
}

struct Screen {
    int width, height, offsetX, offsetY;
    double scale;
};

// The picture letterboxed into the screen by pixman: bilinear, edges repeated.
std::vector<std::uint32_t> ScaledByPixman(std::vector<std::uint32_t>& picture, const Screen& s) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(s.width) * s.height);
    pixman_image_t* from = pixman_image_create_bits(PIXMAN_x8r8g8b8, kPictureW, kPictureH,
                                                    picture.data(), kPictureW * 4);
    pixman_image_t* to =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, s.width, s.height, out.data(), s.width * 4);
    pixman_transform_t t{};
    const double inv = 1.0 / s.scale;
    t.matrix[0][0] = pixman_double_to_fixed(inv);
    t.matrix[0][2] = pixman_double_to_fixed(-s.offsetX * inv);
    t.matrix[1][1] = pixman_double_to_fixed(inv);
    t.matrix[1][2] = pixman_double_to_fixed(-s.offsetY * inv);
    t.matrix[2][2] = pixman_fixed_1;
    pixman_image_set_transform(from, &t);
    pixman_image_set_filter(from, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(from, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, s.width, s.height);
    pixman_image_unref(from);
    pixman_image_unref(to);
    return out;
}

struct Scaler {
    const Screen& screen;
    const std::vector<std::uint32_t>& picture;
    TwVideo::ScaleAxis columns =
        TwVideo::MakeScaleAxis(kPictureW, screen.offsetX, screen.width, screen.scale);
    TwVideo::ScaleAxis rows =
        TwVideo::MakeScaleAxis(kPictureH, screen.offsetY, screen.height, screen.scale);
    void Box(std::vector<std::uint32_t>& out, int x1, int y1, int x2, int y2) const {
        TwVideo::ScaleBox(picture.data(), kPictureW, columns, rows, out.data(), screen.width, x1,
                          y1, x2, y2);
    }
};

int LargestDifference(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int d =
                static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF);
            largest = std::max(largest, d < 0 ? -d : d);
        }
    }
    return largest;
}

const Screen kScreens[] = {
    {256, 192, 0, 0, 1.28}, // as 1024 x 768
    {480, 270, 40, 0, 1.8}, // as 1920 x 1080: bars left and right
    {300, 300, 0, 37, 1.5}, // a tall window: bars above and below
    {160, 120, 0, 0, 0.8},  // a window smaller than the picture
};

TEST(SmoothScaleTest, LooksAsPixmanScaledIt) {
    std::vector<std::uint32_t> picture = Picture();
    for (const Screen& screen : kScreens) {
        const Scaler scaler{screen, picture};
        std::vector<std::uint32_t> ours(static_cast<std::size_t>(screen.width) * screen.height);
        scaler.Box(ours, 0, 0, screen.width, screen.height);
        EXPECT_LE(LargestDifference(ours, ScaledByPixman(picture, screen)), 2)
            << "scaled by " << screen.scale;
    }
}

TEST(SmoothScaleTest, BoxesAndLoopsMakeTheSamePixelsAsTheWholeScreen) {
    std::vector<std::uint32_t> picture = Picture();
    for (const Screen& screen : kScreens) {
        const Scaler scaler{screen, picture};
        const std::size_t size = static_cast<std::size_t>(screen.width) * screen.height;
        std::vector<std::uint32_t> whole(size), boxes(size, 0), scalar(size);
        scaler.Box(whole, 0, 0, screen.width, screen.height);
        TwVideo::UseWidestScaleLoops(false);
        scaler.Box(scalar, 0, 0, screen.width, screen.height);
        TwVideo::UseWidestScaleLoops(true);
        EXPECT_TRUE(scalar == whole) << "one pixel at a time, scaled by " << screen.scale;
        // Boxes of every width from one pixel up, touching and overlapping, cover the screen.
        int y = 0;
        for (int h = 1; y < screen.height; ++h) {
            const int bottom = std::min(screen.height, y + h);
            for (int x = 0, w = 1; x < screen.width; x += w, w = w % 19 + 1) {
                scaler.Box(boxes, x, y, std::min(screen.width, x + w), bottom);
            }
            y = bottom;
        }
        EXPECT_TRUE(boxes == whole) << "box by box, scaled by " << screen.scale;
    }
}

} // namespace
