// Every kind of sprite the game draws looks the same drawn by the game's software compositor
// as drawn by SDL's software renderer before it (within 2 per channel), and a frame redrawn
// only where it changed looks exactly like the same frame drawn whole.
#include <algorithm>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "GfxTestSupport.h"
#include "RenderCompare.h"
#include "gfx/TwRenderDevice.h"
#include "platform/window/TwVideo.h"

namespace {

using zvtest::Pixels;

// A colour as the asset tool stores it: drawn premultiplied (Cairo), then divided by alpha,
// so a transparent texel is black.
std::uint32_t AsDrawn(std::uint32_t c, std::uint32_t a) {
    const std::uint32_t premultiplied = (c * a + 127) / 255;
    return a == 0 ? 0 : std::min<std::uint32_t>(255, (premultiplied * 255 + a / 2) / a);
}

// Pictures as smooth as the game's own drawings: shaded, with soft transparent rims.
Pixels Bubble(int size, int hue) {
    Pixels p(size, size);
    const double c = (size - 1) / 2.0, r = size / 2.0 - 1;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double d = std::hypot(x - c, y - c);
            const double a = std::clamp(r - d, 0.0, 1.0);
            const int shade = static_cast<int>(120 + 100 * (1 - d / r) * (x < c ? 1 : 0.6));
            const auto red = static_cast<std::uint32_t>(std::min(shade + hue, 255));
            const std::uint32_t green =
                static_cast<std::uint32_t>(std::clamp(shade - hue / 2, 0, 255));
            const std::uint32_t blue = static_cast<std::uint32_t>(std::clamp(255 - shade, 0, 255));
            const auto alpha = static_cast<std::uint32_t>(std::lround(a * 255));
            p.Set(x, y,
                  AsDrawn(red, alpha) << 24 | AsDrawn(green, alpha) << 16 |
                      AsDrawn(blue, alpha) << 8 | alpha);
        }
    }
    return p;
}

// An opaque picture with gentle gradients, from a backdrop to a button face.
Pixels Gradient(int w, int h, int seed) {
    Pixels p(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const auto r = static_cast<std::uint32_t>((x * 255 / w + seed) & 0xFF);
            const auto g = static_cast<std::uint32_t>(y * 255 / h);
            const auto b = static_cast<std::uint32_t>((x + y + seed * 3) / 4 & 0xFF);
            p.Set(x, y, r << 24 | g << 16 | b << 8 | 0xFF);
        }
    }
    return p;
}

enum Picture { kBackdrop, kBubble, kSheet, kPanel, kPictureCount };

// One DrawImageEx call.
struct Sprite {
    Picture picture = kBubble;
    TwRect dest{0, 0, 0, 0};
    TwRect src{0, 0, 48, 48};
    int flags = 0;
    std::uint32_t argb = 0xFFFFFFFF;
    float angle = 0;
    float x = 0, y = 0;
};

Sprite At(int x, int y, int w = 48, int h = 48) {
    Sprite s;
    s.dest = TwRect{x, y, x + w, y + h};
    return s;
}

class CompositorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(device.CreateHeadless()); }

    // The picture of one frame: the backdrop, then the sprites, with the renderer of now.
    std::vector<std::uint32_t> Render(const std::vector<Sprite>& sprites) {
        const Pixels pictures[kPictureCount] = {Gradient(800, 600, 0), Bubble(48, 40), Sheet(),
                                                Gradient(64, 40, 90)};
        TwTexture* textures[kPictureCount];
        for (int i = 0; i < kPictureCount; ++i) {
            textures[i] = device.CreateTexture(pictures[i].width, pictures[i].height,
                                               pictures[i].rgba.data());
        }
        device.StartScene();
        const TwRect all{0, 0, 800, 600};
        device.DrawImage(&all, textures[kBackdrop], &all, 0, 0);
        for (const Sprite& s : sprites) {
            device.DrawImageEx(&s.dest, textures[s.picture], &s.src, s.flags, s.argb, s.angle,
                               nullptr, s.x, s.y);
        }
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(device.ReadPixels(pixels));
        device.FinishScene();
        for (TwTexture* texture : textures) {
            device.DestroyTexture(texture);
        }
        return pixels;
    }

    // Two bubbles side by side in one picture, as the game's sheets hold several parts.
    static Pixels Sheet() {
        const Pixels a = Bubble(48, 0), b = Bubble(48, 150);
        Pixels p(96, 48);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 48; ++x) {
                p.Set(x, y, a.Get(x, y));
                p.Set(48 + x, y, b.Get(x, y));
            }
        }
        return p;
    }

    // `most`: the largest difference allowed in a channel. SDL's blitters cut where the
    // compositor rounds, and its plain blend divides by 256: a handful of pixels at soft edges
    // differ by 3. Stretched sprites are stretched in their own colours got back from
    // premultiplied texels, a level or so off at the faintest edges: 4.
    void ExpectSameAsBefore(const std::vector<Sprite>& sprites, const std::string& what,
                            int most = 3) {
        const std::vector<std::uint32_t> composed = Render(sprites);
        std::vector<std::uint32_t> reference;
        {
            zvtest::SdlReferenceRenderer sdl;
            reference = Render(sprites);
        }
        const zvtest::ChannelDifference d = zvtest::CompareChannels(composed, reference, 800, 2);
        EXPECT_LE(d.largest, most) << what << ": differs by up to " << d.largest << " at (" << d.x
                                   << ", " << d.y << "): " << std::hex << Pixel(composed, d.x, d.y)
                                   << " here, " << Pixel(reference, d.x, d.y) << " before";
        EXPECT_LE(d.pixelsOver, 40u) << what << ": " << d.pixelsOver << " pixels differ by 3";
    }

    // The backdrop, a bubble `bubble` pixels wide and the sheet, as textures to draw frames
    // with (the test destroys them).
    std::array<TwTexture*, 3> DamageTextures(int bubble) {
        const Pixels pictures[3] = {Gradient(800, 600, 0), Bubble(bubble, 40), Sheet()};
        std::array<TwTexture*, 3> textures{};
        for (int i = 0; i < 3; ++i) {
            textures[i] = device.CreateTexture(pictures[i].width, pictures[i].height,
                                               pictures[i].rgba.data());
        }
        return textures;
    }

    // A frame of the backdrop and `frame` drawn with those textures, presented, and read
    // back; `whole`: drawn whole rather than only where it changed.
    std::vector<std::uint32_t> Present(const std::array<TwTexture*, 3>& textures,
                                       const std::vector<Sprite>& frame, bool whole) {
        if (whole) {
            TwVideo::RequestRedraw();
        }
        device.StartScene();
        const TwRect all{0, 0, 800, 600};
        device.DrawImage(&all, textures[0], &all, 0, 0);
        for (const Sprite& s : frame) {
            device.DrawImageEx(&s.dest, textures[s.picture == kBubble ? 1 : 2], &s.src, s.flags,
                               s.argb, s.angle, nullptr, s.x, s.y);
        }
        device.FinishScene();
        std::vector<std::uint32_t> pixels;
        EXPECT_TRUE(device.ReadPixels(pixels));
        return pixels;
    }

    static std::uint32_t Pixel(const std::vector<std::uint32_t>& p, int x, int y) {
        return x < 0 || p.size() < 800 * 600 ? 0 : p[static_cast<std::size_t>(y) * 800 + x];
    }

    TwRenderDevice& device = TwRenderDevice::Instance();
};

TEST_F(CompositorTest, UprightTintedAndFadedSpritesLookAsBefore) {
    Sprite tinted = At(200, 100), faded = At(300, 100), both = At(400, 100);
    tinted.argb = 0xFFFF8040;
    faded.argb = 0x80FFFFFF;
    both.argb = 0x6040C0FF;
    Sprite between = At(500, 100);
    between.x = 0.5f;
    between.y = 0.25f;
    Sprite part = At(600, 100);
    part.picture = kSheet;
    part.src = TwRect{48, 0, 96, 48};
    ExpectSameAsBefore({At(100, 100)}, "upright");
    ExpectSameAsBefore({tinted, faded, both}, "tinted and faded");
    ExpectSameAsBefore({between}, "between pixels");
    for (float fraction : {0.402f, 0.428f, 0.181f, 0.903f, 0.647f}) {
        Sprite s = At(183, 236);
        s.picture = kSheet;
        s.src = TwRect{40, 0, 80, 40};
        s.dest = TwRect{183, 236, 223, 276};
        s.x = fraction;
        s.y = 1 - fraction;
        ExpectSameAsBefore({s}, "between pixels " + std::to_string(fraction));
    }
    ExpectSameAsBefore({part}, "part of a sheet");
    ExpectSameAsBefore({At(100, 300), At(120, 310), At(140, 320)}, "overlapping");
}

TEST_F(CompositorTest, MirroredSpritesLookAsBefore) {
    for (int flags : {TwRenderDevice::kMirrorHorizontal, TwRenderDevice::kMirrorVertical,
                      TwRenderDevice::kMirrorHorizontal | TwRenderDevice::kMirrorVertical}) {
        Sprite s = At(200, 200);
        s.picture = kSheet;
        s.src = TwRect{48, 0, 96, 48};
        s.flags = flags;
        Sprite faded = At(300, 200);
        faded.flags = flags;
        faded.argb = 0xA0FFC080;
        ExpectSameAsBefore({s, faded}, "mirrored " + std::to_string(flags));
    }
}

TEST_F(CompositorTest, TurnedSpritesLookAsBefore) {
    for (float angle : {0.3f, 1.5708f, 2.5f, -0.7f, 1.5707964f, 3.1415927f}) {
        Sprite s = At(200, 200);
        s.angle = angle;
        Sprite faded = At(300, 200);
        faded.angle = angle;
        faded.argb = 0x90FF8080;
        Sprite part = At(400, 200, 64, 64);
        part.picture = kSheet;
        part.src = TwRect{48, 0, 96, 48};
        part.angle = angle;
        ExpectSameAsBefore({s, faded, part}, "turned " + std::to_string(angle));
    }
}

TEST_F(CompositorTest, ScaledSpritesLookAsBefore) {
    Sprite up = At(100, 100, 80, 80), down = At(300, 100, 30, 30), wide = At(400, 100, 90, 40);
    Sprite fadedUp = At(500, 100, 72, 72);
    fadedUp.argb = 0x80FFFFFF;
    Sprite part = At(600, 100, 70, 70);
    part.picture = kSheet;
    part.src = TwRect{48, 0, 96, 48};
    Sprite mirrored = At(100, 300, 70, 70);
    mirrored.flags = TwRenderDevice::kMirrorHorizontal;
    ExpectSameAsBefore({up, down, wide, fadedUp, part, mirrored}, "scaled", 4);
}

TEST_F(CompositorTest, SpritesCutByTheEdgesLookAsBefore) {
    Sprite turned = At(770, 570);
    turned.angle = 0.6f;
    Sprite scaled = At(-30, 560, 80, 80);
    ExpectSameAsBefore(
        {At(-20, 100), At(100, -30), At(780, 300), At(400, 580), At(-24, -24), turned, scaled},
        "cut by the edges", 4);
    ExpectSameAsBefore({At(-200, 100), At(900, 300), At(100, 700)}, "outside");
}

TEST_F(CompositorTest, OpaqueCopiesLookAsBefore) {
    Sprite panel = At(100, 100, 64, 40), tinted = At(200, 100, 64, 40),
           faded = At(300, 100, 64, 40);
    for (Sprite* s : {&panel, &tinted, &faded}) {
        s->picture = kPanel;
        s->src = TwRect{0, 0, 64, 40};
    }
    tinted.argb = 0xFF808080;
    faded.argb = 0x80FFFFFF;
    Sprite stretched = At(400, 100, 128, 80);
    stretched.picture = kPanel;
    stretched.src = TwRect{0, 0, 64, 40};
    ExpectSameAsBefore({panel, tinted, faded, stretched}, "opaque");
}

// Frames redrawn only where they changed look exactly like the same frames drawn whole, over
// a long run of sprites that come, go, move by fractions of a pixel, fade, turn, stretch and
// overlap in changing order.
TEST_F(CompositorTest, FramesRedrawnWhereTheyChangedLookLikeWholeFrames) {
    const std::array<TwTexture*, 3> textures = DamageTextures(48);
    std::uint32_t seed = 12345;
    auto random = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<std::uint32_t>(n));
    };
    std::vector<Sprite> sprites;
    for (int i = 0; i < 12; ++i) {
        Sprite s = At(random(760), random(560));
        s.picture = i % 3 == 0 ? kSheet : kBubble;
        s.src = i % 3 == 0 ? TwRect{48, 0, 96, 48} : TwRect{0, 0, 48, 48};
        sprites.push_back(s);
    }
    Present(textures, sprites, true);
    for (int frame = 0; frame < 40; ++frame) {
        for (Sprite& s : sprites) {
            switch (random(8)) {
            case 0: // moves by a fraction of a pixel or a few pixels
                s.x += static_cast<float>(random(5)) * 0.3f;
                s.y -= static_cast<float>(random(3)) * 0.45f;
                break;
            case 1:
                s.argb = random(2) ? 0xFFFFFFFF : 0x80FFC0A0u;
                break;
            case 2:
                s.angle = random(2) ? 0.0f : static_cast<float>(random(60)) * 0.1f;
                break;
            case 3: {
                const int size = 30 + random(40);
                s.dest = TwRect{s.dest.left, s.dest.top, s.dest.left + size, s.dest.top + size};
                break;
            }
            case 4:
                s.flags = random(3) * 2;
                break;
            default:
                break;
            }
        }
        if (random(4) == 0) { // one goes, another comes
            sprites.erase(sprites.begin() + random(static_cast<int>(sprites.size())));
            sprites.push_back(At(random(760), random(560)));
        }
        if (random(6) == 0) { // two swap places in the drawing order
            std::swap(sprites[0], sprites[sprites.size() - 1]);
        }
        const std::vector<std::uint32_t> changedOnly = Present(textures, sprites, false);
        const std::vector<std::uint32_t> whole = Present(textures, sprites, true);
        ASSERT_FALSE(whole.empty());
        ASSERT_TRUE(changedOnly == whole) << "frame " << frame;
    }
    for (TwTexture* texture : textures) {
        device.DestroyTexture(texture);
    }
}

// A field's worth of small sprites, drawn in rows like the game's bubbles and their shadows:
// long runs of them go at once (a burst), come in at the top (a new row), are drawn again
// twice over at one place, or all move together, more at once than the frames are compared
// over. Redrawn only where they changed, the frames still look exactly like whole ones.
TEST_F(CompositorTest, FieldsRedrawnWhereTheyChangedLookLikeWholeFrames) {
    const std::array<TwTexture*, 3> textures = DamageTextures(36);
    auto cell = [](int index) {
        Sprite s = At(40 + (index % 20) * 36, 20 + (index / 20) * 31, 36, 36);
        s.picture = index % 4 == 0 ? kSheet : kBubble;
        s.src = s.picture == kSheet ? TwRect{48, 0, 96, 48} : TwRect{0, 0, 36, 36};
        s.argb = index % 2 ? 0xFFFFFFFF : 0x50FFFFFF;
        return s;
    };
    std::vector<Sprite> sprites;
    for (int i = 0; i < 300; ++i) {
        sprites.push_back(cell(i));
    }
    Present(textures, sprites, true);
    const auto expectSame = [&](const char* what) {
        const std::vector<std::uint32_t> changedOnly = Present(textures, sprites, false);
        const std::vector<std::uint32_t> whole = Present(textures, sprites, true);
        ASSERT_FALSE(whole.empty());
        EXPECT_TRUE(changedOnly == whole) << what;
    };
    sprites.erase(sprites.begin() + 100, sprites.begin() + 108);
    expectSame("eight went from the middle");
    sprites.erase(sprites.begin() + 20, sprites.begin() + 90);
    expectSame("seventy went at once");
    std::vector<Sprite> row;
    for (int i = 0; i < 60; ++i) {
        Sprite s = cell(i);
        s.dest.top += 5;
        s.dest.bottom += 5;
        row.push_back(s);
    }
    sprites.insert(sprites.begin(), row.begin(), row.end());
    expectSame("a row of sixty came first");
    sprites.insert(sprites.begin() + 150, sprites[149]);
    sprites.insert(sprites.begin() + 40, 3, sprites[40]);
    expectSame("sprites drawn again at their own place");
    for (std::size_t i = 10; i < sprites.size(); i += 3) {
        sprites[i].dest.left += 1;
        sprites[i].dest.right += 1;
    }
    expectSame("every third moved a pixel");
    std::swap(sprites[5], sprites[200]);
    std::reverse(sprites.begin() + 60, sprites.begin() + 64);
    expectSame("drawn in another order");
    sprites.resize(30);
    expectSame("all but thirty went");
    for (TwTexture* texture : textures) {
        device.DestroyTexture(texture);
    }
}

} // namespace
