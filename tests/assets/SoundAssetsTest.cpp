// The sound generator's promises: every effect the game loads exists with its exact name,
// decodes, is clean (no clipping, no click at either end, real content), builds the same
// bytes every time; both music tracks are long enough and loop without a jump.
#include "AssetGen.h"
#include "MusicGenScore.h"
#include "OggWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::uint32_t Le(const std::string& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    }
    return value;
}

// Integer PCM WAV, 16-bit only: what the game's effect files must be.
bool DecodeWav(const std::string& path, Decoded& out) {
    const std::string bytes = zvtest::ReadAll(path);
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) {
        return false;
    }
    int bits = 0;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const std::size_t size = Le(bytes, at + 4, 4);
        const std::size_t body = at + 8;
        if (body + size > bytes.size()) {
            return false;
        }
        if (id == "fmt " && size >= 16) {
            if (Le(bytes, body, 2) != 1) {
                return false;
            }
            out.channels = static_cast<int>(Le(bytes, body + 2, 2));
            out.rate = static_cast<int>(Le(bytes, body + 4, 4));
            bits = static_cast<int>(Le(bytes, body + 14, 2));
        } else if (id == "data" && bits == 16) {
            for (std::size_t i = 0; i + 1 < size; i += 2) {
                const auto raw = static_cast<std::int16_t>(Le(bytes, body + i, 2));
                out.samples.push_back(static_cast<float>(raw) / 32768.0f);
            }
            return out.channels > 0;
        }
        at = body + size + (size & 1);
    }
    return false;
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
    const std::string ext = path.substr(path.size() - 4);
    return ext == ".Wav" ? DecodeWav(path, out) : DecodeOgg(path, out);
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

// Every effect the game's sound table loads, by its exact name.
const std::vector<std::string> kEffects{
    "Interface/Void.Wav",
    "Interface/ButtonGetFocus.Wav",
    "Interface/ButtonClick.Wav",
    "Interface/OpenDialog.Wav",
    "Interface/CloseDialog.Wav",
    "Interface/Type.Ogg",
    "FireBall.Wav",
    "StopBall.Ogg",
    "BallDelete.Wav",
    "SeekScoreEnd.Wav",
    "ColorRemove.Wav",
    "LineFall.Ogg",
    "LoadColorEnd.Wav",
    "HitWall.Wav",
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
        if (name == "Interface/Void.Wav") {
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
