// The sound generator's promises: every effect the game loads exists with its exact name,
// decodes, is clean (no clipping, no click at either end, real content), builds the same
// bytes every time; both music tracks are long enough and loop without a jump.
#include "AssetGen.h"
#include "AudioFile.h"
#include "FlacWriter.h"
#include "MusicGenScore.h"
#include "OggWriter.h"
#include "SoundGenDsp.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <FLAC/stream_decoder.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <vorbis/vorbisfile.h>

namespace {

struct Decoded {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples; // interleaved, -1 .. 1

    std::size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
    double Seconds() const { return rate > 0 ? static_cast<double>(Frames()) / rate : 0.0; }
};

// A FLAC file's samples, through libFLAC's own decoder.
struct FlacReader {
    Decoded* out;
    bool failed = false;
};

FLAC__StreamDecoderWriteStatus OnFlacFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                           const FLAC__int32* const planes[], void* data) {
    auto* reader = static_cast<FlacReader*>(data);
    reader->out->channels = static_cast<int>(frame->header.channels);
    reader->out->rate = static_cast<int>(frame->header.sample_rate);
    const float scale = frame->header.bits_per_sample == 16 ? 1.0f / 32768.0f : 0.0f;
    reader->failed = reader->failed || scale == 0.0f;
    for (std::uint32_t f = 0; f < frame->header.blocksize; ++f) {
        for (std::uint32_t ch = 0; ch < frame->header.channels; ++ch) {
            reader->out->samples.push_back(static_cast<float>(planes[ch][f]) * scale);
        }
    }
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void OnFlacError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
    static_cast<FlacReader*>(data)->failed = true;
}

// 16-bit FLAC only: what the game's lossless effect files must be.
bool DecodeFlac(const std::string& path, Decoded& out) {
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    FlacReader reader{&out};
    // The decoder checks every frame against the stream's MD5 of its samples.
    FLAC__stream_decoder_set_md5_checking(decoder, true);
    bool ok =
        FLAC__stream_decoder_init_file(decoder, path.c_str(), OnFlacFrame, nullptr, OnFlacError,
                                       &reader) == FLAC__STREAM_DECODER_INIT_STATUS_OK;
    ok = ok && FLAC__stream_decoder_process_until_end_of_stream(decoder);
    ok = FLAC__stream_decoder_finish(decoder) && ok;
    FLAC__stream_decoder_delete(decoder);
    return ok && !reader.failed && out.channels > 0;
}

bool DecodeOgg(const std::string& path, Decoded& out) {
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0) {
        return false;
    }
    const vorbis_info* info = ov_info(&file, -1);
    out.channels = info->channels;
    out.rate = static_cast<int>(info->rate);
    int section = 0;
    for (;;) {
        float** planes = nullptr;
        const long frames = ov_read_float(&file, &planes, 4096, &section);
        if (frames < 0) {
            ov_clear(&file);
            return false;
        }
        if (frames == 0) {
            break;
        }
        for (long f = 0; f < frames; ++f) {
            for (int ch = 0; ch < out.channels; ++ch) {
                out.samples.push_back(planes[ch][f]);
            }
        }
    }
    ov_clear(&file);
    return true;
}

bool Decode(const std::string& path, Decoded& out) {
    const bool flac = path.size() > 5 && path.compare(path.size() - 5, 5, ".Flac") == 0;
    return flac ? DecodeFlac(path, out) : DecodeOgg(path, out);
}

double Peak(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double peak = 0.0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i) {
        peak = std::max(peak, static_cast<double>(std::fabs(samples[i])));
    }
    return peak;
}

double Rms(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    std::size_t count = 0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i, ++count) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return count > 0 ? std::sqrt(sum / static_cast<double>(count)) : 0.0;
}

double Db(double amplitude) {
    return 20.0 * std::log10(std::max(amplitude, 1e-12));
}

// Every effect the game's sound table loads, as stored: the ones it asks for as ".Wav"
// are stored as ".Flac".
const std::vector<std::string> kEffects{
    "Interface/Void.Flac",
    "Interface/ButtonGetFocus.Flac",
    "Interface/ButtonClick.Flac",
    "Interface/OpenDialog.Flac",
    "Interface/CloseDialog.Flac",
    "Interface/Type.Ogg",
    "FireBall.Flac",
    "StopBall.Ogg",
    "BallDelete.Flac",
    "SeekScoreEnd.Flac",
    "ColorRemove.Flac",
    "LineFall.Ogg",
    "LoadColorEnd.Flac",
    "HitWall.Flac",
    "Swap.Ogg",
};

TEST(SoundEffects, EveryEffectIsCleanShortAndAudible) {
    zvtest::TempDir dir;
    ASSERT_TRUE(GenerateSounds(dir.Path()));
    for (const std::string& name : kEffects) {
        SCOPED_TRACE(name);
        Decoded sound;
        ASSERT_TRUE(Decode(dir.Path() + "/Data/Sounds/" + name, sound));
        EXPECT_EQ(sound.rate, 48000);
        EXPECT_EQ(sound.channels, 1);
        ASSERT_GT(sound.Frames(), 0u);
        const double peak = Peak(sound.samples, 0, sound.samples.size());
        if (name == "Interface/Void.Flac") {
            EXPECT_EQ(peak, 0.0);
            continue;
        }
        EXPECT_GT(sound.Seconds(), 0.03);
        EXPECT_LT(sound.Seconds(), 1.5);
        // Loud enough to be heard, never at full scale.
        EXPECT_GT(Db(peak), -6.0);
        EXPECT_LT(Db(peak), -0.3);
        EXPECT_GT(Db(Rms(sound.samples, 0, sound.samples.size())), -40.0);
        // Both ends fade to nothing, so starting or cutting an effect never clicks.
        const std::size_t ms = 48;
        EXPECT_LT(Peak(sound.samples, 0, 2), 0.01);
        EXPECT_LT(Peak(sound.samples, sound.Frames() - 2, sound.Frames()), 0.01);
        EXPECT_LT(Db(Rms(sound.samples, sound.Frames() - ms, sound.Frames())), -40.0);
    }
}

TEST(SoundEffects, EveryBuildWritesTheSameBytes) {
    zvtest::TempDir first;
    zvtest::TempDir second;
    ASSERT_TRUE(GenerateSounds(first.Path()));
    ASSERT_TRUE(GenerateSounds(second.Path()));
    for (const std::string& name : kEffects) {
        SCOPED_TRACE(name);
        const std::string a = zvtest::ReadAll(first.Path() + "/Data/Sounds/" + name);
        EXPECT_FALSE(a.empty());
        EXPECT_EQ(a, zvtest::ReadAll(second.Path() + "/Data/Sounds/" + name));
    }
}

TEST(SoundEffects, UnwritableFolderIsReportedAsFailure) {
    zvtest::TempDir dir;
    // A plain file where the sound folder should go.
    zvtest::WriteAll(dir.File("Data"), "not a folder");
    EXPECT_FALSE(GenerateSounds(dir.Path()));
}

TEST(OggEncoding, FixedSerialGivesRepeatableExactLengthStreams) {
    std::vector<float> tone(2 * 12345);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = 0.5f * static_cast<float>(std::sin(0.05 * static_cast<double>(i / 2)));
    }
    zvsound::OggSettings settings;
    settings.channels = 2;
    settings.serial = 42;
    std::vector<std::uint8_t> a, b, other;
    std::string error;
    ASSERT_TRUE(zvsound::EncodeOggVorbis(tone, settings, a, error));
    ASSERT_TRUE(zvsound::EncodeOggVorbis(tone, settings, b, error));
    EXPECT_EQ(a, b);
    settings.serial = 43;
    ASSERT_TRUE(zvsound::EncodeOggVorbis(tone, settings, other, error));
    EXPECT_NE(a, other);

    // Decoded length is exactly the input length: a loop keeps its bar lines.
    zvtest::TempDir dir;
    zvtest::WriteAll(dir.File("tone.Ogg"),
                     std::string_view(reinterpret_cast<const char*>(a.data()), a.size()));
    Decoded decoded;
    ASSERT_TRUE(DecodeOgg(dir.File("tone.Ogg"), decoded));
    EXPECT_EQ(decoded.Frames(), 12345u);

    settings.channels = 3;
    EXPECT_FALSE(zvsound::EncodeOggVorbis(std::vector<float>(30), settings, a, error));
    EXPECT_FALSE(error.empty());
}

// --- synthesis building blocks ------------------------------------------------------

// Level of a steady sine after the filter, measured over the second half of a second.
double FilteredLevel(zvsound::FilterMode mode, double toneHz, double cutoffHz) {
    zvsound::SvFilter filter;
    std::vector<float> out;
    for (int i = 0; i < zvsound::kSampleRate; ++i) {
        const float in =
            static_cast<float>(std::sin(2.0 * M_PI * toneHz * i / zvsound::kSampleRate));
        const zvsound::SvFilter::Output o =
            filter.Process(in, static_cast<float>(cutoffHz), 0.707f);
        out.push_back(mode == zvsound::FilterMode::Low    ? o.low
                      : mode == zvsound::FilterMode::Band ? o.band
                                                          : o.high);
    }
    return Db(Rms(out, out.size() / 2, out.size()) * std::sqrt(2.0));
}

TEST(SoundSynthesis, FiltersPassAndStopTheRightBands) {
    using zvsound::FilterMode;
    EXPECT_NEAR(FilteredLevel(FilterMode::Low, 100, 1000), 0.0, 0.5);
    EXPECT_LT(FilteredLevel(FilterMode::Low, 10000, 1000), -30.0);
    EXPECT_NEAR(FilteredLevel(FilterMode::High, 10000, 1000), 0.0, 0.5);
    EXPECT_LT(FilteredLevel(FilterMode::High, 100, 1000), -30.0);
    EXPECT_NEAR(FilteredLevel(FilterMode::Band, 1000, 1000), -3.0, 1.0);
    EXPECT_LT(FilteredLevel(FilterMode::Band, 10000, 1000), -15.0);
    // Cutoffs beyond what the rate allows are held back rather than blowing up.
    EXPECT_TRUE(std::isfinite(FilteredLevel(FilterMode::Low, 1000, 1e9)));
    EXPECT_TRUE(std::isfinite(FilteredLevel(FilterMode::Band, 1000, -5)));
}

// Counts upward zero crossings in [from, to) to measure a tone's pitch.
double PitchOf(const zvsound::Buffer& b, double from, double to) {
    int crossings = 0;
    const auto first = static_cast<std::size_t>(zvsound::FramesFor(from));
    const auto last = static_cast<std::size_t>(zvsound::FramesFor(to));
    for (std::size_t i = first + 1; i < last; ++i) {
        crossings += b[i - 1] < 0.0f && b[i] >= 0.0f;
    }
    return crossings / (to - from);
}

TEST(SoundSynthesis, TonesGlideToTheirPitchAndStayInsideTheBuffer) {
    zvsound::Buffer b(static_cast<std::size_t>(zvsound::FramesFor(0.5)), 0.0f);
    zvsound::Tone tone;
    tone.length = 0.5;
    tone.freqStart = 200;
    tone.freqEnd = 800;
    tone.glide = 0.02;
    tone.env = {0.001, 0.5, 1.0};
    zvsound::AddTone(b, tone);
    EXPECT_NEAR(PitchOf(b, 0.2, 0.45), 800.0, 10.0);
    // The voice ends in a fade, never on a cut.
    EXPECT_LT(std::fabs(b.back()), 0.01f);

    // Voices that start before the buffer or run past its end are clipped to it.
    zvsound::Buffer small(100, 0.0f);
    tone.start = -0.01;
    zvsound::AddTone(small, tone);
    zvsound::NoiseBurst burst;
    burst.start = 0.001;
    burst.length = 1.0;
    zvsound::AddNoise(small, burst);
    zvsound::AddBell(small, 0.0, 20000.0, 1.0, 2.0);
    EXPECT_EQ(small.size(), 100u);
    EXPECT_GT(zvsound::PeakOf(small), 0.0);
}

TEST(SoundSynthesis, ReverbRingsOnAndDiesAway) {
    zvsound::Buffer b(static_cast<std::size_t>(zvsound::FramesFor(4.0)), 0.0f);
    b[0] = 1.0f;
    zvsound::ApplyReverb(b, 0.5f, 1.0f, 0.5f);
    const double early = Rms(b, 2400, 24000);
    const double late = Rms(b, b.size() - 24000, b.size());
    EXPECT_GT(early, 1e-4);
    EXPECT_LT(late, early * 0.1);
}

TEST(SoundSynthesis, FinishingNormalisesFadesAndSurvivesSilence) {
    zvsound::Buffer b(4800, 0.25f); // a flat offset: all DC
    b[2400] = 0.5f;
    zvsound::FinishEffect(b, -6.0, 0.001, 0.01);
    EXPECT_NEAR(Db(zvsound::PeakOf(b)), -6.0, 0.01);
    EXPECT_EQ(b.front(), 0.0f);
    EXPECT_EQ(b.back(), 0.0f);

    zvsound::Buffer silent(480, 0.0f);
    zvsound::FinishEffect(silent, -1.0, 0.001, 0.001);
    EXPECT_EQ(zvsound::PeakOf(silent), 0.0);

    const std::vector<std::int16_t> pcm = zvsound::ToPcm16({1.5f, -1.5f, 0.5f, -0.5f, 0.0f});
    EXPECT_EQ(pcm, (std::vector<std::int16_t>{32767, -32767, 16384, -16384, 0}));
}

TEST(SoundSynthesis, FlacKeepsEverySampleAndGivesTheSameBytesEachTime) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 9000; ++i) { // longer than one FLAC block, with both extremes
        samples.push_back(static_cast<std::int16_t>((i * 7919) % 65536 - 32768));
    }
    samples[17] = 32767;
    std::vector<std::uint8_t> bytes, again;
    std::string error;
    ASSERT_TRUE(zvsound::EncodeFlac16(samples, 1, 48000, bytes, error)) << error;
    ASSERT_TRUE(zvsound::EncodeFlac16(samples, 1, 48000, again, error)) << error;
    EXPECT_EQ(bytes, again);

    zvtest::TempDir dir;
    ASSERT_TRUE(zvsound::WriteAudioFile(dir.File("Sounds/tone.Flac"), bytes));
    Decoded decoded;
    ASSERT_TRUE(DecodeFlac(dir.File("Sounds/tone.Flac"), decoded));
    EXPECT_EQ(decoded.rate, 48000);
    ASSERT_EQ(decoded.samples.size(), samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(decoded.samples[i] * 32768.0f, samples[i]) << "sample " << i;
    }
    // Samples that do not make whole frames are refused.
    EXPECT_FALSE(zvsound::EncodeFlac16({1, 2, 3}, 2, 48000, bytes, error));
    EXPECT_FALSE(error.empty());
}

TEST(MusicScores, EveryNoteFitsInsideItsLoop) {
    for (const zvmusic::Song& song : {zvmusic::ComposeMenuTheme(), zvmusic::ComposeGameTheme()}) {
        SCOPED_TRACE(song.title);
        EXPECT_GE(static_cast<double>(song.LoopTicks()) * song.samplesPerTick / 48000.0, 60.0);
        ASSERT_FALSE(song.notes.empty());
        std::vector<bool> configured(16, false);
        for (const zvmusic::ChannelSetup& setup : song.channels) {
            configured[static_cast<std::size_t>(setup.channel)] = true;
        }
        for (const zvmusic::NoteEvent& note : song.notes) {
            EXPECT_GE(note.tick, 0.0);
            EXPECT_GT(note.length, 0.0);
            EXPECT_LE(note.tick + note.length, song.LoopTicks());
            EXPECT_TRUE(note.key >= 0 && note.key <= 127);
            EXPECT_TRUE(note.velocity >= 1 && note.velocity <= 127);
            EXPECT_TRUE(configured[static_cast<std::size_t>(note.channel)]);
        }
    }
}

TEST(MusicScores, TunesStayInKeyAndDrumsUseTheKit) {
    struct Case {
        zvmusic::Song song;
        int tonic;
    };
    const std::array<int, 7> major{0, 2, 4, 5, 7, 9, 11};
    for (const Case& c :
         {Case{zvmusic::ComposeMenuTheme(), 5}, Case{zvmusic::ComposeGameTheme(), 7}}) {
        SCOPED_TRACE(c.song.title);
        for (const zvmusic::NoteEvent& note : c.song.notes) {
            if (note.channel == 9) {
                EXPECT_TRUE(note.key >= 35 && note.key <= 81) << note.key;
                continue;
            }
            const int degree = ((note.key - c.tonic) % 12 + 12) % 12;
            EXPECT_NE(std::find(major.begin(), major.end(), degree), major.end())
                << "key " << note.key << " at tick " << note.tick;
        }
    }
    // The same score every time.
    const zvmusic::Song a = zvmusic::ComposeGameTheme();
    const zvmusic::Song b = zvmusic::ComposeGameTheme();
    ASSERT_EQ(a.notes.size(), b.notes.size());
    for (std::size_t i = 0; i < a.notes.size(); ++i) {
        EXPECT_EQ(a.notes[i].key, b.notes[i].key);
        EXPECT_EQ(a.notes[i].tick, b.notes[i].tick);
    }
}

// Rendering both tracks takes a few seconds, so one test checks everything about them.
TEST(MusicTracks, AreLongCleanAndLoopWithoutAJump) {
    zvtest::TempDir dir;
    ASSERT_TRUE(GenerateMusic(dir.Path()));
    for (const std::string name : {"Menu.Ogg", "A.Ogg"}) {
        SCOPED_TRACE(name);
        Decoded music;
        ASSERT_TRUE(DecodeOgg(dir.Path() + "/Data/Music/" + name, music));
        EXPECT_EQ(music.rate, 48000);
        EXPECT_EQ(music.channels, 2);
        EXPECT_GE(music.Seconds(), 60.0);
        EXPECT_LT(Peak(music.samples, 0, music.samples.size()), 1.0);
        // Music all the way through: no second of the track falls silent.
        const std::size_t second = 2 * 48000;
        for (std::size_t at = 0; at + second <= music.samples.size(); at += second) {
            EXPECT_GT(Db(Rms(music.samples, at, at + second)), -40.0) << "at " << at / second;
        }
        const std::size_t frames = music.Frames();
        for (int ch = 0; ch < 2; ++ch) {
            const auto at = [&](std::size_t frame) {
                return music.samples[frame * 2 + static_cast<std::size_t>(ch)];
            };
            // The step from the last sample back to the first must look like the
            // ordinary steps of the music on either side of the join.
            std::vector<double> steps;
            for (std::size_t f = frames - 4800; f + 1 < frames; ++f) {
                steps.push_back(std::fabs(at(f + 1) - at(f)));
            }
            for (std::size_t f = 0; f + 1 < 4800; ++f) {
                steps.push_back(std::fabs(at(f + 1) - at(f)));
            }
            std::sort(steps.begin(), steps.end());
            const double ordinary = steps[steps.size() * 9 / 10];
            EXPECT_LE(std::fabs(at(0) - at(frames - 1)), ordinary) << "channel " << ch;
        }
        // No gap of silence on either side of the join.
        EXPECT_GT(Db(Rms(music.samples, music.samples.size() - 4800, music.samples.size())), -45.0);
        EXPECT_GT(Db(Rms(music.samples, 0, 4800)), -45.0);
    }
}

} // namespace
