#include "AudioTestSounds.h"
#include "FlacWriter.h"
#include <algorithm>

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <thread>

#include "TestSupport.h"
#include "audio/TwSoundManager.h"

namespace zvaudio {

namespace {

void PutLE(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

void AppendPage(std::string& out, const ogg_page& page) {
    out.append(reinterpret_cast<const char*>(page.header), page.header_len);
    out.append(reinterpret_cast<const char*>(page.body), page.body_len);
}

void RememberEnv(const char* name, std::string& value, bool& had) {
    const char* current = std::getenv(name);
    had = current != nullptr;
    value = had ? current : "";
}

void RestoreEnv(const char* name, const std::string& value, bool had) {
    if (had) {
        setenv(name, value.c_str(), 1);
    } else {
        unsetenv(name);
    }
}

} // namespace

std::vector<float> Tone(double hertz, double seconds, double amplitude) {
    const auto count = static_cast<std::size_t>(seconds * kRate);
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        samples[i] =
            static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hertz * i / kRate));
    }
    return samples;
}

std::string MakeWav(const std::vector<float>& samples, int rate) {
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    PutLE(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    PutLE(out, 16, 4);
    PutLE(out, 1, 2); // PCM
    PutLE(out, 1, 2); // mono
    PutLE(out, static_cast<std::uint32_t>(rate), 4);
    PutLE(out, static_cast<std::uint32_t>(rate * 2), 4);
    PutLE(out, 2, 2);
    PutLE(out, 16, 2);
    out += "data";
    PutLE(out, dataBytes, 4);
    for (float sample : samples) {
        const auto value = static_cast<std::int16_t>(std::lround(sample * 32767.0f));
        PutLE(out, static_cast<std::uint16_t>(value), 2);
    }
    return out;
}

std::vector<float> Chord(double seconds, double amplitude) {
    const std::vector<float> low = Tone(220, seconds, amplitude);
    const std::vector<float> high = Tone(277.2, seconds, amplitude * 0.7);
    std::vector<float> stereo(low.size() * 2);
    for (std::size_t i = 0; i < low.size(); ++i) {
        stereo[2 * i] = low[i] + high[i] * 0.3f;
        stereo[2 * i + 1] = low[i] * 0.5f + high[i];
    }
    return stereo;
}

std::vector<std::int16_t> DecodeOggReference(const std::string& bytes, int& channels) {
    channels = 0;
    OggVorbis_File vf;
    // ov_open_memory is not in every libvorbisfile: a memory FILE does the same.
    FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (file == nullptr) {
        return {};
    }
    if (ov_open(file, &vf, nullptr, 0) != 0) {
        std::fclose(file);
        return {};
    }
    channels = ov_info(&vf, -1)->channels;
    std::vector<std::int16_t> pcm;
    char buffer[8192];
    int section = 0;
    long got = 0;
    while ((got = ov_read(&vf, buffer, sizeof buffer, 0, 2, 1, &section)) > 0) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(buffer);
        pcm.insert(pcm.end(), samples, samples + got / 2);
    }
    ov_clear(&vf); // closes the file
    return pcm;
}

std::string MakeFlac(const std::vector<float>& samples, int rate) {
    std::vector<std::int16_t> pcm;
    for (float sample : samples) {
        pcm.push_back(
            static_cast<std::int16_t>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f)));
    }
    std::vector<std::uint8_t> bytes;
    std::string error;
    zvsound::EncodeFlac16(pcm, 1, rate, bytes, error);
    return std::string(bytes.begin(), bytes.end());
}

std::string MakeOgg(const std::vector<float>& samples, int rate, int channels) {
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_encode_init_vbr(&info, channels, rate, 0.4f);
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 7);

    std::string out;
    ogg_packet header, commentHeader, codeHeader;
    vorbis_analysis_headerout(&dsp, &comment, &header, &commentHeader, &codeHeader);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &commentHeader);
    ogg_stream_packetin(&stream, &codeHeader);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        AppendPage(out, page);
    }

    constexpr std::size_t kBlock = 1024;
    std::size_t done = 0;
    bool finished = false;
    while (!finished) {
        const std::size_t frames = samples.size() / channels;
        const std::size_t count = std::min(kBlock, frames - done);
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (std::size_t i = 0; i < count; ++i) {
                for (int ch = 0; ch < channels; ++ch) {
                    buffer[ch][i] = samples[(done + i) * channels + ch];
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            done += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(out, page);
                    finished = finished || ogg_page_eos(&page) != 0;
                }
            }
        }
        if (count == 0) {
            while (ogg_stream_flush(&stream, &page) != 0) {
                AppendPage(out, page);
            }
            finished = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

int PeakOfRecording(const std::string& path) {
    const std::string bytes = zvtest::ReadAll(path);
    int peak = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::int16_t value;
        std::memcpy(&value, bytes.data() + i, 2);
        peak = std::max(peak, std::abs(static_cast<int>(value)));
    }
    return peak;
}

ScopedAudioDriver::ScopedAudioDriver(const std::string& driver, const std::string& diskFile) {
    TwSoundManager::Instance().ShutDown();
    RememberEnv("SDL_AUDIODRIVER", oldDriver_, hadDriver_);
    RememberEnv("SDL_DISKAUDIOFILE", oldFile_, hadFile_);
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    if (!diskFile.empty()) {
        setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);
    }
}

ScopedAudioDriver::~ScopedAudioDriver() {
    TwSoundManager::Instance().ShutDown();
    RestoreEnv("SDL_AUDIODRIVER", oldDriver_, hadDriver_);
    RestoreEnv("SDL_DISKAUDIOFILE", oldFile_, hadFile_);
}

void RunFrames(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        TwSoundManager::Instance().Update();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace zvaudio
