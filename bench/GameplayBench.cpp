// Speed of the field's per-shot and per-frame work on the largest field the game allows.
#include <benchmark/benchmark.h>

#include <memory>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "GameMap.h"
#include "Launcher.h"
#include "PlayState.h"
#include "TwDrawList.h"
#include "platform/os/TwRand.h"
#include "platform/window/TwMessageBox.h"

namespace {

FieldGeometry Geometry(int columns, int rows) {
    FieldGeometry g;
    g.columns = columns;
    g.rows = rows;
    g.radius = 16;
    g.xPlayerPos = 400;
    g.yPlayerPos = 570;
    return g;
}

// A field with its launcher, wired as the game screen wires them, without pictures or sound.
struct Bench {
    explicit Bench(int columns, int rows) : field(banks, Geometry(columns, rows)) {
        TwSetMessageSink([](const std::string&, const std::string&) {});
        field.SetState(PlayState::kPlaying);
        launcher.SetField(&field);
        field.SetLauncher(&launcher);
        field.Reset(false);
        field.MapState = GameMap::kReady;
    }
    ~Bench() { banks.Scene().Clear(); }

    // Rows first..last filled; colour chosen by `colourOf(column, row)`.
    template <typename F> void Fill(int first, int last, F colourOf) {
        for (int k = first; k <= last; ++k) {
            for (int c = 0; c < field.Columns(); ++c) {
                field.PlaceNewBubble(c, k, colourOf(c, k));
            }
        }
    }

    void Load(int colour, const TwVector& direction) {
        auto bubble = field.NewBubbleOfColour(colour);
        launcher.SetLoaded(std::move(bubble));
        launcher.SetDirection(NormaliseOrKeep(direction));
        launcher.PlaceLoadedBubble();
    }

    BubbleBanks banks;
    GameMap field;
    Launcher launcher;
};

// Colours in stripes of two columns: every same-colour group has two bubbles per row pair,
// so the searches walk the whole field without anything bursting.
int Stripes(int c, int) {
    return (c / 2) % 6;
}

void BM_MatchAndSupportSearchFullField(benchmark::State& state) {
    TwSRand(7);
    Bench bench(20, 20);
    bench.Fill(0, 19, [](int c, int k) { return (k % 2 == 0) ? (c % 3) : 3 + (c % 3); });
    for (auto _ : state) {
        bench.field.ResolveMatch(10, 19, bench.field.Bubble(10, 19)->Colour());
        bench.field.DropUnsupported();
        benchmark::DoNotOptimize(bench.field.FallingList().size());
    }
}
BENCHMARK(BM_MatchAndSupportSearchFullField);

// A whole 20 x 20 field of one colour bursts and nothing is left to fall.
void BM_BurstWholeFullField(benchmark::State& state) {
    TwSRand(7);
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<Bench>(20, 20);
        bench->Fill(0, 19, [](int, int) { return 2; });
        state.ResumeTiming();
        bench->field.ResolveMatch(10, 19, 2);
        bench->field.DropUnsupported();
        benchmark::DoNotOptimize(bench->field.Score);
        state.PauseTiming();
        bench.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BurstWholeFullField);

// The flattest aim the launcher allows on the usual 12-column field: three bounces, then a
// group of bubbles under the ceiling.
void BM_ComputePathThreeBounces(benchmark::State& state) {
    TwSRand(7);
    Bench bench(12, 13);
    bench.Fill(0, 2, Stripes);
    const auto& walls = bench.field.GetWalls();
    bench.Load(1, TwVector(static_cast<float>(walls.leftX) - 400.0f, 490.0f - 570.0f));
    std::size_t points = 0;
    for (auto _ : state) {
        bench.field.ComputePath();
        points = bench.field.FlightPath().size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["route_points"] = static_cast<double>(points);
}
BENCHMARK(BM_ComputePathThreeBounces);

// One 16 ms frame while a shot flies past a packed field and 180 bubbles are falling.
void BM_FieldFrameDuringFlightWithFalls(benchmark::State& state) {
    TwSRand(7);
    std::size_t falling = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto bench = std::make_unique<Bench>(20, 20);
        bench->Fill(0, 13, Stripes);
        for (int c = 0; c < 20; ++c) {
            bench->field.TakeBubble(c, 4);
        }
        bench->field.DropUnsupported();
        bench->Load(5, TwVector(-0.2f, -1.0f));
        bench->launcher.Fire();
        bench->field.Update(16);
        falling = bench->field.FallingList().size();
        state.ResumeTiming();
        bench->field.Update(16);
        state.PauseTiming();
        bench.reset();
        state.ResumeTiming();
    }
    state.counters["falling"] = static_cast<double>(falling);
}
BENCHMARK(BM_FieldFrameDuringFlightWithFalls);

} // namespace
