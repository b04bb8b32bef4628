// Renders the two music tracks offline with FluidSynth and a General MIDI soundfont, and
// encodes them as Ogg Vorbis. The game restarts a track when it ends, so each file is
// cut as a seamless loop: the closing bars are played before the first bar (so the loop
// opens with their ringing tails, as it does when it comes round again), and the first
// bar is played again after the last and blended into the opening so the join is
// continuous sample for sample.
#include "AssetGen.h"
#include "MusicGenScore.h"
#include "OggWriter.h"
#include "WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fluidsynth.h>
#include <memory>
#include <tuple>

namespace {

constexpr int kMusicRate = 48000;
constexpr int kLeadInBars = 4;         // played before the loop for the tails it leaves
constexpr int kCrossfadeFrames = 4800; // 100 ms
constexpr double kMusicPeakDb = -1.0;

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
            const std::size_t at = static_cast<std::size_t>(i * 2 + ch);
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
                 const std::string& path, const std::string& name) {
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

    zvsound::OggSettings settings;
    settings.channels = 2;
    settings.sampleRate = kMusicRate;
    settings.quality = 0.4f;
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
    const bool menu = RenderTrack(zvmusic::ComposeMenuTheme(), soundFont, 0.7,
                                  outDir + "/Data/Music/Menu.Ogg", "Music/Menu.Ogg");
    const bool game = RenderTrack(zvmusic::ComposeGameTheme(), soundFont, 0.45,
                                  outDir + "/Data/Music/A.Ogg", "Music/A.Ogg");
    return menu && game;
}
