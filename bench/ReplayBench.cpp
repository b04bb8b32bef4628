// Speed of playing recordings through the rules alone, as `--verify-replay` does: every
// golden recording, each on a game session of its own, as fast as it goes.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Replay.h"
#include "ReplayVerify.h"
#include "platform/os/TwUserFiles.h"

namespace {

std::vector<Replay> GoldenRecordings() {
    std::vector<Replay> replays;
    const std::filesystem::path folder = std::string(ZV_SOURCE_DIR) + "/tests/replays/golden";
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string bytes;
        Replay replay;
        if (entry.path().extension() == ".Twv" && TwReadFile(entry.path().string(), bytes) &&
            Replay::Parse(bytes, replay) == Replay::ReadError::kNone) {
            replays.push_back(std::move(replay));
        }
    }
    return replays;
}

void BM_VerifyTheGoldenRecordings(benchmark::State& state) {
    const std::vector<Replay> replays = GoldenRecordings();
    if (replays.empty()) {
        state.SkipWithError("no golden recordings found");
        return;
    }
    for (auto _ : state) {
        for (const Replay& replay : replays) {
            benchmark::DoNotOptimize(PlayReplayHeadless(replay).result.fieldHash);
        }
    }
    state.counters["recordings"] = static_cast<double>(replays.size());
}

} // namespace

BENCHMARK(BM_VerifyTheGoldenRecordings)->Unit(benchmark::kMillisecond);
