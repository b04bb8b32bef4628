#pragma once
// Small synthesis toolkit for the game's sound effects: oscillators with pitch glides,
// filtered noise, bell partials, a compact room reverb, and the finishing steps (fades,
// peak normalisation, 16-bit conversion). Everything is deterministic: noise comes from
// a seeded generator, so every build writes the same bytes.
#include <cstdint>
#include <vector>

#include "Xorshift.h"

namespace zvsound {

constexpr int kSampleRate = 48000;

using Buffer = std::vector<float>;

// Seeded white noise.
class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed) : generator_(seed, 0x9E3779B9u) {}
    float Next();    // -1 .. 1
    float Uniform(); // 0 .. 1
private:
    Xorshift32 generator_;
};

// State-variable filter in trapezoidal form; stays stable while its cutoff sweeps.
class SvFilter {
public:
    struct Output {
        float low;
        float band;
        float high;
    };
    Output Process(float input, float cutoffHz, float q);

private:
    float state1_ = 0.0f;
    float state2_ = 0.0f;
};

// Amplitude shape: linear attack, flat hold, then exponential decay whose time to
// fall by 60 dB is `decay60` seconds.
struct Envelope {
    double attack = 0.002;
    double hold = 0.0;
    double decay60 = 0.2;
};
double EnvelopeAt(const Envelope& env, double t);

enum class Wave { Sine, Triangle, Round }; // Round: sine with a soft second and third harmonic

// One pitched voice. The pitch glides from `freqStart` towards `freqEnd` with time
// constant `glide` (0: jumps straight to `freqEnd`), which gives the rising "bloop" of
// a real bubble or the falling swoop of a drop.
struct Tone {
    double start = 0.0;  // seconds into the buffer
    double length = 0.1; // seconds the voice sounds (envelope is cut with a short fade)
    double freqStart = 440.0;
    double freqEnd = 440.0;
    double glide = 0.0;
    double amp = 1.0;
    Envelope env;
    Wave wave = Wave::Sine;
    double vibratoHz = 0.0;
    double vibratoDepth = 0.0; // fraction of the frequency
};
void AddTone(Buffer& buffer, const Tone& tone);

enum class FilterMode { Low, Band, High };

// A burst of filtered noise whose cutoff moves exponentially from `cutoffStart` to
// `cutoffEnd` over its length.
struct NoiseBurst {
    double start = 0.0;
    double length = 0.1;
    double amp = 1.0;
    Envelope env;
    FilterMode mode = FilterMode::Band;
    double cutoffStart = 1000.0;
    double cutoffEnd = 1000.0;
    double q = 1.0;
    std::uint32_t seed = 1;
};
void AddNoise(Buffer& buffer, const NoiseBurst& burst);

// A struck glassy bell: a few inharmonic partials, the higher ones dying faster.
void AddBell(Buffer& buffer, double start, double freq, double amp, double decay60);

// Small bright room: parallel damped combs into series all-passes, mixed under the dry
// signal. The buffer should already hold room for the tail.
void ApplyReverb(Buffer& buffer, float wet, float roomSize, float damping);

// Removes any DC offset the filters left, fades both ends so playback never starts or
// stops with a click, and scales the peak to `peakDb` (dBFS, below 0).
void FinishEffect(Buffer& buffer, double peakDb, double fadeInSec, double fadeOutSec);

double PeakOf(const Buffer& buffer);
std::vector<std::int16_t> ToPcm16(const Buffer& buffer);

// Seconds to whole frames at the effect rate.
int FramesFor(double seconds);

} // namespace zvsound
