// The game's sound effects, synthesised from scratch. They share one character: round
// sine "bloops" that glide upwards like real bubbles, soft filtered air, glassy bells and
// a small bright room, all tuned to one pentatonic scale so effects that overlap in play
// never clash.
#include "AssetGen.h"
#include "AudioFile.h"
#include "FlacWriter.h"
#include "OggWriter.h"
#include "SoundGenDsp.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>

namespace {

using zvsound::AddBell;
using zvsound::AddNoise;
using zvsound::AddTone;
using zvsound::Buffer;
using zvsound::Envelope;
using zvsound::FilterMode;
using zvsound::NoiseBurst;
using zvsound::Tone;
using zvsound::Wave;

// Pitches of the effects' scale (C major pentatonic), in Hz.
constexpr double kG4 = 392.00;
constexpr double kC5 = 523.25;
constexpr double kE5 = 659.26;
constexpr double kG5 = 783.99;
constexpr double kC6 = 1046.50;
constexpr double kD6 = 1174.66;
constexpr double kE6 = 1318.51;
constexpr double kG6 = 1567.98;
constexpr double kA6 = 1760.00;
constexpr double kC7 = 2093.00;
constexpr double kD7 = 2349.32;
constexpr double kE7 = 2637.02;

Buffer Silence(double seconds) {
    return Buffer(static_cast<std::size_t>(zvsound::FramesFor(seconds)), 0.0f);
}

// A bubble's voice: a sine that swoops up from below its pitch and settles on it.
void AddBloop(Buffer& buffer, double start, double freq, double length, double amp) {
    Tone tone;
    tone.start = start;
    tone.length = length;
    tone.freqStart = freq * 0.72;
    tone.freqEnd = freq;
    tone.glide = length * 0.18;
    tone.amp = amp;
    tone.env = {0.003, 0.0, length};
    tone.wave = Wave::Round;
    AddTone(buffer, tone);
}

// A short burst of filtered air, for clicks, taps and whooshes.
void AddAir(Buffer& buffer, double start, double length, double amp, FilterMode mode,
            double cutoffStart, double cutoffEnd, double q, Envelope env, std::uint32_t seed) {
    NoiseBurst burst;
    burst.start = start;
    burst.length = length;
    burst.amp = amp;
    burst.env = env;
    burst.mode = mode;
    burst.cutoffStart = cutoffStart;
    burst.cutoffEnd = cutoffEnd;
    burst.q = q;
    burst.seed = seed;
    AddNoise(buffer, burst);
}

Tone Glide(double start, double length, double from, double to, double glide, double amp,
           Envelope env, Wave wave = Wave::Sine) {
    Tone tone;
    tone.start = start;
    tone.length = length;
    tone.freqStart = from;
    tone.freqEnd = to;
    tone.glide = glide;
    tone.amp = amp;
    tone.env = env;
    tone.wave = wave;
    return tone;
}

// --- interface ---------------------------------------------------------------------

// A button gaining focus: one tiny, high bubble.
Buffer MakeFocus() {
    Buffer b = Silence(0.16);
    AddBloop(b, 0.0, kA6, 0.06, 0.6);
    AddBloop(b, 0.012, kE7, 0.04, 0.15);
    zvsound::ApplyReverb(b, 0.10f, 0.35f, 0.5f);
    return b;
}

// A button press: a crisp tap followed by a two-step "plip".
Buffer MakeClick() {
    Buffer b = Silence(0.26);
    AddAir(b, 0.0, 0.012, 0.35, FilterMode::Band, 3200, 2400, 1.5, {0.0005, 0.0, 0.01}, 11);
    AddBloop(b, 0.002, kC6, 0.08, 0.7);
    AddBloop(b, 0.028, kG6, 0.07, 0.45);
    zvsound::ApplyReverb(b, 0.15f, 0.4f, 0.5f);
    return b;
}

// A dialog opening: bubbles rise through a chord while air swells upwards.
Buffer MakeOpenDialog() {
    Buffer b = Silence(0.62);
    const std::array<double, 4> notes{kC5, kE5, kG5, kC6};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        AddBloop(b, 0.045 * static_cast<double>(i), notes[i], 0.2, 0.55);
    }
    AddAir(b, 0.0, 0.34, 0.22, FilterMode::Band, 600, 3200, 1.4, {0.12, 0.0, 0.25}, 21);
    zvsound::ApplyReverb(b, 0.25f, 0.5f, 0.45f);
    return b;
}

// A dialog closing: the same gesture sinking back down.
Buffer MakeCloseDialog() {
    Buffer b = Silence(0.56);
    const std::array<double, 4> notes{kG5, kE5, kC5, kG4};
    for (std::size_t i = 0; i < notes.size(); ++i) {
        AddBloop(b, 0.04 * static_cast<double>(i), notes[i], 0.18, 0.55);
    }
    AddAir(b, 0.0, 0.28, 0.2, FilterMode::Band, 3200, 500, 1.4, {0.05, 0.0, 0.25}, 22);
    zvsound::ApplyReverb(b, 0.22f, 0.45f, 0.5f);
    return b;
}

// A key typed into the name field: a small wooden "tock".
Buffer MakeType() {
    Buffer b = Silence(0.09);
    AddTone(b, Glide(0.0, 0.035, 2600, 1900, 0.004, 0.45, {0.0008, 0.0, 0.025}));
    AddTone(b, Glide(0.0, 0.045, 1100, 900, 0.01, 0.35, {0.001, 0.0, 0.035}));
    AddAir(b, 0.0, 0.006, 0.3, FilterMode::High, 4500, 4500, 0.8, {0.0004, 0.0, 0.005}, 31);
    return b;
}

// --- play ---------------------------------------------------------------------------

// The launcher firing: a rising "fwoomp" of a bubble pushed out through air.
Buffer MakeFire() {
    Buffer b = Silence(0.42);
    AddTone(b, Glide(0.0, 0.24, 220, 660, 0.06, 0.8, {0.006, 0.0, 0.2}, Wave::Round));
    AddAir(b, 0.0, 0.22, 0.35, FilterMode::Band, 400, 2600, 2.0, {0.02, 0.0, 0.18}, 41);
    AddBloop(b, 0.03, kE6, 0.08, 0.18);
    zvsound::ApplyReverb(b, 0.12f, 0.4f, 0.5f);
    return b;
}

// A bubble sticking to the field: a soft, damped "plock" with a little weight under it.
Buffer MakeStop() {
    Buffer b = Silence(0.26);
    AddTone(b, Glide(0.0, 0.13, 640, 440, 0.02, 0.85, {0.002, 0.0, 0.1}));
    AddTone(b, Glide(0.0, 0.07, 200, 170, 0.02, 0.35, {0.002, 0.0, 0.05}));
    AddAir(b, 0.0, 0.01, 0.3, FilterMode::Band, 2000, 1600, 1.2, {0.0005, 0.0, 0.008}, 51);
    zvsound::ApplyReverb(b, 0.10f, 0.35f, 0.5f);
    return b;
}

// Bubbles bursting: a wet pop, a falling body and a fizz of tiny bubbles.
Buffer MakeBurst() {
    Buffer b = Silence(0.52);
    AddAir(b, 0.0, 0.07, 0.9, FilterMode::Band, 3000, 800, 0.8, {0.0008, 0.0, 0.05}, 61);
    AddTone(b, Glide(0.0, 0.09, 900, 300, 0.03, 0.6, {0.001, 0.0, 0.07}));
    const std::array<double, 5> sparkles{kG6, kA6, kC7, kD7, kE7};
    const std::array<double, 5> times{0.02, 0.06, 0.095, 0.14, 0.19};
    for (std::size_t i = 0; i < sparkles.size(); ++i) {
        AddBloop(b, times[i], sparkles[i], 0.06, 0.25 - 0.03 * static_cast<double>(i));
    }
    AddAir(b, 0.01, 0.32, 0.12, FilterMode::Band, 6000, 7000, 1.0, {0.01, 0.0, 0.25}, 62);
    zvsound::ApplyReverb(b, 0.2f, 0.45f, 0.45f);
    return b;
}

// The score counter reaching its total: a bright two-note chime.
Buffer MakeScoreEnd() {
    Buffer b = Silence(1.25);
    AddBloop(b, 0.0, kE5, 0.25, 0.3);
    AddBell(b, 0.0, kE6, 0.6, 0.9);
    AddBell(b, 0.09, 1975.53, 0.5, 1.0); // B6
    zvsound::ApplyReverb(b, 0.25f, 0.55f, 0.4f);
    return b;
}

// The last bubble of a colour leaving the field: a shimmering run up the scale.
Buffer MakeColorRemove() {
    Buffer b = Silence(0.95);
    AddBell(b, 0.0, kC5, 0.35, 0.7);
    const std::array<double, 8> run{kC6, kD6, kE6, kG6, kA6, kC7, kD7, kE7};
    for (std::size_t i = 0; i < run.size(); ++i) {
        const double step = static_cast<double>(i);
        AddBloop(b, 0.04 * step, run[i], 0.12, 0.5 - 0.035 * step);
    }
    AddAir(b, 0.0, 0.5, 0.12, FilterMode::Band, 3000, 9000, 1.2, {0.15, 0.0, 0.35}, 71);
    zvsound::ApplyReverb(b, 0.3f, 0.6f, 0.4f);
    return b;
}

// A new row pushing the whole field down a step: a wobbling swoop down into a soft landing.
Buffer MakeRowFall() {
    Buffer b = Silence(0.82);
    Tone swoop = Glide(0.0, 0.52, 420, 110, 0.2, 0.7, {0.01, 0.05, 0.45}, Wave::Round);
    swoop.vibratoHz = 14.0;
    swoop.vibratoDepth = 0.04;
    AddTone(b, swoop);
    AddAir(b, 0.0, 0.42, 0.3, FilterMode::Low, 700, 150, 0.9, {0.03, 0.0, 0.35}, 81);
    AddTone(b, Glide(0.36, 0.22, 110, 85, 0.05, 0.5, {0.004, 0.0, 0.18}));
    zvsound::ApplyReverb(b, 0.2f, 0.5f, 0.5f);
    return b;
}

// One colour of the field finishing its appearance as a level opens (played once per
// colour, one after another): "bloop-bleep", a fifth apart.
Buffer MakeColorLoaded() {
    Buffer b = Silence(0.36);
    AddBloop(b, 0.0, kG5, 0.1, 0.6);
    AddBloop(b, 0.07, kD6, 0.14, 0.6);
    zvsound::ApplyReverb(b, 0.15f, 0.4f, 0.5f);
    return b;
}

// A flying bubble bouncing off a side wall: a short, hollow "tunk".
Buffer MakeWallHit() {
    Buffer b = Silence(0.19);
    AddTone(b, Glide(0.0, 0.08, 540, 380, 0.01, 0.7, {0.001, 0.0, 0.06}, Wave::Triangle));
    AddAir(b, 0.0, 0.03, 0.4, FilterMode::Band, 1500, 1200, 3.0, {0.0006, 0.0, 0.025}, 91);
    zvsound::ApplyReverb(b, 0.08f, 0.3f, 0.5f);
    return b;
}

// Two launcher bubbles trading places: two voices crossing past each other.
Buffer MakeSwap() {
    Buffer b = Silence(0.3);
    AddTone(b, Glide(0.0, 0.16, 500, 1200, 0.06, 0.5, {0.008, 0.0, 0.14}, Wave::Round));
    AddTone(b, Glide(0.02, 0.16, 1200, 500, 0.06, 0.5, {0.008, 0.0, 0.14}, Wave::Round));
    AddAir(b, 0.0, 0.13, 0.2, FilterMode::Band, 1000, 4000, 1.5, {0.03, 0.0, 0.1}, 101);
    zvsound::ApplyReverb(b, 0.12f, 0.4f, 0.5f);
    return b;
}

enum class Format { Flac, Ogg };

struct EffectRecipe {
    // Path under Data/Sounds/ as stored. The game asks for the lossless effects by their
    // ".Wav" names and finds them stored as ".Flac", at about half the size.
    const char* name;
    Format format;
    std::function<Buffer()> make;
    double peakDb; // frequent, quiet cues sit a little lower than the rest
};

bool WriteEffect(const std::string& outDir, const EffectRecipe& recipe) {
    Buffer buffer = recipe.make();
    // The room's tail is faded over the last quarter of the effect, so it dies away
    // instead of stopping.
    const double seconds = static_cast<double>(buffer.size()) / zvsound::kSampleRate;
    zvsound::FinishEffect(buffer, recipe.peakDb, 0.001, std::clamp(seconds * 0.25, 0.015, 0.08));
    const std::string path = outDir + "/Data/Sounds/" + recipe.name;
    if (recipe.format == Format::Flac) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        if (!zvsound::EncodeFlac16(zvsound::ToPcm16(buffer), 1, zvsound::kSampleRate, bytes,
                                   error)) {
            std::fprintf(stderr, "assetgen: %s: %s\n", recipe.name, error.c_str());
            return false;
        }
        return zvsound::WriteAudioFile(path, bytes);
    }
    // A few milliseconds of silence in front keep the codec's smearing of the first
    // attack from reaching the file's first samples, which would click.
    buffer.insert(buffer.begin(), static_cast<std::size_t>(zvsound::FramesFor(0.004)), 0.0f);
    zvsound::OggSettings settings;
    settings.channels = 1;
    settings.sampleRate = zvsound::kSampleRate;
    settings.quality = 0.5f;
    settings.serial = zvsound::SerialForName(recipe.name);
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (!zvsound::EncodeOggVorbis(buffer, settings, bytes, error)) {
        std::fprintf(stderr, "assetgen: %s: %s\n", recipe.name, error.c_str());
        return false;
    }
    return zvsound::WriteAudioFile(path, bytes);
}

} // namespace

bool GenerateSounds(const std::string& outDir) {
    const std::array<EffectRecipe, 15> effects{{
        {"Interface/Void.Flac", Format::Flac, [] { return Silence(0.1); }, -1.0},
        {"Interface/ButtonGetFocus.Flac", Format::Flac, MakeFocus, -3.0},
        {"Interface/ButtonClick.Flac", Format::Flac, MakeClick, -1.0},
        {"Interface/OpenDialog.Flac", Format::Flac, MakeOpenDialog, -1.0},
        {"Interface/CloseDialog.Flac", Format::Flac, MakeCloseDialog, -1.0},
        {"Interface/Type.Ogg", Format::Ogg, MakeType, -3.0},
        {"FireBall.Flac", Format::Flac, MakeFire, -1.0},
        {"StopBall.Ogg", Format::Ogg, MakeStop, -1.5},
        {"BallDelete.Flac", Format::Flac, MakeBurst, -1.0},
        {"SeekScoreEnd.Flac", Format::Flac, MakeScoreEnd, -1.0},
        {"ColorRemove.Flac", Format::Flac, MakeColorRemove, -1.0},
        {"LineFall.Ogg", Format::Ogg, MakeRowFall, -1.5},
        {"LoadColorEnd.Flac", Format::Flac, MakeColorLoaded, -1.0},
        {"HitWall.Flac", Format::Flac, MakeWallHit, -1.0},
        {"Swap.Ogg", Format::Ogg, MakeSwap, -1.5},
    }};
    bool allWritten = true;
    for (const EffectRecipe& recipe : effects) {
        allWritten = WriteEffect(outDir, recipe) && allWritten;
    }
    return allWritten;
}
