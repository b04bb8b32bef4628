#include "SoundGenDsp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace zvsound {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLn1000 = 6.907755278982137; // 60 dB as a natural-log amplitude ratio

// Amplitude of each wave's harmonics (1st, 2nd, 3rd, ...), summed additively so high
// notes stay free of aliasing.
double WaveSample(Wave wave, double phase) {
    switch (wave) {
    case Wave::Sine:
        return std::sin(phase);
    case Wave::Triangle:
        return 0.8106 * (std::sin(phase) - std::sin(3.0 * phase) / 9.0 +
                         std::sin(5.0 * phase) / 25.0 - std::sin(7.0 * phase) / 49.0);
    case Wave::Round:
        return 0.75 *
               (std::sin(phase) + 0.25 * std::sin(2.0 * phase) + 0.08 * std::sin(3.0 * phase));
    }
    return 0.0;
}

// Short raised-cosine gain ramp: 0 at x = 0, 1 at x = 1.
double Ramp(double x) {
    if (x <= 0.0) {
        return 0.0;
    }
    if (x >= 1.0) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(kPi * x);
}

// Fade at the end of a voice so cutting it never clicks.
constexpr double kVoiceEndFade = 0.004;

double VoiceEndGain(double t, double length) {
    return Ramp((length - t) / kVoiceEndFade);
}

class Comb {
public:
    explicit Comb(int length) : line_(static_cast<std::size_t>(length), 0.0f) {}
    float Process(float input, float feedback, float damping) {
        float out = line_[pos_];
        store_ = out * (1.0f - damping) + store_ * damping;
        line_[pos_] = input + store_ * feedback;
        pos_ = (pos_ + 1) % line_.size();
        return out;
    }

private:
    std::vector<float> line_;
    std::size_t pos_ = 0;
    float store_ = 0.0f;
};

class AllPass {
public:
    explicit AllPass(int length) : line_(static_cast<std::size_t>(length), 0.0f) {}
    float Process(float input) {
        float delayed = line_[pos_];
        line_[pos_] = input + delayed * 0.5f;
        pos_ = (pos_ + 1) % line_.size();
        return delayed - input;
    }

private:
    std::vector<float> line_;
    std::size_t pos_ = 0;
};

} // namespace

float NoiseSource::Next() {
    return Uniform() * 2.0f - 1.0f;
}

float NoiseSource::Uniform() {
    return static_cast<float>(generator_.Uniform());
}

SvFilter::Output SvFilter::Process(float input, float cutoffHz, float q) {
    const double cutoff = std::clamp(static_cast<double>(cutoffHz), 10.0, kSampleRate * 0.45);
    const double g = std::tan(kPi * cutoff / kSampleRate);
    const double k = 1.0 / std::max(0.05, static_cast<double>(q));
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = input - state2_;
    const double v1 = a1 * state1_ + a2 * v3;
    const double v2 = state2_ + a2 * state1_ + a3 * v3;
    state1_ = static_cast<float>(2.0 * v1 - state1_);
    state2_ = static_cast<float>(2.0 * v2 - state2_);
    return {static_cast<float>(v2), static_cast<float>(v1),
            static_cast<float>(input - k * v1 - v2)};
}

double EnvelopeAt(const Envelope& env, double t) {
    if (t < 0.0) {
        return 0.0;
    }
    if (t < env.attack) {
        return t / env.attack;
    }
    const double sinceDecay = t - env.attack - env.hold;
    if (sinceDecay <= 0.0) {
        return 1.0;
    }
    return std::exp(-kLn1000 * sinceDecay / std::max(1e-4, env.decay60));
}

int FramesFor(double seconds) {
    return static_cast<int>(std::lround(seconds * kSampleRate));
}

void AddTone(Buffer& buffer, const Tone& tone) {
    const int first = FramesFor(tone.start);
    const int count = FramesFor(tone.length);
    double phase = 0.0;
    for (int i = 0; i < count; ++i) {
        const int at = first + i;
        const std::size_t index = static_cast<std::size_t>(at);
        if (at < 0 || index >= buffer.size()) {
            continue;
        }
        const double t = static_cast<double>(i) / kSampleRate;
        double freq = tone.freqEnd;
        if (tone.glide > 0.0) {
            freq += (tone.freqStart - tone.freqEnd) * std::exp(-t / tone.glide);
        }
        if (tone.vibratoDepth > 0.0) {
            freq *= 1.0 + tone.vibratoDepth * std::sin(2.0 * kPi * tone.vibratoHz * t);
        }
        const double gain = tone.amp * EnvelopeAt(tone.env, t) * VoiceEndGain(t, tone.length);
        buffer[index] += static_cast<float>(gain * WaveSample(tone.wave, phase));
        phase += 2.0 * kPi * freq / kSampleRate;
        if (phase > 2.0 * kPi) {
            phase -= 2.0 * kPi;
        }
    }
}

void AddNoise(Buffer& buffer, const NoiseBurst& burst) {
    NoiseSource noise(burst.seed);
    SvFilter filter;
    const int first = FramesFor(burst.start);
    const int count = FramesFor(burst.length);
    const double ratio = burst.cutoffEnd / burst.cutoffStart;
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kSampleRate;
        const double cutoff = burst.cutoffStart * std::pow(ratio, t / burst.length);
        const SvFilter::Output out =
            filter.Process(noise.Next(), static_cast<float>(cutoff), static_cast<float>(burst.q));
        const float filtered = burst.mode == FilterMode::Low    ? out.low
                               : burst.mode == FilterMode::Band ? out.band
                                                                : out.high;
        const int at = first + i;
        const std::size_t index = static_cast<std::size_t>(at);
        if (at < 0 || index >= buffer.size()) {
            continue;
        }
        const double gain = burst.amp * EnvelopeAt(burst.env, t) * VoiceEndGain(t, burst.length);
        buffer[index] += static_cast<float>(gain * filtered);
    }
}

void AddBell(Buffer& buffer, double start, double freq, double amp, double decay60) {
    struct Partial {
        double ratio;
        double level;
        double decayScale;
    };
    static constexpr std::array<Partial, 5> kPartials{{
        {1.0, 1.0, 1.0},
        {2.0, 0.30, 0.6},
        {2.76, 0.22, 0.45},
        {4.07, 0.10, 0.3},
        {5.40, 0.06, 0.22},
    }};
    for (const Partial& p : kPartials) {
        if (freq * p.ratio > kSampleRate * 0.45) {
            continue;
        }
        Tone tone;
        tone.start = start;
        tone.length = decay60 * p.decayScale;
        tone.freqStart = tone.freqEnd = freq * p.ratio;
        tone.amp = amp * p.level;
        tone.env = {0.0015, 0.0, decay60 * p.decayScale};
        AddTone(buffer, tone);
    }
}

void ApplyReverb(Buffer& buffer, float wet, float roomSize, float damping) {
    // Delay lengths (in frames) chosen mutually prime so the echoes never line up.
    static constexpr std::array<int, 6> kCombLengths{1215, 1293, 1390, 1476, 1548, 1623};
    static constexpr std::array<int, 2> kAllPassLengths{605, 480};
    std::vector<Comb> combs;
    combs.reserve(kCombLengths.size());
    for (int length : kCombLengths) {
        combs.emplace_back(length);
    }
    std::vector<AllPass> allPasses;
    allPasses.reserve(kAllPassLengths.size());
    for (int length : kAllPassLengths) {
        allPasses.emplace_back(length);
    }
    const float feedback = 0.7f + 0.28f * std::clamp(roomSize, 0.0f, 1.0f);
    const float damp = std::clamp(damping, 0.0f, 0.95f);
    for (float& sample : buffer) {
        const float input = sample * 0.1f;
        float sum = 0.0f;
        for (Comb& comb : combs) {
            sum += comb.Process(input, feedback, damp);
        }
        for (AllPass& allPass : allPasses) {
            sum = allPass.Process(sum);
        }
        sample += wet * sum;
    }
}

double PeakOf(const Buffer& buffer) {
    double peak = 0.0;
    for (float sample : buffer) {
        peak = std::max(peak, static_cast<double>(std::fabs(sample)));
    }
    return peak;
}

void FinishEffect(Buffer& buffer, double peakDb, double fadeInSec, double fadeOutSec) {
    // One-pole high-pass at about 15 Hz: takes away any offset without touching the body.
    const double pole = 1.0 - 2.0 * kPi * 15.0 / kSampleRate;
    double previousIn = 0.0;
    double previousOut = 0.0;
    for (float& sample : buffer) {
        const double out = sample - previousIn + pole * previousOut;
        previousIn = sample;
        previousOut = out;
        sample = static_cast<float>(out);
    }
    const double count = static_cast<double>(buffer.size());
    const double fadeIn = std::max(1.0, fadeInSec * kSampleRate);
    const double fadeOut = std::max(1.0, fadeOutSec * kSampleRate);
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const double fromStart = static_cast<double>(i) / fadeIn;
        const double toEnd = (count - 1.0 - static_cast<double>(i)) / fadeOut;
        buffer[i] *= static_cast<float>(Ramp(fromStart) * Ramp(toEnd));
    }
    const double peak = PeakOf(buffer);
    if (peak <= 0.0) {
        return;
    }
    const double gain = std::pow(10.0, peakDb / 20.0) / peak;
    for (float& sample : buffer) {
        sample = static_cast<float>(sample * gain);
    }
}

std::vector<std::int16_t> ToPcm16(const Buffer& buffer) {
    std::vector<std::int16_t> pcm(buffer.size());
    for (std::size_t i = 0; i < buffer.size(); ++i) {
        const long value = std::lround(static_cast<double>(buffer[i]) * 32767.0);
        pcm[i] = static_cast<std::int16_t>(std::clamp(value, -32767L, 32767L));
    }
    return pcm;
}

} // namespace zvsound
