// Speed of the data layer on the loads the game does at start-up: parsing the dialog layouts
// and reading pictures and music out of a pack.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "data/TwDefFile.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"

namespace {

// A layout file the size of the game's dialog definitions: blocks of positions and texts.
std::string LayoutText(int dialogs) {
    std::string text;
    for (int d = 0; d < dialogs; ++d) {
        text += "Dialog" + std::to_string(d) + " = {\n";
        for (int k = 0; k < 12; ++k) {
            text += "\tButton" + std::to_string(k) + "Pos = [" + std::to_string(k * 10) +
                    ", 200, 0]\n\tText" + std::to_string(k) + " = \"Caption \\\"" +
                    std::to_string(k) + "\\\"\"\n\tOffset" + std::to_string(k) + " = 42\n";
        }
        text += "}\n";
    }
    return text;
}

void BM_ParseLayouts(benchmark::State& state) {
    const std::string text = LayoutText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TwDefFile def;
        benchmark::DoNotOptimize(def.LoadFromMemory(text.data(), text.size()));
        benchmark::DoNotOptimize(def.GetVector3("Dialog0.Button3Pos", ','));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ParseLayouts)->Arg(20)->Arg(200);

// One resource read: reopen, seek, read, descramble at most 2048 bytes.
void BM_ReadResource(benchmark::State& state) {
    const std::string path = "/tmp/zv-bench-pack-" + std::to_string(::getpid()) + ".Twr";
    TwPackWriter writer;
    for (int i = 0; i < 300; ++i) {
        writer.AddEntry("Data/Textures/Pic" + std::to_string(i) + ".Tga", std::string(4096, 'p'));
    }
    writer.AddEntry("Data/Music/Game.Ogg",
                    std::string(static_cast<std::size_t>(state.range(0)), 'm'));
    writer.Write(path);
    TwResourceManager packs;
    packs.OpenPack(path);
    std::string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(packs.GetResource("data/music/game.ogg", out));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadResource)->Arg(64 << 10)->Arg(4 << 20);

} // namespace
