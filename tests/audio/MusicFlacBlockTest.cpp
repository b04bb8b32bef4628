// The lossless packing of decoded music blocks as FLAC frames: every kind of signal comes back
// sample for sample, music-like sound packs well, and bytes that are not a block are refused
// harmlessly, after which the thread's decoder still works.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "AudioTestSounds.h"
#include "platform/mixer/TwMixerFlacBlock.h"

namespace {

std::vector<std::int16_t> ToPcm(const std::vector<float>& samples) {
    std::vector<std::int16_t> pcm(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        pcm[i] =
            static_cast<std::int16_t>(std::lround(std::clamp(samples[i], -1.0f, 1.0f) * 32767));
    }
    return pcm;
}

// Packs and expands `pcm`; returns the packed size.
std::size_t RoundTrip(const std::vector<std::int16_t>& pcm, int channels) {
    const int frames = static_cast<int>(pcm.size()) / channels;
    const std::vector<std::uint8_t> packed = TwMixerFlacBlock::Pack(pcm.data(), frames, channels);
    std::vector<std::int16_t> back(pcm.size(), 12345);
    EXPECT_TRUE(TwMixerFlacBlock::Unpack(packed, frames, channels, back.data()));
    EXPECT_EQ(back, pcm);
    return packed.size();
}

} // namespace

TEST(MusicFlacBlock, EverySignalComesBackExactly) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> full(-32768, 32767);
    std::vector<std::int16_t> noise(4096 * 2);
    for (auto& s : noise) {
        s = static_cast<std::int16_t>(full(random));
    }
    // Every sample at the opposite extreme from the last: the largest residuals there are.
    std::vector<std::int16_t> extremes(4096 * 2);
    for (std::size_t i = 0; i < extremes.size(); ++i) {
        extremes[i] = (i / 2) % 2 ? std::int16_t{32767} : std::int16_t{-32768};
    }
    // Left and right as far apart as they go: the widest difference signal.
    std::vector<std::int16_t> apart(4096 * 2);
    for (std::size_t i = 0; i < apart.size(); i += 2) {
        apart[i] = 32767;
        apart[i + 1] = -32768;
    }
    std::vector<std::int16_t> chord = ToPcm(zvaudio::Chord(4096.0 / zvaudio::kRate, 0.45));
    // Only the right channel sounds, then only the left: each pairing gets its turn.
    std::vector<std::int16_t> oneSided = chord;
    for (std::size_t i = 0; i < oneSided.size(); i += 2) {
        oneSided[i < oneSided.size() / 2 ? i : i + 1] = 0;
    }

    SCOPED_TRACE("stereo");
    for (const std::vector<std::int16_t>* pcm : {&noise, &extremes, &apart, &chord, &oneSided}) {
        RoundTrip(*pcm, 2);
    }
    RoundTrip(std::vector<std::int16_t>(4096 * 2, 0), 2);
    SCOPED_TRACE("mono and odd lengths");
    RoundTrip(ToPcm(zvaudio::Tone(440, 0.05, 0.8)), 1);
    RoundTrip({-32768, 32767}, 2); // one frame
    RoundTrip(std::vector<std::int16_t>(chord.begin(), chord.begin() + 257 * 2),
              2); // one past a stretch
    RoundTrip(std::vector<std::int16_t>(noise.begin(), noise.begin() + 6 * 3), 3); // kept as it is
}

TEST(MusicFlacBlock, MusicPacksToWellUnderItsSizeAndNoiseNoLarger) {
    const std::vector<std::int16_t> chord = ToPcm(zvaudio::Chord(4096.0 / zvaudio::kRate, 0.45));
    EXPECT_LT(RoundTrip(chord, 2), chord.size() * 2 / 2);
    std::mt19937 random(3);
    std::uniform_int_distribution<int> full(-32768, 32767);
    std::vector<std::int16_t> noise(4096 * 2);
    for (auto& s : noise) {
        s = static_cast<std::int16_t>(full(random));
    }
    EXPECT_LE(RoundTrip(noise, 2), noise.size() * 2 + 32); // stored as it is, plus a header
}

TEST(MusicFlacBlock, BytesThatAreNotABlockGiveSilence) {
    const std::vector<std::int16_t> chord = ToPcm(zvaudio::Chord(1000.0 / zvaudio::kRate, 0.45));
    const std::vector<std::uint8_t> packed = TwMixerFlacBlock::Pack(chord.data(), 1000, 2);
    std::vector<std::int16_t> out(1000 * 2, 99);

    // Cut short, the stream runs out: refused, silent.
    const std::vector<std::uint8_t> cut(packed.begin(), packed.begin() + packed.size() / 2);
    EXPECT_FALSE(TwMixerFlacBlock::Unpack(cut, 1000, 2, out.data()));
    EXPECT_EQ(out, std::vector<std::int16_t>(out.size(), 0));
    // Another shape than the one packed, an unknown kind, nothing at all.
    EXPECT_FALSE(TwMixerFlacBlock::Unpack(packed, 1000, 1, out.data()));
    EXPECT_FALSE(TwMixerFlacBlock::Unpack({7, 0, 0, 0}, 1000, 2, out.data()));
    EXPECT_FALSE(TwMixerFlacBlock::Unpack({}, 1000, 2, out.data()));
    const std::vector<std::int16_t> few = {1, 2, 3, 4};
    const std::vector<std::uint8_t> verbatim = TwMixerFlacBlock::Pack(few.data(), 1, 4);
    EXPECT_FALSE(TwMixerFlacBlock::Unpack(verbatim, 2, 4, out.data()));

    // Random bytes after a valid frame header, or a packed block with some bytes changed, never
    // read or write out of bounds (the sanitizer build checks), whatever they expand to.
    std::mt19937 random(11);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> junk(8 + random() % 600);
        for (auto& b : junk) {
            b = static_cast<std::uint8_t>(random());
        }
        std::copy(packed.begin(), packed.begin() + 6, junk.begin());
        TwMixerFlacBlock::Unpack(junk, 1000, 2, out.data());
        std::vector<std::uint8_t> damaged = packed;
        damaged[6 + random() % (damaged.size() - 6)] ^=
            static_cast<std::uint8_t>(1 + random() % 255);
        EXPECT_FALSE(TwMixerFlacBlock::Unpack(damaged, 1000, 2, out.data()));
    }
    // The decoder recovers from all of that.
    ASSERT_TRUE(TwMixerFlacBlock::Unpack(packed, 1000, 2, out.data()));
    EXPECT_EQ(out, chord);
    EXPECT_TRUE(TwMixerFlacBlock::Pack(chord.data(), 0, 2).empty());
    EXPECT_TRUE(TwMixerFlacBlock::Pack(chord.data(), 10, 9).empty());
}
