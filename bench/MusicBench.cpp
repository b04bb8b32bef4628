// What the menu music costs: streaming it (decoding Ogg Vorbis a buffer at a time, as the
// mixer's own music did on the audio thread), decoding the whole track once into memory, and
// playing it from memory (expanding the packed blocks, which is all the audio thread does now).
// Each reports its time per second of music as "per_music_s".
#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "platform/mixer/TwMixerFlacBlock.h"
#include "platform/mixer/TwMixerTrack.h"

namespace {

constexpr int kRate = 48000;

const std::string& MenuMusic() {
    static const std::string bytes = [] {
        std::string data;
        if (FILE* file = std::fopen(ZV_BINARY_DIR "/asset-gen/Data/Music/Menu.Ogg", "rb")) {
            char buffer[65536];
            std::size_t got = 0;
            while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
                data.append(buffer, got);
            }
            std::fclose(file);
        }
        return data;
    }();
    return bytes;
}

bool HaveMusic(benchmark::State& state) {
    if (MenuMusic().empty()) {
        state.SkipWithError("build the assets first (asset-gen/Data/Music/Menu.Ogg)");
        return false;
    }
    return true;
}

// The first `seconds` of the menu music as 16-bit stereo.
std::vector<std::int16_t> MenuSamples(int seconds) {
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(seconds) * kRate * 2);
    FILE* file = fmemopen(const_cast<char*>(MenuMusic().data()), MenuMusic().size(), "rb");
    OggVorbis_File vf;
    if (file == nullptr || ov_open(file, &vf, nullptr, 0) != 0) {
        return {};
    }
    std::size_t at = 0;
    int section = 0;
    long got = 0;
    while (at < pcm.size() &&
           (got = ov_read(&vf, reinterpret_cast<char*>(pcm.data() + at),
                          static_cast<int>((pcm.size() - at) * 2), 0, 2, 1, &section)) > 0) {
        at += static_cast<std::size_t>(got) / 2;
    }
    ov_clear(&vf);
    pcm.resize(at);
    return pcm;
}

void PerMusicSecond(benchmark::State& state, double musicSeconds) {
    state.counters["per_music_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * musicSeconds,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The old way: one second of music decoded from Ogg Vorbis in mixer-buffer-sized reads.
void BM_MusicStreamVorbis(benchmark::State& state) {
    if (!HaveMusic(state)) {
        return;
    }
    std::vector<char> buffer(std::size_t{1024} * 4);
    for (auto _ : state) {
        state.PauseTiming();
        FILE* file = fmemopen(const_cast<char*>(MenuMusic().data()), MenuMusic().size(), "rb");
        OggVorbis_File vf;
        ov_open(file, &vf, nullptr, 0);
        state.ResumeTiming();
        long total = 0;
        int section = 0;
        while (total < 4L * kRate) {
            const long got =
                ov_read(&vf, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1, &section);
            if (got <= 0) {
                break;
            }
            total += got;
        }
        benchmark::DoNotOptimize(total);
        state.PauseTiming();
        ov_clear(&vf);
        state.ResumeTiming();
    }
    PerMusicSecond(state, 1.0);
}
BENCHMARK(BM_MusicStreamVorbis)->Unit(benchmark::kMillisecond);

// The new way, once per track start: the whole menu music decoded and packed.
void BM_MusicDecodeWholeTrack(benchmark::State& state) {
    if (!HaveMusic(state)) {
        return;
    }
    double seconds = 0.0;
    for (auto _ : state) {
        TwMixerTrack track(MenuMusic(), {kRate, 2}, 0);
        while (!track.Decoded()) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        seconds = static_cast<double>(track.Length()) / kRate;
        state.counters["packed_MB"] = static_cast<double>(track.MemoryBytes()) / 1e6;
    }
    state.counters["music_s"] = seconds;
}
BENCHMARK(BM_MusicDecodeWholeTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

// The packing part of decoding a track, per second of music.
void BM_MusicPackBlocks(benchmark::State& state) {
    if (!HaveMusic(state)) {
        return;
    }
    const std::vector<std::int16_t> pcm = MenuSamples(10);
    const int frames = TwMixerTrack::kBlockFrames;
    const std::size_t blockSamples = 2 * static_cast<std::size_t>(frames);
    std::size_t packed = 0;
    for (auto _ : state) {
        packed = 0;
        for (std::size_t at = 0; at + blockSamples <= pcm.size(); at += blockSamples) {
            packed += TwMixerFlacBlock::Pack(pcm.data() + at, frames, 2).size();
        }
    }
    state.counters["ratio"] = static_cast<double>(packed) / static_cast<double>(pcm.size() * 2);
    const std::size_t packedFrames = pcm.size() / blockSamples * frames; // what was packed
    PerMusicSecond(state, static_cast<double>(packedFrames) / kRate);
}
BENCHMARK(BM_MusicPackBlocks)->Unit(benchmark::kMillisecond);

// The new way, every second the music plays: its blocks expanded from memory.
void BM_MusicExpandBlocks(benchmark::State& state) {
    if (!HaveMusic(state)) {
        return;
    }
    const std::vector<std::int16_t> pcm = MenuSamples(10);
    const int frames = TwMixerTrack::kBlockFrames;
    const std::size_t blockSamples = 2 * static_cast<std::size_t>(frames);
    std::vector<std::vector<std::uint8_t>> blocks;
    for (std::size_t at = 0; at + blockSamples <= pcm.size(); at += blockSamples) {
        blocks.push_back(TwMixerFlacBlock::Pack(pcm.data() + at, frames, 2));
    }
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    for (auto _ : state) {
        for (const auto& block : blocks) {
            TwMixerFlacBlock::Unpack(block, frames, 2, out.data());
            benchmark::DoNotOptimize(out.data());
        }
    }
    PerMusicSecond(state, static_cast<double>(blocks.size()) * frames / kRate);
}
BENCHMARK(BM_MusicExpandBlocks)->Unit(benchmark::kMillisecond);

} // namespace
