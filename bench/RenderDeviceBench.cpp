// Sprite drawing on the software renderer, the slowest device the game runs on: a busy
// frame draws a few hundred 32 to 64 pixel sprites and must stay well inside 16 ms.
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

#include "gfx/TwRenderDevice.h"

namespace {

TwTexture* BubblePicture() {
    static TwTexture* texture = [] {
        std::vector<std::uint8_t> rgba(std::size_t{64} * 64 * 4, 0xC0);
        return TwRenderDevice::Instance().CreateTexture(64, 64, rgba.data());
    }();
    return texture;
}

void DrawSprites(benchmark::State& state, float angle) {
    TwRenderDevice& device = TwRenderDevice::Instance();
    if (!device.CreateHeadless()) {
        state.SkipWithError("no renderer");
        return;
    }
    TwTexture* texture = BubblePicture();
    const TwRect src{0, 0, 64, 64};
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        device.StartScene();
        for (int i = 0; i < count; ++i) {
            const TwRect dest{(i * 37) % 736, (i * 53) % 536, (i * 37) % 736 + 48,
                              (i * 53) % 536 + 48};
            device.DrawImageEx(&dest, texture, &src, 0, 0xFFFFFFFF, angle, nullptr, 0, 0);
        }
        std::vector<std::uint32_t> pixels;
        device.ReadPixels(pixels); // waits for the drawing to finish
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_UprightSprites(benchmark::State& state) {
    DrawSprites(state, 0.0f);
}
void BM_TurnedSprites(benchmark::State& state) {
    DrawSprites(state, 0.7f);
}

} // namespace

BENCHMARK(BM_UprightSprites)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TurnedSprites)->Arg(300)->Unit(benchmark::kMillisecond);
