// Renders the two music tracks offline with FluidSynth and a General MIDI soundfont, and
// encodes them as Ogg Vorbis. The game restarts a track when it ends, so each file is
// cut as a seamless loop: the closing bars are played before the first bar (so the loop
// opens with their ringing tails, as it does when it comes round again), and the first
// bar is played again after the last and blended into the opening so the join is
// continuous sample for sample.
#include "AssetGen.h"
#include "AudioFile.h"
#include "MusicGenScore.h"
#include "OggWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fluidsynth.h>
#include <memory>
#include <tuple>

namespace {

constexpr int kMusicRate = 48000;
constexpr int kLeadInBars = 4;         // played before the loop for the tails it leaves
constexpr int kCrossfadeFrames = 4800; // 100 ms
constexpr double kMusicPeakDb = -2.0;  // the encoder can overshoot by about a decibel

const char* const kSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
};

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};

// One synthesiser with the soundfont loaded; no audio driver and a single rendering
// thread, so the output depends on nothing but the notes.
class OfflineSynth {
public:
    bool Open(const std::string& soundFont, double roomSize) {
        // Only real errors are worth printing; the soundfont's warnings are not.
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
        settings_.reset(new_fluid_settings());
        if (!settings_) {
            return false;
        }
        fluid_settings_t* s = settings_.get();
        fluid_settings_setnum(s, "synth.sample-rate", kMusicRate);
        fluid_settings_setint(s, "synth.cpu-cores", 1);
        fluid_settings_setint(s, "synth.polyphony", 256);
        fluid_settings_setnum(s, "synth.gain", 0.5);
        fluid_settings_setint(s, "synth.chorus.active", 0);
        fluid_settings_setint(s, "synth.reverb.active", 1);
        fluid_settings_setnum(s, "synth.reverb.room-size", roomSize);
        fluid_settings_setnum(s, "synth.reverb.damp", 0.4);
        fluid_settings_setnum(s, "synth.reverb.width", 0.9);
        fluid_settings_setnum(s, "synth.reverb.level", 0.7);
        synth_.reset(new_fluid_synth(s));
        if (!synth_) {
            return false;
        }
        return fluid_synth_sfload(synth_.get(), soundFont.c_str(), 1) != FLUID_FAILED;
    }

    fluid_synth_t* Get() const { return synth_.get(); }

private:
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
};

struct MidiEvent {
    long long frame;
    bool on;
    int channel;
    int key;
    int velocity;

    // Releases before new notes at the same instant, so repeated notes strike again.
    bool operator<(const MidiEvent& other) const {
        return std::tie(frame, on, channel, key, velocity) <
               std::tie(other.frame, other.on, other.channel, other.key, other.velocity);
    }
};

// The song laid out three times on one timeline: the closing bars as a lead-in, the whole
// loop, and its opening bar again as the continuation.
std::vector<MidiEvent> LayOut(const zvmusic::Song& song, double leadInTicks, double totalTicks) {
    std::vector<MidiEvent> events;
    const double loop = song.LoopTicks();
    for (int copy = -1; copy <= 1; ++copy) {
        const double offset = leadInTicks + copy * loop;
        for (const zvmusic::NoteEvent& note : song.notes) {
            const double start = note.tick + offset;
            if (start < 0.0 || start >= totalTicks) {
                continue;
            }
            const double end = std::min(start + note.length, totalTicks);
            const auto frameOf = [&](double tick) {
                return std::llround(tick * song.samplesPerTick);
            };
            events.push_back({frameOf(start), true, note.channel, note.key, note.velocity});
            events.push_back({frameOf(end), false, note.channel, note.key, 0});
        }
    }
    std::sort(events.begin(), events.end());
    return events;
}

void SetUpChannels(fluid_synth_t* synth, const zvmusic::Song& song) {
    for (const zvmusic::ChannelSetup& setup : song.channels) {
        fluid_synth_program_change(synth, setup.channel, setup.program);
        fluid_synth_cc(synth, setup.channel, 7, setup.volume);
        fluid_synth_cc(synth, setup.channel, 10, setup.pan);
        fluid_synth_cc(synth, setup.channel, 91, setup.reverb);
        fluid_synth_cc(synth, setup.channel, 93, 0);
    }
}

// Renders the timeline into interleaved stereo.
bool Render(fluid_synth_t* synth, const std::vector<MidiEvent>& events, long long totalFrames,
            std::vector<float>& stereo) {
    std::vector<float> left(static_cast<std::size_t>(totalFrames));
    std::vector<float> right(static_cast<std::size_t>(totalFrames));
    long long done = 0;
    const auto renderUntil = [&](long long frame) {
        while (done < frame) {
            const int chunk = static_cast<int>(std::min<long long>(frame - done, 4096));
            if (fluid_synth_write_float(synth, chunk, left.data() + done, 0, 1, right.data() + done,
                                        0, 1) != FLUID_OK) {
                return false;
            }
            done += chunk;
        }
        return true;
    };
    for (const MidiEvent& event : events) {
        if (!renderUntil(std::min(event.frame, totalFrames))) {
            return false;
        }
        if (event.on) {
            fluid_synth_noteon(synth, event.channel, event.key, event.velocity);
        } else {
            fluid_synth_noteoff(synth, event.channel, event.key);
        }
    }
    if (!renderUntil(totalFrames)) {
        return false;
    }
    stereo.resize(static_cast<std::size_t>(totalFrames) * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        stereo[2 * i] = left[i];
        stereo[2 * i + 1] = right[i];
    }
    return true;
}

// Cuts the loop out of the rendered timeline and blends the continuation into its
// opening: the last sample of the loop is then followed by exactly what the synthesiser
// played after it.
std::vector<float> CutLoop(const std::vector<float>& stereo, long long loopStart,
                           long long loopFrames) {
    const auto first = stereo.begin() + loopStart * 2;
    std::vector<float> loop(first, first + loopFrames * 2);
    const std::size_t continuation = static_cast<std::size_t>((loopStart + loopFrames) * 2);
    for (int i = 0; i < kCrossfadeFrames; ++i) {
        const float weight = static_cast<float>(i) / kCrossfadeFrames;
        for (int ch = 0; ch < 2; ++ch) {
            const std::size_t at = 2 * static_cast<std::size_t>(i) + static_cast<std::size_t>(ch);
            loop[at] = loop[at] * weight + stereo[continuation + at] * (1.0f - weight);
        }
    }
    return loop;
}

void Normalise(std::vector<float>& samples, double peakDb) {
    float peak = 0.0f;
    for (float sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    if (peak <= 0.0f) {
        return;
    }
    const float gain = static_cast<float>(std::pow(10.0, peakDb / 20.0)) / peak;
    for (float& sample : samples) {
        sample *= gain;
    }
}

// Brings the loudest moments (drum hits, mostly) down to the ceiling after the whole
// track has been raised by `pushDb`, so a busy track sounds as full as a calm one. The gain
// looks a couple of milliseconds ahead so it is already down when a hit arrives, and
// recovers slowly. The loop is treated as a circle: the gain at its end carries into its
// start, so the limiter adds no step at the join.
void LimitLoop(std::vector<float>& stereo, double pushDb, double ceilingDb) {
    const std::size_t frames = stereo.size() / 2;
    if (frames == 0) {
        return;
    }
    const float push = static_cast<float>(std::pow(10.0, pushDb / 20.0));
    const float ceiling = static_cast<float>(std::pow(10.0, ceilingDb / 20.0));
    std::vector<float> needed(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        stereo[2 * i] *= push;
        stereo[2 * i + 1] *= push;
        const float level = std::max(std::fabs(stereo[2 * i]), std::fabs(stereo[2 * i + 1]));
        needed[i] = level > ceiling ? ceiling / level : 1.0f;
    }
    constexpr std::size_t kLookAhead = 96; // 2 ms
    const auto wrap = [frames](std::size_t i) { return i % frames; };
    // Lowest gain needed within the look-ahead window of each frame.
    std::vector<float> ahead(frames);
    std::deque<std::size_t> candidates; // window positions, their needs rising front to back
    for (std::size_t j = 0; j < frames + kLookAhead; ++j) {
        while (!candidates.empty() && needed[wrap(candidates.back())] >= needed[wrap(j)]) {
            candidates.pop_back();
        }
        candidates.push_back(j);
        if (j < kLookAhead) {
            continue;
        }
        const std::size_t windowStart = j - kLookAhead;
        while (candidates.front() < windowStart) {
            candidates.pop_front();
        }
        ahead[windowStart] = needed[wrap(candidates.front())];
    }
    // Averaging the window minima over the preceding window never rises above what any
    // frame needs, and turns the gain's steps into short ramps.
    std::vector<float> smooth(frames);
    double sum = 0.0;
    for (std::size_t k = 1; k <= kLookAhead + 1; ++k) {
        sum += ahead[wrap(frames * 2 - k)];
    }
    for (std::size_t i = 0; i < frames; ++i) {
        sum += ahead[i] - ahead[wrap(i + frames * 2 - kLookAhead - 1)];
        smooth[i] = static_cast<float>(sum / (kLookAhead + 1));
    }
    // Slow recovery (about 80 ms), run twice round the circle so the end meets the start.
    const float recovery = static_cast<float>(1.0 - std::exp(-1.0 / (0.08 * kMusicRate)));
    float gain = 1.0f;
    for (int lap = 0; lap < 2; ++lap) {
        for (std::size_t i = 0; i < frames; ++i) {
            gain = std::min(smooth[i], gain + (1.0f - gain) * recovery);
            if (lap == 1) {
                stereo[2 * i] *= gain;
                stereo[2 * i + 1] *= gain;
            }
        }
    }
}

std::string FindSoundFont() {
    for (const char* path : kSoundFonts) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) {
            return path;
        }
    }
    return {};
}

bool RenderTrack(const zvmusic::Song& song, const std::string& soundFont, double roomSize,
                 double pushDb, const std::string& path, const std::string& name) {
    OfflineSynth synth;
    if (!synth.Open(soundFont, roomSize)) {
        std::fprintf(stderr, "assetgen: cannot start FluidSynth with %s\n", soundFont.c_str());
        return false;
    }
    SetUpChannels(synth.Get(), song);
    const double leadIn = kLeadInBars * song.ticksPerBar;
    const double total = leadIn + song.LoopTicks() + song.ticksPerBar;
    const long long totalFrames = std::llround(total * song.samplesPerTick);
    std::vector<float> stereo;
    if (!Render(synth.Get(), LayOut(song, leadIn, total), totalFrames, stereo)) {
        std::fprintf(stderr, "assetgen: FluidSynth failed while rendering %s\n", name.c_str());
        return false;
    }
    std::vector<float> loop =
        CutLoop(stereo, std::llround(leadIn * song.samplesPerTick),
                static_cast<long long>(song.LoopTicks()) * song.samplesPerTick);
    Normalise(loop, kMusicPeakDb);
    LimitLoop(loop, pushDb, kMusicPeakDb);

    zvsound::OggSettings settings;
    settings.channels = 2;
    settings.sampleRate = kMusicRate;
    // Vorbis quality 0.1 (about 75 kbit/s for these tracks): the two tracks were two thirds of
    // the data package at 0.4 (2.0 MB); at 0.1 they take 1.2 MB.
    settings.quality = 0.1f;
    settings.serial = zvsound::SerialForName(name);
    settings.title = song.title;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!zvsound::EncodeOggVorbis(loop, settings, bytes, error)) {
        std::fprintf(stderr, "assetgen: %s: %s\n", name.c_str(), error.c_str());
        return false;
    }
    return zvsound::WriteAudioFile(path, bytes);
}

} // namespace

bool GenerateMusic(const std::string& outDir) {
    const std::string soundFont = FindSoundFont();
    if (soundFont.empty()) {
        std::fprintf(stderr, "assetgen: no General MIDI soundfont found (package "
                             "fluid-soundfont-gm provides one)\n");
        return false;
    }
    const bool menu = RenderTrack(zvmusic::ComposeMenuTheme(), soundFont, 0.7, 1.0,
                                  outDir + "/Data/Music/Menu.Ogg", "Music/Menu.Ogg");
    const bool game = RenderTrack(zvmusic::ComposeGameTheme(), soundFont, 0.45, 4.0,
                                  outDir + "/Data/Music/A.Ogg", "Music/A.Ogg");
    return menu && game;
}
