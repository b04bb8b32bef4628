// The window's frame backends seen from outside: the null backend keeps the frame's
// bookkeeping (textures, skipped frames, redraws) without pixels, and the software compositor
// composes into whatever target picture it is handed, with no window at all.
#include <cstdint>
#include <gtest/gtest.h>
#include <pixman.h>
#include <vector>

#include "platform/compositor/TwSoftwareCompositor.h"
#include "platform/window/TwVideo.h"

namespace {

std::vector<std::uint8_t> Opaque(int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < w * h; ++i) {
        rgba.insert(rgba.end(), {r, g, b, 0xFF});
    }
    return rgba;
}

void Corners(TwQuadCorner (&c)[4], float x, float y, float w, float h, float tw, float th) {
    c[0] = {x, y, 0, 0};
    c[1] = {x + w, y, tw, 0};
    c[2] = {x, y + h, 0, th};
    c[3] = {x + w, y + h, tw, th};
}

// The renderers below make a hidden window; later tests of the same program expect none.
class NullBackendTest : public ::testing::Test {
protected:
    void TearDown() override { TwVideo::DestroyWindow(); }
};

TEST_F(NullBackendTest, FramesAreCountedAndSkippedWithoutPixels) {
    ASSERT_TRUE(TwVideo::CreateNullRenderer(64, 48));
    ASSERT_TRUE(TwVideo::HasRenderer());
    const std::vector<std::uint8_t> red = Opaque(8, 8, 255, 0, 0);
    TwTexture* texture = TwVideo::CreateTexture(8, 8, red.data());
    ASSERT_NE(texture, nullptr);
    int w = 0, h = 0;
    ASSERT_TRUE(TwVideo::TextureSize(texture, w, h));
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);

    TwQuadCorner corners[4];
    Corners(corners, 4, 4, 8, 8, 8, 8);
    const auto frame = [&](float x) {
        Corners(corners, x, 4, 8, 8, 8, 8);
        TwVideo::Clear();
        EXPECT_TRUE(TwVideo::DrawQuad(texture, corners, 0xFFFFFFFF));
        return TwVideo::Present();
    };
    const std::uint64_t before = TwVideo::PresentedFrames();
    EXPECT_TRUE(frame(4));  // the first frame is always shown
    EXPECT_FALSE(frame(4)); // the same picture again: skipped
    EXPECT_TRUE(frame(5));  // moved
    TwVideo::RequestRedraw();
    EXPECT_TRUE(frame(5)); // asked for
    EXPECT_EQ(TwVideo::PresentedFrames(), before + 3);

    std::vector<std::uint32_t> pixels;
    EXPECT_FALSE(TwVideo::ReadPixels(pixels, w, h)); // nothing was drawn to read

    // A headless renderer asked for afterwards draws real pixels again.
    TwVideo::DestroyTexture(texture);
    ASSERT_TRUE(TwVideo::CreateHeadless(64, 48));
    texture = TwVideo::CreateTexture(8, 8, red.data());
    ASSERT_NE(texture, nullptr);
    TwVideo::Clear();
    Corners(corners, 4, 4, 8, 8, 8, 8);
    ASSERT_TRUE(TwVideo::DrawQuad(texture, corners, 0xFFFFFFFF));
    ASSERT_TRUE(TwVideo::ReadPixels(pixels, w, h));
    ASSERT_EQ(w, 64);
    EXPECT_EQ(pixels[static_cast<std::size_t>(6 * w + 6)], 0xFFFF0000u);
    EXPECT_EQ(pixels[0], 0xFF000000u);
    TwVideo::DestroyTexture(texture);
}

// A quad of an opaque picture, placed by the compositor.
struct PlacedQuad {
    FrameQuad quad;
    PlacedQuad(pixman_image_t* image, bool opaque, float x, float y, float size) {
        quad.image = image;
        quad.opaque = opaque;
        quad.serial = reinterpret_cast<std::uintptr_t>(image);
        quad.argb = 0xFFFFFFFF;
        Corners(quad.corners, x, y, size, size, static_cast<float>(pixman_image_get_width(image)),
                static_cast<float>(pixman_image_get_height(image)));
        TwVideo::PlaceQuad(quad);
    }
};

std::uint32_t At(pixman_image_t* image, int x, int y) {
    return pixman_image_get_data(image)[y * pixman_image_get_stride(image) / 4 + x] | 0xFF000000u;
}

TEST(SoftwareCompositorTest, ComposesIntoTheTargetItIsHandedAndRedrawsOnlyTheDamage) {
    bool opaque = false, even = false;
    const std::vector<std::uint8_t> blue = Opaque(4, 4, 0, 0, 255);
    pixman_image_t* picture = TwVideo::MakeImage(4, 4, blue.data(), opaque, even);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(opaque);
    EXPECT_TRUE(even);
    pixman_image_t* target = pixman_image_create_bits(PIXMAN_x8r8g8b8, 16, 16, nullptr, 0);
    ASSERT_NE(target, nullptr);

    TwVideo::SoftwareCompositor compositor;
    compositor.Compose(PlacedQuad(picture, true, 0, 0, 4).quad); // no target yet: nothing
    compositor.SetTarget(target);
    EXPECT_EQ(compositor.Width(), 16);
    EXPECT_EQ(compositor.Height(), 16);
    compositor.ClearAll();
    const PlacedQuad first(picture, true, 2, 2, 4);
    compositor.Compose(first.quad);
    EXPECT_EQ(At(target, 3, 3), 0xFF0000FFu);
    EXPECT_EQ(At(target, 1, 1), 0xFF000000u);
    EXPECT_EQ(At(target, 6, 6), 0xFF000000u);

    // The sprite moves: the damage is its old and new place, and only that is redrawn.
    const PlacedQuad moved(picture, true, 8, 8, 4);
    std::vector<FrameQuad> shown{first.quad}, now{moved.quad};
    pixman_region32_t damage;
    pixman_region32_init(&damage);
    TwVideo::FindDamage(now, shown, 16, 16, &damage);
    EXPECT_TRUE(pixman_region32_contains_point(&damage, 3, 3, nullptr));
    EXPECT_TRUE(pixman_region32_contains_point(&damage, 9, 9, nullptr));
    EXPECT_FALSE(pixman_region32_contains_point(&damage, 14, 1, nullptr));
    pixman_image_get_data(target)[1 * 16 + 14] = 0x00123456; // outside the damage: kept
    compositor.RedrawRegion(now, &damage);
    EXPECT_EQ(At(target, 3, 3), 0xFF000000u);
    EXPECT_EQ(At(target, 9, 9), 0xFF0000FFu);
    EXPECT_EQ(At(target, 14, 1), 0xFF123456u);
    pixman_region32_fini(&damage);

    // The compositor holds its own reference: the target outlives the caller's.
    pixman_image_unref(target);
    compositor.Compose(first.quad);
    compositor.SetTarget(nullptr);
    compositor.ForgetKept();
    pixman_image_unref(picture);
}

} // namespace
