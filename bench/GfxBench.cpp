// Graphics work done while the game runs or loads: a full emitter stepped every frame,
// pictures decoded from the packs at start-up, and a proportional font strip cut into glyphs.
#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>

#include "gfx/TwBitmapFont.h"
#include "gfx/TwBound.h"
#include "platform/picture/TwPicture.h"

namespace {

void PutU32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s += char((v >> (8 * i)) & 0xFF);
    }
}

// A 32-bit TGA, bottom row first, with a glyph-like pattern of opaque and clear columns.
std::string StripTga(int width, int height) {
    std::string s(12, '\0');
    s[2] = 2;
    s += char(width & 0xFF);
    s += char(width >> 8);
    s += char(height & 0xFF);
    s += char(height >> 8);
    s += char(32);
    s += char(8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool ink = x % 12 < 8 && (x + y) % 3 != 0;
            s += "\xFF\xFF\xFF";
            s += char(ink ? 0xFF : 0);
        }
    }
    return s;
}

std::string Dxt5Dds(int side) {
    std::string s = "DDS ";
    const std::uint32_t header[] = {124, 0x1007, std::uint32_t(side), std::uint32_t(side), 0, 0, 0};
    for (std::uint32_t v : header) {
        PutU32(s, v);
    }
    s.append(44, '\0');
    PutU32(s, 32);
    PutU32(s, 4);
    s += "DXT5";
    s.append(20, '\0');
    PutU32(s, 0x1000);
    s.append(16, '\0');
    for (int i = 0; i < side * side; ++i) { // 16 bytes per 4 x 4 block
        s += char(i * 37);
    }
    return s;
}

void BM_EmitterUpdate512(benchmark::State& state) {
    TwBound bound;
    bound.SetAnimation(512, 0, 16, 1);
    bound.minLife = 1 << 30;
    bound.maxLife = 1 << 30;
    bound.maxVelocity = TwVector(0.1f, 0.1f, 0);
    bound.maxAcceleration = TwVector(0, 0.001f, 0);
    bound.Emit(TwBound::kMaxParticles);
    for (auto _ : state) {
        bound.Update(16);
        benchmark::DoNotOptimize(bound.Particle(0).position);
    }
}
BENCHMARK(BM_EmitterUpdate512);

void BM_DecodeDxt5(benchmark::State& state) {
    const std::string file = Dxt5Dds(int(state.range(0)));
    TwPicture picture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TwDecodePicture(file, picture));
    }
}
BENCHMARK(BM_DecodeDxt5)->Arg(256)->Arg(1024);

void BM_DecodeTga(benchmark::State& state) {
    const std::string file = StripTga(int(state.range(0)), int(state.range(0)));
    TwPicture picture;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TwDecodePicture(file, picture));
    }
}
BENCHMARK(BM_DecodeTga)->Arg(256)->Arg(1024);

void BM_FontScan(benchmark::State& state) {
    const std::string strip = StripTga(1536, 32);
    TwBitmapFont font;
    std::string codes;
    for (int c = 32; c < 127; ++c) {
        codes += char(c);
    }
    font.Configure(codes, -1, 0, 9);
    for (auto _ : state) {
        benchmark::DoNotOptimize(font.ReadStrip(strip, 1536, 32));
    }
}
BENCHMARK(BM_FontScan);

} // namespace
