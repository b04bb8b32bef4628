#include <gtest/gtest.h>

#include "GfxTestSupport.h"
#include "gfx/TwBitmapFont.h"
#include "gfx/TwBound.h"
#include "gfx/TwClip.h"
#include "gfx/TwRenderDevice.h"

using zvtest::Pixels;
using zvtest::ScreenPixel;

// Pictures drawn on the off-screen renderer and read back.
namespace {

constexpr std::uint32_t kBlack = 0xFF000000;

class DrawTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(zvtest::EnsureHeadlessScreen());
        TwRenderDevice::Instance().StartScene();
    }

    zvtest::ScopedPack pack;
    zvtest::CapturedMessages messages;
};

// Four 16 x 16 frames in a row: red, green, blue, white.
Pixels FourFrames() {
    Pixels p(64, 16);
    p.Fill(0, 0, 16, 16, 0xFF0000FF);
    p.Fill(16, 0, 32, 16, 0x00FF00FF);
    p.Fill(32, 0, 48, 16, 0x0000FFFF);
    p.Fill(48, 0, 64, 16, 0xFFFFFFFF);
    return p;
}

} // namespace

TEST_F(DrawTest, ClipDrawsItsCurrentFrameCentredOnItsPosition) {
    pack.Add("Data/Textures/Frames.Tga", zvtest::MakeTga(FourFrames(), 2, 32, false));
    ASSERT_TRUE(pack.Open());
    TwClip clip;
    clip.SetImage("Frames");
    clip.SetAnimation(1000, TwAnimation::Still, 4, 1);
    clip.SetFrame(2);
    clip.SetPosition(200, 100);
    clip.Draw();

    const auto screen = zvtest::ReadScreen();
    ASSERT_EQ(screen.size(), 800u * 600u);
    // The 16 x 16 frame covers x 192..207 and y 92..107.
    EXPECT_EQ(ScreenPixel(screen, 193, 93), 0xFF0000FFu);
    EXPECT_EQ(ScreenPixel(screen, 200, 100), 0xFF0000FFu);
    EXPECT_EQ(ScreenPixel(screen, 206, 106), 0xFF0000FFu);
    EXPECT_EQ(ScreenPixel(screen, 190, 100), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 209, 100), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 200, 90), kBlack);
}

TEST_F(DrawTest, TintScaleAndWholePicture) {
    pack.Add("Data/Textures/Frames.Tga", zvtest::MakeTga(FourFrames(), 2, 32, false));
    ASSERT_TRUE(pack.Open());
    TwClip clip;
    clip.SetImage("Frames");
    clip.SetAnimation(1000, TwAnimation::Still, 4, 1);
    clip.SetFrame(3);
    clip.SetPosition(100, 300);
    clip.SetTint(255, 0, 255, 255); // white frame tinted magenta
    clip.scale = 2.0f;
    clip.Draw();

    TwImage whole(clip);
    whole.SetPosition(400, 300);
    whole.Draw(); // untinted, unscaled: 64 x 16 centred on (400, 300)

    const auto screen = zvtest::ReadScreen();
    // Scaled by 2: x 84..115.
    EXPECT_EQ(ScreenPixel(screen, 86, 300), 0xFFFF00FFu);
    EXPECT_EQ(ScreenPixel(screen, 113, 290), 0xFFFF00FFu);
    EXPECT_EQ(ScreenPixel(screen, 120, 300), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 370, 300), 0xFFFF0000u);
    EXPECT_EQ(ScreenPixel(screen, 390, 300), 0xFF00FF00u);
    EXPECT_EQ(ScreenPixel(screen, 420, 300), 0xFFFFFFFFu);
    EXPECT_EQ(ScreenPixel(screen, 434, 300), kBlack);
}

TEST_F(DrawTest, CentredTextLandsOnItsGlyphs) {
    // A fixed-width font of two 8 x 8 glyphs: 'A' white, 'B' green.
    Pixels strip(16, 8);
    strip.Fill(0, 0, 8, 8, 0xFFFFFFFF);
    strip.Fill(8, 0, 16, 8, 0x00FF00FF);
    pack.Add("Data/Textures/Fonts/Test.Tga", zvtest::MakeTga(strip, 2, 32, false));
    pack.Add("Data/Fonts.Txt", "Test = {\n Codes = \"AB\"\n FileName = \"Fonts/Test\"\n"
                               " MonoWidth = 8\n CharDist = 2\n}\n");
    ASSERT_TRUE(pack.Open());

    TwBitmapFont font;
    ASSERT_TRUE(font.Load("Test"));
    EXPECT_EQ(font.TextWidth("AB"), 20);
    TwVector pen;
    font.DrawText(300, 200, "AB", TwBitmapFont::AlignCentre, &pen);
    EXPECT_EQ(pen, TwVector(310, 200, 0));

    // Starts at 290: 'A' on 290..297, 'B' on 300..307, rows 196..203.
    const auto screen = zvtest::ReadScreen();
    EXPECT_EQ(ScreenPixel(screen, 291, 197), 0xFFFFFFFFu);
    EXPECT_EQ(ScreenPixel(screen, 296, 202), 0xFFFFFFFFu);
    EXPECT_EQ(ScreenPixel(screen, 298, 200), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 301, 200), 0xFF00FF00u);
    EXPECT_EQ(ScreenPixel(screen, 306, 197), 0xFF00FF00u);
    EXPECT_EQ(ScreenPixel(screen, 288, 200), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 309, 200), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 300, 194), kBlack);
}

TEST_F(DrawTest, OddSizedFramesKeepTheirFullSize) {
    Pixels p(5, 3, 0xFFFFFFFF);
    pack.Add("Data/Textures/Odd.Tga", zvtest::MakeTga(p, 2, 32, false));
    ASSERT_TRUE(pack.Open());
    TwClip clip;
    clip.SetImage("Odd");
    clip.SetAnimation(1, TwAnimation::Still, 1, 1);
    clip.SetPosition(50, 50);
    clip.Draw();
    // x 48..52, y 49..51.
    const auto screen = zvtest::ReadScreen();
    for (int x = 48; x <= 52; ++x) {
        EXPECT_EQ(ScreenPixel(screen, x, 50), 0xFFFFFFFFu) << x;
    }
    EXPECT_EQ(ScreenPixel(screen, 47, 50), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 53, 50), kBlack);
    EXPECT_EQ(ScreenPixel(screen, 50, 51), 0xFFFFFFFFu);
    EXPECT_EQ(ScreenPixel(screen, 50, 52), kBlack);
}

TEST_F(DrawTest, EmitterDrawsEveryParticleUntilFinished) {
    pack.Add("Data/Textures/Frames.Tga", zvtest::MakeTga(FourFrames(), 2, 32, false));
    ASSERT_TRUE(pack.Open());
    TwBound bound;
    bound.SetImage("Frames");
    bound.SetAnimation(1000, TwAnimation::Still, 4, 1);
    bound.minLife = bound.maxLife = 100;
    bound.Emit(2);
    bound.Particle(0).position = TwVector(100, 500, 0);
    bound.Particle(1).position = TwVector(300, 500, 0);
    bound.Particle(1).frame = 1;
    bound.Draw();
    auto screen = zvtest::ReadScreen();
    EXPECT_EQ(ScreenPixel(screen, 100, 500), 0xFFFF0000u);
    EXPECT_EQ(ScreenPixel(screen, 300, 500), 0xFF00FF00u);
    // The image keeps what the last particle set.
    EXPECT_EQ(bound.x, 300.0f);
    EXPECT_EQ(bound.Frame(), 1);

    bound.state = TwClip::Finished;
    bound.Particle(0).position = TwVector(500, 500, 0);
    bound.Draw();
    screen = zvtest::ReadScreen();
    EXPECT_EQ(ScreenPixel(screen, 500, 500), kBlack);
}
