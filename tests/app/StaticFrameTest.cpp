// A frame that shows exactly the picture already on screen is neither drawn nor presented;
// anything that changes the picture, or a window event that lost it, draws it again.
#include <chrono>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "gfx/TwRenderDevice.h"
#include "platform/input/TwEvents.h"
#include "platform/window/TwVideo.h"

namespace {

// A one-colour picture, uploaded as RGBA.
class Swatch {
public:
    Swatch(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        std::vector<std::uint8_t> rgba;
        for (int i = 0; i < 16 * 16; ++i) {
            rgba.insert(rgba.end(), {r, g, b, 0xFF});
        }
        texture_ = TwRenderDevice::Instance().CreateTexture(16, 16, rgba.data());
    }
    ~Swatch() { TwRenderDevice::Instance().DestroyTexture(texture_); }
    TwTexture* Texture() const { return texture_; }

private:
    TwTexture* texture_ = nullptr;
};

// What one frame draws: a picture at a place with a tint and a turn.
struct Sprite {
    TwTexture* texture = nullptr;
    int x = 100, y = 100;
    std::uint32_t argb = 0xFFFFFFFF;
    float angle = 0;
};

class StaticFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.CreateHeadless());
        red = std::make_unique<Swatch>(255, 0, 0);
        green = std::make_unique<Swatch>(0, 255, 0);
        ASSERT_NE(red->Texture(), nullptr);
        ASSERT_NE(green->Texture(), nullptr);
        // Whatever was on screen before, the first frame here is drawn.
        TwVideo::RequestRedraw();
    }

    // Runs one whole frame; true when it was presented.
    bool Frame(const std::vector<Sprite>& sprites) {
        const std::uint64_t before = TwVideo::PresentedFrames();
        device.StartScene();
        for (const Sprite& s : sprites) {
            const TwRect src{0, 0, 16, 16};
            const TwRect dest{s.x, s.y, s.x + 32, s.y + 32};
            device.DrawImageEx(&dest, s.texture, &src, 0, s.argb, s.angle, nullptr, 0, 0);
        }
        device.FinishScene();
        return TwVideo::PresentedFrames() == before + 1;
    }

    std::uint32_t PixelAt(int x, int y) {
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(device.ReadPixels(pixels));
        return pixels.empty() ? 0 : pixels.at(static_cast<std::size_t>(y) * 800 + x);
    }

    TwRenderDevice& device = TwRenderDevice::Instance();
    std::unique_ptr<Swatch> red, green;
};

TEST_F(StaticFrameTest, RepeatedFrameIsSkippedAndAnyChangeRedraws) {
    const Sprite base{red->Texture()};
    ASSERT_TRUE(Frame({base}));
    EXPECT_FALSE(Frame({base}));
    EXPECT_FALSE(Frame({base}));

    // Each change of what is drawn is drawn; going back to the old picture is a change too.
    std::vector<std::function<void(Sprite&)>> changes = {
        [](Sprite& s) { s.argb = 0xFFFFFFFE; },              // tint
        [](Sprite& s) { s.x += 1; },                         // position
        [](Sprite& s) { s.angle = 0.001f; },                 // turn
        [this](Sprite& s) { s.texture = green->Texture(); }, // picture
    };
    for (std::size_t i = 0; i < changes.size(); ++i) {
        Sprite changed = base;
        changes[i](changed);
        EXPECT_TRUE(Frame({changed})) << "change " << i;
        EXPECT_FALSE(Frame({changed})) << "change " << i;
        EXPECT_TRUE(Frame({base})) << "change " << i;
    }

    // More sprites, fewer sprites, or the same sprites in another order.
    const Sprite other{green->Texture(), 110, 110};
    EXPECT_TRUE(Frame({base, other}));
    EXPECT_TRUE(Frame({other, base}));
    EXPECT_FALSE(Frame({other, base}));
    EXPECT_TRUE(Frame({other}));
    EXPECT_TRUE(Frame({}));
    EXPECT_FALSE(Frame({}));
}

// A frame that redraws only where it changed must look exactly like the same frame drawn
// whole: sprites that moved, changed tint, went, came, or overlap in another order.
TEST_F(StaticFrameTest, RedrawingOnlyWhatChangedLooksLikeTheWholeFrame) {
    TwTexture* r = red->Texture();
    TwTexture* g = green->Texture();
    const std::vector<Sprite> start = {
        {r, 100, 100}, {g, 120, 110}, {r, 300, 300, 0x80FFFFFF}, {g, 500, 100, 0xFFFFFFFF, 0.5f}};
    const std::vector<std::vector<Sprite>> nextFrames = {
        {{r, 104, 100}, {g, 120, 110}, {g, 400, 200}, {g, 500, 100, 0xFFFFFFFF, 0.5f}},
        {{r, 100, 100}, {g, 120, 110}, {r, 300, 300, 0x40FFFFFF}, {g, 500, 100, 0xFFFFFFFF, 0.5f}},
        {{g, 120, 110}, {r, 100, 100}, {r, 300, 300, 0x80FFFFFF}, {g, 500, 100, 0xFFFFFFFF, 0.5f}},
        {{r, 100, 100}, {g, 120, 110}, {r, 300, 300, 0x80FFFFFF}, {g, 500, 100, 0xFFFFFFFF, 0.6f}},
        {{r, 100, 100}, {g, 120, 110}, {r, 300, 300, 0x80FFFFFF}},
    };
    for (std::size_t i = 0; i < nextFrames.size(); ++i) {
        TwVideo::RequestRedraw();
        ASSERT_TRUE(Frame(start));
        ASSERT_TRUE(Frame(nextFrames[i]));
        std::vector<std::uint32_t> changedOnly, whole;
        ASSERT_TRUE(device.ReadPixels(changedOnly));
        TwVideo::RequestRedraw();
        ASSERT_TRUE(Frame(nextFrames[i]));
        ASSERT_TRUE(device.ReadPixels(whole));
        EXPECT_TRUE(changedOnly == whole) << "frame " << i;
    }
}

// Opaque pictures are copied rather than blended when drawn without transparency; drawn
// half-transparent they must still blend.
TEST_F(StaticFrameTest, OpaquePicturesCoverAndStillFade) {
    TwVideo::RequestRedraw();
    ASSERT_TRUE(Frame({Sprite{red->Texture()}, Sprite{green->Texture(), 100, 100, 0xFFFFFFFF}}));
    EXPECT_EQ(PixelAt(110, 110), 0xFF00FF00u);
    ASSERT_TRUE(Frame({Sprite{red->Texture()}, Sprite{green->Texture(), 100, 100, 0x80FFFFFF}}));
    const std::uint32_t mixed = PixelAt(110, 110);
    EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 0x7F, 2);
    EXPECT_NEAR(static_cast<int>((mixed >> 8) & 0xFF), 0x80, 2);
    // Tinted but opaque: the colour is still multiplied.
    ASSERT_TRUE(Frame({Sprite{green->Texture(), 100, 100, 0xFF000000}}));
    EXPECT_EQ(PixelAt(110, 110), 0xFF000000u);
}

TEST_F(StaticFrameTest, WindowEventsThatLoseThePictureRedrawIt) {
    const Sprite base{red->Texture()};
    ASSERT_TRUE(Frame({base}));
    ASSERT_FALSE(Frame({base}));

    TwVideo::RequestRedraw();
    EXPECT_TRUE(Frame({base}));
    EXPECT_FALSE(Frame({base}));

    // Events through the real event queue: a restored window and a reset render device.
    for (auto kind : {TwSyntheticEvent::Kind::Restore, TwSyntheticEvent::Kind::DeviceReset}) {
        TwSyntheticEvent event;
        event.kind = kind;
        ASSERT_TRUE(TwPushSyntheticEvent(event));
        TwFlushMessages();
        EXPECT_TRUE(Frame({base}));
        EXPECT_FALSE(Frame({base}));
    }
}

TEST_F(StaticFrameTest, SkippedFramesKeepThePictureOnScreen) {
    const Sprite base{red->Texture(), 100, 100};
    ASSERT_TRUE(Frame({base}));
    ASSERT_FALSE(Frame({base}));
    EXPECT_EQ(PixelAt(110, 110), 0xFFFF0000u);
    EXPECT_EQ(PixelAt(50, 50), 0xFF000000u);
}

TEST_F(StaticFrameTest, PictureReplacedUnderTheSameHandleAddressIsRedrawn) {
    // A destroyed picture's handle may be handed out again for another picture: the frame
    // looks the same by handles but not on screen.
    auto blue = std::make_unique<Swatch>(0, 0, 255);
    ASSERT_TRUE(Frame({Sprite{blue->Texture()}}));
    blue.reset();
    auto white = std::make_unique<Swatch>(255, 255, 255);
    EXPECT_TRUE(Frame({Sprite{white->Texture()}}));
    EXPECT_EQ(PixelAt(110, 110), 0xFFFFFFFFu);
}

TEST_F(StaticFrameTest, PictureDrawnThenDestroyedAndItsHandleReusedIsRedrawn) {
    // A picture is drawn and destroyed before its frame is shown; the next frame draws another
    // picture at the same place, and that picture may well get the freed handle back.
    auto blue = std::make_unique<Swatch>(0, 0, 255);
    const TwTexture* freed = blue->Texture();
    device.StartScene();
    const TwRect src{0, 0, 16, 16};
    const TwRect dest{100, 100, 132, 132};
    ASSERT_EQ(device.DrawImage(&dest, blue->Texture(), &src, 0, 0), TwRenderDevice::kOk);
    blue.reset();
    device.FinishScene();
    ASSERT_EQ(PixelAt(110, 110), 0xFF0000FFu);
    // Pictures are made until one gets the freed handle (the allocator usually hands it out
    // again at once); the frame must show the new picture either way.
    std::vector<std::unique_ptr<Swatch>> made;
    for (int i = 0; i < 16; ++i) {
        made.push_back(std::make_unique<Swatch>(255, 255, 255));
        if (made.back()->Texture() == freed) {
            break;
        }
    }
    EXPECT_TRUE(Frame({Sprite{made.back()->Texture()}}));
    EXPECT_EQ(PixelAt(110, 110), 0xFFFFFFFFu);
}

TEST_F(StaticFrameTest, PictureDestroyedWhileItsFrameIsBuiltIsStillDrawn) {
    device.StartScene();
    {
        Swatch passing(0, 0, 255);
        const TwRect src{0, 0, 16, 16};
        const TwRect dest{200, 200, 232, 232};
        EXPECT_EQ(device.DrawImage(&dest, passing.Texture(), &src, 0, 0), TwRenderDevice::kOk);
    }
    EXPECT_EQ(PixelAt(210, 210), 0xFF0000FFu);
    device.FinishScene();
}

TEST_F(StaticFrameTest, FramesWithoutAClearAreAlwaysPresented) {
    // Drawing over the previous picture: what is on screen is not known from this frame alone.
    const TwRect src{0, 0, 16, 16};
    const TwRect dest{100, 100, 132, 132};
    for (int i = 0; i < 2; ++i) {
        const std::uint64_t before = TwVideo::PresentedFrames();
        device.DrawImage(&dest, red->Texture(), &src, 0, 0);
        device.FinishScene();
        EXPECT_EQ(TwVideo::PresentedFrames(), before + 1);
    }
}

TEST_F(StaticFrameTest, SkippedFramesStillRunAtTheDisplayRate) {
    // An idle screen must not spin: every frame, drawn or not, waits for the next refresh.
    const Sprite base{red->Texture()};
    Frame({base});
    constexpr int kFrames = 12;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFrames; ++i) {
        Frame({base});
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const auto period = std::chrono::microseconds(1'000'000 / TwVideo::RefreshRate());
    EXPECT_GE(elapsed, (kFrames - 1) * period);
}

} // namespace

namespace {

// A full-screen window on the virtual display: the 800 x 600 picture is scaled to the screen.
class ScaledFrameTest : public StaticFrameTest {
protected:
    void SetUp() override {
        TwWindowSettings settings;
        settings.windowed = false;
        ASSERT_TRUE(TwVideo::CreateWindow(settings));
        ASSERT_TRUE(TwVideo::CreateRenderer());
        StaticFrameTest::SetUp();
    }
    void TearDown() override {
        red.reset();
        green.reset();
        TwVideo::DestroyWindow(); // the next test makes its own renderer
    }

    std::vector<std::uint32_t> Window() {
        std::vector<std::uint32_t> pixels;
        int width = 0, height = 0;
        EXPECT_TRUE(TwVideo::ReadPixels(pixels, width, height));
        return pixels;
    }
};

TEST_F(ScaledFrameTest, ChangedAreasOfAScaledPictureLookLikeTheWholeFrame) {
    TwTexture* r = red->Texture();
    TwTexture* g = green->Texture();
    const std::vector<Sprite> start = {{r, 100, 100}, {g, 120, 110}, {r, 300, 300, 0x80FFFFFF}};
    const std::vector<Sprite> next = {{r, 105, 100}, {g, 120, 110}, {g, 400, 200, 0xFF808080}};
    TwVideo::RequestRedraw();
    ASSERT_TRUE(Frame(start));
    ASSERT_TRUE(Frame(next));
    const std::vector<std::uint32_t> changedOnly = Window();
    TwVideo::RequestRedraw();
    ASSERT_TRUE(Frame(next));
    const std::vector<std::uint32_t> whole = Window();
    ASSERT_FALSE(whole.empty());
    EXPECT_TRUE(changedOnly == whole);
    EXPECT_FALSE(Frame(next));
}

} // namespace
