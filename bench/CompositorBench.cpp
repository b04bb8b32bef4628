// The software compositor's paths, one sprite kind at a time, in pixels per nanosecond: how
// fast each kind of sprite blends into the picture, and so what a frame of them costs.
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

#include "gfx/TwRenderDevice.h"
#include "platform/compositor/TwSoftwareScale.h"
#include "platform/window/TwVideo.h"

namespace {

// 96 x 96 pictures: a soft-edged round one (alpha varies) and an opaque one.
TwTexture* Picture(bool opaque) {
    static TwTexture* pictures[2] = {nullptr, nullptr};
    TwTexture*& picture = pictures[opaque ? 1 : 0];
    if (!picture) {
        std::vector<std::uint8_t> rgba(std::size_t{96} * 96 * 4);
        for (int y = 0; y < 96; ++y) {
            for (int x = 0; x < 96; ++x) {
                std::uint8_t* p = &rgba[static_cast<std::size_t>(y * 96 + x) * 4];
                const int d2 = (x - 48) * (x - 48) + (y - 48) * (y - 48);
                p[0] = static_cast<std::uint8_t>(x * 2);
                p[1] = static_cast<std::uint8_t>(y * 2);
                p[2] = 128;
                p[3] = opaque ? 255
                              : static_cast<std::uint8_t>(d2 < 40 * 40   ? 255
                                                          : d2 < 48 * 48 ? 128
                                                                         : 0);
            }
        }
        picture = TwRenderDevice::Instance().CreateTexture(96, 96, rgba.data());
    }
    return picture;
}

enum Kind { kCopy, kBlend, kFaded, kTinted, kScaled, kMirrored, kTurned };

// 64 sprites of one kind, 96 x 96 pixels each on screen, drawn into the cleared picture
// (the clear, 480,000 pixels, is counted in the time but not in the pixels).
void Composite(benchmark::State& state, Kind kind) {
    TwRenderDevice& device = TwRenderDevice::Instance();
    if (!device.CreateHeadless()) {
        state.SkipWithError("no renderer");
        return;
    }
    TwTexture* texture = Picture(kind == kCopy);
    constexpr int kSprites = 64;
    const TwRect src{0, 0, kind == kScaled ? 64 : 96, kind == kScaled ? 64 : 96};
    const std::uint32_t argb = kind == kFaded    ? 0x80FFFFFF
                               : kind == kTinted ? 0xC0FF8040
                                                 : 0xFFFFFFFF;
    const int flags = kind == kMirrored ? TwRenderDevice::kMirrorHorizontal : 0;
    const float angle = kind == kTurned ? 0.5f : 0.0f;
    for (auto _ : state) {
        device.StartScene();
        for (int i = 0; i < kSprites; ++i) {
            const int x = (i % 8) * 96, y = (i / 8) * 70;
            const TwRect dest{x, y, x + 96, y + 96};
            device.DrawImageEx(&dest, texture, &src, flags, argb, angle, nullptr, 0, 0);
        }
        TwVideo::FinishDrawing();
    }
    state.counters["pixels/ns"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kSprites * 96 * 96 / 1e9,
                           benchmark::Counter::kIsRate);
}

void BM_CompositeOpaqueCopy(benchmark::State& state) {
    Composite(state, kCopy);
}
void BM_CompositeBlend(benchmark::State& state) {
    Composite(state, kBlend);
}
void BM_CompositeFaded(benchmark::State& state) {
    Composite(state, kFaded);
}
void BM_CompositeTinted(benchmark::State& state) {
    Composite(state, kTinted);
}
void BM_CompositeScaled(benchmark::State& state) {
    Composite(state, kScaled);
}
void BM_CompositeMirrored(benchmark::State& state) {
    Composite(state, kMirrored);
}
void BM_CompositeTurned(benchmark::State& state) {
    Composite(state, kTurned);
}

// A field's worth of bubbles: 320 sprites 36 pixels wide, the short rows most of a game
// frame's redrawn pixels are blended in.
void BM_CompositeBubbleRows(benchmark::State& state) {
    TwRenderDevice& device = TwRenderDevice::Instance();
    if (!device.CreateHeadless()) {
        state.SkipWithError("no renderer");
        return;
    }
    TwTexture* texture = Picture(false);
    constexpr int kSprites = 320;
    const TwRect src{30, 30, 66, 66};
    for (auto _ : state) {
        device.StartScene();
        for (int i = 0; i < kSprites; ++i) {
            const int x = (i % 20) * 38 + (i / 20 % 2) * 19, y = (i / 20) * 33;
            const TwRect dest{x, y, x + 36, y + 36};
            device.DrawImageEx(&dest, texture, &src, 0, 0xFFFFFFFF, 0, nullptr, 0, 0);
        }
        TwVideo::FinishDrawing();
    }
    state.counters["pixels/ns"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kSprites * 36 * 36 / 1e9,
                           benchmark::Counter::kIsRate);
}

// The changed boxes of a busy frame (forty 50 x 50 boxes of the 800 x 600 picture) scaled to
// a 1920 x 1080 screen, in window pixels per nanosecond.
void BM_ScaleChangedBoxesToFullScreen(benchmark::State& state) {
    std::vector<std::uint32_t> picture(std::size_t{800} * 600), screen(std::size_t{1920} * 1080);
    for (std::size_t i = 0; i < picture.size(); ++i) {
        picture[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    }
    const TwVideo::ScaleAxis columns = TwVideo::MakeScaleAxis(800, 240, 1920, 1.8);
    const TwVideo::ScaleAxis rows = TwVideo::MakeScaleAxis(600, 0, 1080, 1.8);
    constexpr int kBoxes = 40, kSide = 90; // 50 picture pixels and their smoothing, scaled
    for (auto _ : state) {
        for (int i = 0; i < kBoxes; ++i) {
            const int x = 240 + (i % 10) * 140, y = (i / 10) * 250;
            TwVideo::ScaleBox(picture.data(), 800, columns, rows, screen.data(), 1920, x, y,
                              x + kSide, y + kSide);
        }
        benchmark::DoNotOptimize(screen.data());
    }
    state.counters["pixels/ns"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBoxes * kSide * kSide / 1e9,
                           benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_CompositeBubbleRows)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ScaleChangedBoxesToFullScreen)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeOpaqueCopy)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeBlend)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeFaded)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeTinted)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeScaled)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeMirrored)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompositeTurned)->Unit(benchmark::kMicrosecond);
