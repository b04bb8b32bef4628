#include <algorithm>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "gfx/TwImage.h"
#include "gfx/TwImageData.h"
#include "gfx/TwRenderDevice.h"
#include "platform/window/TwVideo.h"

namespace {

constexpr std::uint32_t kBlack = 0xFF000000;
constexpr std::uint32_t kRed = 0xFFFF0000;
constexpr std::uint32_t kGreen = 0xFF00FF00;
constexpr std::uint32_t kBlue = 0xFF0000FF;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr float kQuarterTurn = 1.57079632679f;

// A picture built from ARGB values, uploaded as the RGBA bytes the device takes.
class TestPicture {
public:
    TestPicture(int width, int height, std::uint32_t (*colourAt)(int x, int y))
        : width_(width), height_(height) {
        std::vector<std::uint8_t> rgba;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint32_t c = colourAt(x, y);
                rgba.push_back(static_cast<std::uint8_t>(c >> 16));
                rgba.push_back(static_cast<std::uint8_t>(c >> 8));
                rgba.push_back(static_cast<std::uint8_t>(c));
                rgba.push_back(static_cast<std::uint8_t>(c >> 24));
            }
        }
        texture_ = TwRenderDevice::Instance().CreateTexture(width, height, rgba.data());
    }
    ~TestPicture() { TwRenderDevice::Instance().DestroyTexture(texture_); }
    TwTexture* Texture() const { return texture_; }
    TwRect Whole() const { return TwRect{0, 0, width_, height_}; }

private:
    int width_, height_;
    TwTexture* texture_ = nullptr;
};

class RenderDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.CreateHeadless());
        device.StartScene();
    }
    void TearDown() override { device.FinishScene(); }

    std::uint32_t Pixel(int x, int y) {
        if (pixels.empty()) {
            EXPECT_TRUE(device.ReadPixels(pixels));
            EXPECT_EQ(pixels.size(), 800u * 600u);
        }
        return pixels.at(static_cast<std::size_t>(y) * 800 + static_cast<std::size_t>(x));
    }

    TwRenderDevice& device = TwRenderDevice::Instance();
    std::vector<std::uint32_t> pixels;
};

// Left half red, right half blue.
std::uint32_t RedBlue(int x, int) {
    return x < 32 ? kRed : kBlue;
}
// Quadrants: red, green / blue, white.
std::uint32_t Quadrants(int x, int y) {
    if (y < 4) {
        return x < 4 ? kRed : kGreen;
    }
    return x < 4 ? kBlue : kWhite;
}
std::uint32_t AllWhite(int, int) {
    return kWhite;
}
// A wide bar whose right quarter is red.
std::uint32_t BarRedEnd(int x, int) {
    return x >= 30 ? kRed : kWhite;
}

// An image showing a picture record made by the test.
class HeldImage : public TwImage {
public:
    explicit HeldImage(std::shared_ptr<TwImageData> record) { Hold(std::move(record)); }
};

} // namespace

TEST_F(RenderDeviceTest, PlainDrawPlacesThePictureAtDestinationPlusOffset) {
    TestPicture picture(8, 8, Quadrants);
    const TwRect dest{100, 50, 108, 58};
    EXPECT_EQ(device.DrawImage(&dest, picture.Texture(), nullptr, 2.0f, 3.0f), TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(102, 53), kRed);
    EXPECT_EQ(Pixel(109, 60), kWhite);
    EXPECT_EQ(Pixel(101, 53), kBlack);
    EXPECT_EQ(Pixel(110, 61), kBlack);
}

TEST_F(RenderDeviceTest, DestinationTwiceTheSourceDrawsDoubleSize) {
    TestPicture picture(8, 8, Quadrants);
    const TwRect src = picture.Whole();
    const TwRect dest{200, 200, 216, 216};
    ASSERT_EQ(device.DrawImage(&dest, picture.Texture(), &src, 0, 0), TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(202, 202), kRed);
    EXPECT_EQ(Pixel(213, 202), kGreen);
    EXPECT_EQ(Pixel(202, 213), kBlue);
    EXPECT_EQ(Pixel(213, 213), kWhite);
    EXPECT_EQ(Pixel(216, 216), kBlack);
    EXPECT_EQ(Pixel(199, 199), kBlack);
}

TEST_F(RenderDeviceTest, SourcePartIsCutFromThePicture) {
    TestPicture picture(8, 8, Quadrants);
    const TwRect src{4, 4, 8, 8}; // the white quadrant only
    const TwRect dest{300, 300, 304, 304};
    ASSERT_EQ(device.DrawImage(&dest, picture.Texture(), &src, 0, 0), TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(300, 300), kWhite);
    EXPECT_EQ(Pixel(303, 303), kWhite);
    EXPECT_EQ(Pixel(304, 303), kBlack);
}

TEST_F(RenderDeviceTest, HorizontalMirrorStaysOnTheSame64Pixels) {
    TestPicture picture(64, 8, RedBlue);
    const TwRect src = picture.Whole();
    const TwRect dest{400, 100, 464, 108};
    ASSERT_EQ(device.DrawImageEx(&dest, picture.Texture(), &src, TwRenderDevice::kMirrorHorizontal,
                                 kWhite, 0, nullptr, 0, 0),
              TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(400, 104), kBlue);
    EXPECT_EQ(Pixel(430, 104), kBlue);
    EXPECT_EQ(Pixel(433, 104), kRed);
    EXPECT_EQ(Pixel(463, 104), kRed);
    EXPECT_EQ(Pixel(399, 104), kBlack);
    EXPECT_EQ(Pixel(464, 104), kBlack);
}

TEST_F(RenderDeviceTest, VerticalMirrorFlipsWithinTheDestination) {
    TestPicture picture(8, 8, Quadrants);
    const TwRect src = picture.Whole();
    const TwRect dest{500, 500, 508, 508};
    ASSERT_EQ(device.DrawImageEx(&dest, picture.Texture(), &src, TwRenderDevice::kMirrorVertical,
                                 kWhite, 0, nullptr, 0, 0),
              TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(501, 501), kBlue);
    EXPECT_EQ(Pixel(506, 506), kGreen);
}

TEST_F(RenderDeviceTest, PositiveAngleTurnsCounterClockwiseAboutTheSourceCentre) {
    TestPicture picture(40, 20, BarRedEnd);
    const TwRect src = picture.Whole();
    const TwRect dest{300, 300, 340, 320};
    ASSERT_EQ(
        device.DrawImageEx(&dest, picture.Texture(), &src, 0, kWhite, kQuarterTurn, nullptr, 0, 0),
        TwRenderDevice::kOk);
    // The bar now stands upright around its centre (320, 310); its red end points up.
    EXPECT_EQ(Pixel(320, 293), kRed);
    EXPECT_EQ(Pixel(320, 320), kWhite);
    EXPECT_EQ(Pixel(320, 327), kWhite);
    EXPECT_EQ(Pixel(305, 310), kBlack);
    EXPECT_EQ(Pixel(320, 332), kBlack);
}

TEST_F(RenderDeviceTest, GivenCentreIsThePivot) {
    TestPicture picture(40, 20, BarRedEnd);
    const TwRect src = picture.Whole();
    const TwRect dest{300, 300, 340, 320};
    const TwPoint topLeft{0, 0};
    ASSERT_EQ(
        device.DrawImageEx(&dest, picture.Texture(), &src, 0, kWhite, kQuarterTurn, &topLeft, 0, 0),
        TwRenderDevice::kOk);
    // Turned about its top-left corner: the bar rises from (300..320, 260..300).
    EXPECT_EQ(Pixel(310, 265), kRed);
    EXPECT_EQ(Pixel(310, 295), kWhite);
    EXPECT_EQ(Pixel(310, 305), kBlack);
    EXPECT_EQ(Pixel(325, 280), kBlack);
}

TEST_F(RenderDeviceTest, TintMultipliesColourAndAlpha) {
    TestPicture picture(4, 4, AllWhite);
    const TwRect src = picture.Whole();
    const TwRect green{10, 10, 14, 14};
    const TwRect halfRed{20, 10, 24, 14};
    device.DrawImageEx(&green, picture.Texture(), &src, 0, 0xFF00FF00, 0, nullptr, 0, 0);
    device.DrawImageEx(&halfRed, picture.Texture(), &src, 0, 0x80FF0000, 0, nullptr, 0, 0);
    EXPECT_EQ(Pixel(11, 11), kGreen);
    const std::uint32_t blended = Pixel(21, 11);
    EXPECT_NEAR(static_cast<int>((blended >> 16) & 0xFF), 128, 2);
    EXPECT_EQ(blended & 0xFFFF, 0u);
}

TEST_F(RenderDeviceTest, MissingTextureDrawsNothing) {
    const TwRect dest{0, 0, 64, 64};
    const TwRect src{0, 0, 64, 64};
    EXPECT_EQ(device.DrawImageEx(&dest, nullptr, &src, 2, kWhite, 1.0f, nullptr, 0, 0),
              TwRenderDevice::kOk);
    EXPECT_NE(device.DrawImage(&dest, nullptr, &src, 0, 0), TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(10, 10), kBlack);
}

TEST_F(RenderDeviceTest, SourceBeyondThePictureDrawsOnlyWhatExists) {
    TestPicture picture(8, 8, Quadrants);
    const TwRect src{4, 4, 12, 12}; // half of it lies outside the picture
    const TwRect dest{600, 100, 608, 108};
    ASSERT_EQ(device.DrawImage(&dest, picture.Texture(), &src, 0, 0), TwRenderDevice::kOk);
    EXPECT_EQ(Pixel(601, 101), kWhite);
    EXPECT_EQ(Pixel(605, 105), kBlack);
    const TwRect nothing{20, 20, 30, 30};
    EXPECT_NE(device.DrawImage(&dest, picture.Texture(), &nothing, 0, 0), TwRenderDevice::kOk);
}

TEST(RenderDeviceTextures, HandlesOutliveTheRendererAndDrawNothingUntilRebuilt) {
    TwRenderDevice& device = TwRenderDevice::Instance();
    ASSERT_TRUE(device.CreateHeadless());
    const int before = TwVideo::LiveTextureCount();
    const std::vector<std::uint8_t> rgba(4 * 4 * 4, 0xFF);
    TwTexture* texture = device.CreateTexture(4, 4, rgba.data());
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(device.CreateTexture(0, 4, rgba.data()), nullptr);
    EXPECT_EQ(device.CreateTexture(4, 4, nullptr), nullptr);

    int resets = 0;
    device.SetDeviceResetHandler([&resets] { ++resets; });
    device.Release();
    EXPECT_EQ(device.CreateTexture(4, 4, rgba.data()), nullptr); // no renderer
    const TwRect dest{0, 0, 4, 4};
    EXPECT_NE(device.DrawImage(&dest, texture, nullptr, 0, 0), TwRenderDevice::kOk);
    int w = 0, h = 0;
    EXPECT_TRUE(device.TextureSize(texture, w, h));
    EXPECT_EQ(w, 4);

    ASSERT_EQ(device.Recreate(), TwRenderDevice::kOk);
    EXPECT_EQ(resets, 1);
    device.SetDeviceResetHandler({});
    device.DestroyTexture(texture);
    device.DestroyTexture(texture); // a handle given back twice is ignored
    EXPECT_EQ(TwVideo::LiveTextureCount(), before);
}

// A picture draws its own texture without looking it up, and an image's cell in one go: every
// kind of draw lands exactly where the same draw of the looked-up texture lands (cut at the
// picture's edge, stretched, mirrored, turned about a pivot, tinted, between pixels), and a
// picture without a texture draws nothing.
TEST_F(RenderDeviceTest, PictureDrawsLandWhereTextureDrawsLand) {
    TestPicture picture(8, 8, Quadrants);
    auto record = std::make_shared<TwImageData>();
    record->texture = picture.Texture();
    record->textureWidth = record->textureHeight = 8;
    HeldImage image(record);
    const auto draw = [&](bool own) {
        device.StartScene();
        const TwRect cell{3, 2, 12, 7}; // 9 x 5 texels, partly past the picture
        const TwRect whole{0, 0, 8, 8};
        int place = 0;
        for (int flip : {0, TwRenderDevice::kMirrorHorizontal, TwRenderDevice::kMirrorVertical}) {
            for (float angle : {0.0f, 0.7f}) {
                for (float scale : {1.0f, 2.5f}) {
                    image.flip = flip;
                    image.rotation = angle;
                    image.scale = scale;
                    image.pivotX = 1.6f;
                    image.pivotY = -2.2f;
                    image.SetPosition(40.0f + 60.0f * float(place % 12),
                                      60.5f + 80.0f * float(place / 12));
                    ++place;
                    // The placement TwImage::DrawFrame asks for: centred, scaled, the pivot
                    // added to the centre.
                    const int halfW = cell.Width() / 2, halfH = cell.Height() / 2;
                    const TwRect dest{int(float(-halfW) * scale), int(float(-halfH) * scale),
                                      int(float(cell.Width() - halfW) * scale),
                                      int(float(cell.Height() - halfH) * scale)};
                    const TwPoint centre{halfW + 1, halfH - 2};
                    const TwRect at{0, 0, 8, 8};
                    if (own) {
                        device.DrawImageCell(image, 0xC0FF8040, cell);
                        device.DrawPicture(*record, at, whole, image.x, image.y + 300.25f);
                    } else {
                        device.DrawImageEx(&dest, picture.Texture(), &cell, flip, 0xC0FF8040, angle,
                                           &centre, image.x, image.y);
                        device.DrawImage(&at, picture.Texture(), &whole, image.x,
                                         image.y + 300.25f);
                    }
                }
            }
        }
        std::vector<std::uint32_t> drawn;
        EXPECT_TRUE(device.ReadPixels(drawn));
        return drawn;
    };
    const std::vector<std::uint32_t> looked = draw(false);
    const std::vector<std::uint32_t> own = draw(true);
    EXPECT_TRUE(own == looked);
    EXPECT_NE(std::count(own.begin(), own.end(), kBlack), std::ptrdiff_t(own.size()));

    record->texture = nullptr; // the test's picture gives its texture back itself
    const TwRect dest{0, 0, 8, 8};
    EXPECT_EQ(device.DrawImageCell(image, kWhite, dest), TwRenderDevice::kOk);
    EXPECT_NE(device.DrawPicture(*record, dest, dest, 0, 0), TwRenderDevice::kOk);
}
