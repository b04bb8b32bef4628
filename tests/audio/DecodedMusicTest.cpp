// Music decoded once into memory: the decoded track holds exactly what the file decodes to,
// wherever decoding starts; broken files stay harmless; one decoded track is kept at a time;
// pausing holds the music; and a looping track wraps sample for sample.
#include <gtest/gtest.h>

#include <ogg/ogg.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "AudioTestSounds.h"
#include "TestSupport.h"
#include "audio/TwSoundManager.h"
#include "platform/mixer/TwMixer.h"
#include "platform/mixer/TwMixerTrack.h"

using zvaudio::Chord;
using zvaudio::DecodeOggReference;
using zvaudio::MakeOgg;
using zvaudio::RunFrames;

namespace {

constexpr TwMixerTrack::Format kStereo48k{48000, 2};

bool WaitUntil(const std::function<bool()>& done, int ms) {
    for (int waited = 0; waited < ms; waited += 5) {
        if (done()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return done();
}

// Everything a decoded track plays, frame 0 to its end, read as the audio thread reads it.
std::vector<std::int16_t> ReadAllOf(TwMixerTrack& track) {
    std::vector<std::int16_t> all;
    std::int64_t frame = 0;
    while (frame < track.Length()) {
        const std::int16_t* samples = nullptr;
        const int frames = track.Peek(frame, samples);
        if (frames <= 0) {
            ADD_FAILURE() << "nothing to read at frame " << frame << " of " << track.Length();
            break;
        }
        all.insert(all.end(), samples, samples + frames * track.OutputFormat().channels);
        frame += frames;
    }
    return all;
}

std::unique_ptr<TwMixerTrack> DecodeFully(const std::string& bytes, std::int64_t start) {
    auto track = std::make_unique<TwMixerTrack>(bytes, kStereo48k, start);
    EXPECT_TRUE(WaitUntil([&] { return track->Decoded(); }, 10000));
    return track;
}

// The last page of an Ogg stream with its granule position (the length it states) replaced,
// and its checksum made right again, so only the length is a lie.
std::string WithStatedLength(std::string bytes, std::int64_t frames) {
    const std::size_t last = bytes.rfind("OggS");
    auto* header = reinterpret_cast<unsigned char*>(&bytes[last]);
    const int segments = header[26];
    long bodyBytes = 0;
    for (int i = 0; i < segments; ++i) {
        bodyBytes += header[27 + i];
    }
    for (int i = 0; i < 8; ++i) {
        header[6 + i] =
            static_cast<unsigned char>((static_cast<std::uint64_t>(frames) >> (8 * i)) & 0xFF);
    }
    ogg_page page{header, 27 + segments, header + 27 + segments, bodyBytes};
    ogg_page_checksum_set(&page);
    return bytes;
}

std::unique_ptr<TwPlayList> ListOf(const std::vector<std::string>& tracks) {
    auto list = std::make_unique<TwPlayList>();
    for (const std::string& bytes : tracks) {
        list->AddTrackBytes(bytes);
    }
    return list;
}

} // namespace

TEST(DecodedMusicTrack, HoldsExactlyWhatTheFileDecodesToWhereverDecodingStarts) {
    const std::string bytes = MakeOgg(Chord(3.0, 0.4), zvaudio::kRate, 2);
    int channels = 0;
    const std::vector<std::int16_t> reference = DecodeOggReference(bytes, channels);
    ASSERT_EQ(channels, 2);
    const auto frames = static_cast<std::int64_t>(reference.size() / 2);
    // From the start, from the middle of a block, from its last frame, and from past the end.
    for (const std::int64_t start :
         {std::int64_t{0}, std::int64_t{81234}, frames - 1, frames + 5}) {
        SCOPED_TRACE(start);
        auto track = DecodeFully(bytes, start);
        EXPECT_EQ(track->Length(), frames);
        EXPECT_EQ(ReadAllOf(*track), reference);
        // Packed without loss at well under the size of the samples.
        EXPECT_LT(track->MemoryBytes(), reference.size() * 2 * 6 / 10);
    }
}

// A file in another rate or channel count than the device's is converted as it is decoded: a
// mono track plays the same samples on both sides, a 44.1 kHz one as long and as loud at 48.
TEST(DecodedMusicTrack, OtherRatesAndChannelCountsAreConverted) {
    {
        const std::string mono = MakeOgg(zvaudio::Tone(440, 1.5, 0.4));
        int channels = 0;
        const std::vector<std::int16_t> reference = DecodeOggReference(mono, channels);
        ASSERT_EQ(channels, 1);
        auto track = DecodeFully(mono, 30000);
        const std::vector<std::int16_t> played = ReadAllOf(*track);
        ASSERT_EQ(played.size(), reference.size() * 2);
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            wrong += played[2 * i] != reference[i] || played[2 * i + 1] != reference[i] ? 1 : 0;
        }
        EXPECT_EQ(wrong, 0u);
    }
    {
        const std::string cd = MakeOgg(Chord(2.0, 0.4), 44100, 2);
        int channels = 0;
        const std::vector<std::int16_t> reference = DecodeOggReference(cd, channels);
        auto track = DecodeFully(cd, 0);
        const auto expected = static_cast<std::int64_t>(reference.size() / 2 * 48000 / 44100);
        EXPECT_NEAR(static_cast<double>(track->Length()), static_cast<double>(expected), 64.0);
        const std::vector<std::int16_t> played = ReadAllOf(*track);
        auto peak = [](const std::vector<std::int16_t>& pcm) {
            int most = 0;
            for (const std::int16_t s : pcm) {
                most = std::max(most, std::abs(static_cast<int>(s)));
            }
            return most;
        };
        EXPECT_NEAR(peak(played), peak(reference), peak(reference) / 20);
    }
}

TEST(DecodedMusicTrack, BrokenFilesAreCutShortOrSilentAndNeverReadOutOfBounds) {
    // Long enough for a dozen pages of sound, so a cut or a hole spares most of them.
    const std::string whole = MakeOgg(Chord(10.0, 0.4), zvaudio::kRate, 2);
    int channels = 0;
    const std::vector<std::int16_t> reference = DecodeOggReference(whole, channels);
    const auto frames = static_cast<std::int64_t>(reference.size() / 2);

    {
        SCOPED_TRACE("cut off at 60 %: the part that is there plays as it is");
        auto track = DecodeFully(whole.substr(0, whole.size() * 6 / 10), 300000);
        EXPECT_GT(track->Length(), frames * 4 / 10);
        EXPECT_LT(track->Length(), frames * 7 / 10);
        const std::vector<std::int16_t> played = ReadAllOf(*track);
        ASSERT_EQ(played.size(), static_cast<std::size_t>(track->Length() * 2));
        EXPECT_TRUE(std::equal(played.begin(), played.end(), reference.begin()));
    }
    {
        SCOPED_TRACE(
            "a stated length twenty times the real one: the track ends where its data does");
        auto track = DecodeFully(WithStatedLength(whole, frames * 20), 0);
        // (Without the true length, the last packet is not trimmed to it.)
        EXPECT_GE(track->Length(), frames);
        EXPECT_LE(track->Length(), frames + 2048);
        const std::vector<std::int16_t> played = ReadAllOf(*track);
        EXPECT_TRUE(std::equal(reference.begin(), reference.end(), played.begin()));
    }
    {
        SCOPED_TRACE("a stretch of the middle overwritten: decoding carries on after it");
        std::string holed = whole;
        std::memset(&holed[holed.size() / 2], 0x5A, 300);
        auto track = DecodeFully(holed, 0);
        EXPECT_GT(track->Length(), frames * 3 / 4);
        EXPECT_LE(track->Length(), frames);
        ReadAllOf(*track);
    }
    {
        SCOPED_TRACE("headers and then nothing but noise: an empty track");
        std::string junk = whole.substr(0, 4000);
        for (int i = 0; i < 20000; ++i) {
            junk.push_back(static_cast<char>((i * 7919) & 0xFF));
        }
        auto track = DecodeFully(junk, 0);
        ReadAllOf(*track);
    }
    {
        SCOPED_TRACE("no music at all");
        auto track = DecodeFully("not a sound file", 0);
        EXPECT_EQ(track->Length(), 0);
        const std::int16_t* samples = nullptr;
        EXPECT_EQ(track->Peek(0, samples), 0);
    }
}

TEST(DecodedMusicTrack, DestroyedWhileDecodingStopsCleanly) {
    const std::string bytes = MakeOgg(Chord(8.0, 0.4), zvaudio::kRate, 2);
    for (int i = 0; i < 5; ++i) {
        TwMixerTrack track(bytes, kStereo48k, i * 50000);
    }
}

namespace {

class DecodedMusic : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sound.StartUp(100, 100));
        TwSoundManager::ResetEndCounter();
    }

    zvaudio::ScopedAudioDriver driver{"dummy"};
    TwSoundManager& sound = TwSoundManager::Instance();
};

bool Decoded() {
    return WaitUntil([] { return TwMixer::MusicFullyDecoded(); }, 10000);
}

} // namespace

// Only the track that plays is kept decoded: switching lists frees the other one, coming back
// to the same track keeps it, and closing the lists frees everything.
TEST_F(DecodedMusic, OneDecodedTrackIsKeptAtATime) {
    const std::string longTrack = MakeOgg(Chord(6.0, 0.4), zvaudio::kRate, 2);
    const std::string shortTrack = MakeOgg(Chord(1.0, 0.4), zvaudio::kRate, 2);
    sound.AddPlayList(0, ListOf({longTrack}));
    sound.AddPlayList(1, ListOf({shortTrack}));

    sound.SelectPlayList(1);
    sound.ResumeMusic();
    ASSERT_TRUE(Decoded());
    const std::size_t shortBytes = TwMixer::DecodedMusicBytes();
    EXPECT_GT(shortBytes, 0u);

    sound.SelectPlayList(0);
    sound.ResumeMusic();
    ASSERT_TRUE(Decoded());
    const std::size_t longBytes = TwMixer::DecodedMusicBytes();
    EXPECT_GT(longBytes, shortBytes * 3);

    // Back to the short track: exactly its own blocks are held, none of the long one's.
    sound.SelectPlayList(1);
    sound.ResumeMusic();
    ASSERT_TRUE(Decoded());
    EXPECT_EQ(TwMixer::DecodedMusicBytes(), shortBytes);

    // Stopped and started again, the track is not decoded again: it is there at once.
    sound.RestartTrack();
    EXPECT_TRUE(TwMixer::MusicFullyDecoded());
    EXPECT_EQ(TwMixer::DecodedMusicBytes(), shortBytes);
    EXPECT_TRUE(TwMixer::IsMusicPlaying(sound.PlayList(1)->Track(0).Stream()));

    sound.ShutDown();
    EXPECT_EQ(TwMixer::DecodedMusicBytes(), 0u);
}

// Minimising the window pauses the music where it is; restoring it plays on from there.
TEST_F(DecodedMusic, PauseHoldsTheMusicWhereItIs) {
    sound.AddPlayList(0, ListOf({MakeOgg(Chord(4.0, 0.4), zvaudio::kRate, 2)}));
    sound.SelectPlayList(0);
    sound.ResumeMusic();
    TwMixerMusic* stream = sound.PlayList(0)->Track(0).Stream();
    RunFrames(300);
    sound.PauseAll(true);
    RunFrames(50); // the buffer being mixed when the pause came
    const double pausedAt = TwMixer::MusicPosition(stream);
    EXPECT_GT(pausedAt, 0.15);
    RunFrames(400);
    EXPECT_EQ(TwMixer::MusicPosition(stream), pausedAt);
    EXPECT_TRUE(TwMixer::IsMusicPlaying(stream));

    sound.PauseAll(false);
    RunFrames(300);
    EXPECT_GT(TwMixer::MusicPosition(stream), pausedAt + 0.15);
}

// Broken music never stops the game: a track whose data ends long before the length it states
// loops over what it has, a track with nothing decodable loops in silence, and one in a list
// of several ends and hands over.
TEST_F(DecodedMusic, BrokenMusicIsHarmless) {
    const std::string whole = MakeOgg(Chord(0.5, 0.4), zvaudio::kRate, 2);
    std::string junk = whole.substr(0, 4000);
    junk.append(30000, '\x33');
    sound.AddPlayList(0, ListOf({WithStatedLength(whole, 48000 * 60)}));
    sound.AddPlayList(1, ListOf({junk}));
    sound.AddPlayList(2, ListOf({junk, whole, junk}));

    sound.SelectPlayList(0);
    sound.ResumeMusic();
    RunFrames(1300); // past the real end, twice
    EXPECT_TRUE(TwMixer::IsMusicPlaying(sound.PlayList(0)->Track(0).Stream()));
    EXPECT_EQ(TwSoundManager::EndCounter(), 0);

    sound.SelectPlayList(1);
    sound.ResumeMusic();
    RunFrames(300);

    sound.SelectPlayList(2);
    sound.ResumeMusic();
    RunFrames(600);
    sound.ShutDown();
}

// Listening through the disk driver at full volume: the music that comes out is the track's
// decoded samples, unchanged, round and round with nothing lost or doubled at the seam.
TEST(DecodedMusicLoop, WrapsSampleForSample) {
    const std::string bytes = MakeOgg(Chord(0.5, 0.4), zvaudio::kRate, 2);
    int channels = 0;
    const std::vector<std::int16_t> reference = DecodeOggReference(bytes, channels);
    ASSERT_FALSE(reference.empty());
    zvtest::TempDir dir;
    const std::string recording = dir.File("loop.raw");
    {
        zvaudio::ScopedAudioDriver driver("disk", recording);
        TwSoundManager& sound = TwSoundManager::Instance();
        ASSERT_TRUE(sound.StartUp(100, 255));
        int rate = 0, outChannels = 0, bits = 0;
        ASSERT_TRUE(TwMixer::QuerySpec(rate, outChannels, bits));
        if (rate != zvaudio::kRate || outChannels != 2) {
            GTEST_SKIP() << "the disk driver runs at " << rate << " Hz, " << outChannels << " ch";
        }
        sound.AddPlayList(0, ListOf({bytes}));
        sound.SelectPlayList(0);
        sound.ResumeMusic();
        RunFrames(2200); // four times round and more
    }
    const std::string raw = zvtest::ReadAll(recording);
    std::vector<std::int16_t> heard(raw.size() / 2);
    std::memcpy(heard.data(), raw.data(), heard.size() * 2);
    auto firstSound = [](const std::vector<std::int16_t>& pcm) {
        std::size_t i = 0;
        while (i < pcm.size() && pcm[i] == 0) {
            ++i;
        }
        return i - i % 2;
    };
    const std::size_t start = firstSound(heard) - firstSound(reference);
    const std::size_t loopSamples = reference.size();
    ASSERT_GT(heard.size(), start + loopSamples * 4);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < loopSamples * 4; ++i) {
        wrong += heard[start + i] != reference[i % loopSamples] ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0u);
}
