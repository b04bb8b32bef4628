#include "OggWriter.h"

#include <algorithm>
#include <vorbis/vorbisenc.h>

#include "data/TwHash.h"

namespace zvsound {

namespace {

// Owns the libvorbis and libogg encoder state for one stream.
class VorbisEncoder {
public:
    VorbisEncoder() {
        vorbis_info_init(&info_);
        vorbis_comment_init(&comment_);
    }
    ~VorbisEncoder() {
        if (streamReady_) {
            ogg_stream_clear(&stream_);
        }
        if (analysisReady_) {
            vorbis_block_clear(&block_);
            vorbis_dsp_clear(&dsp_);
        }
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    bool Start(const OggSettings& settings, std::vector<std::uint8_t>& out) {
        if (vorbis_encode_init_vbr(&info_, settings.channels, settings.sampleRate,
                                   settings.quality) != 0) {
            return false;
        }
        if (!settings.title.empty()) {
            vorbis_comment_add_tag(&comment_, "TITLE", settings.title.c_str());
        }
        vorbis_analysis_init(&dsp_, &info_);
        vorbis_block_init(&dsp_, &block_);
        analysisReady_ = true;
        ogg_stream_init(&stream_, settings.serial);
        streamReady_ = true;

        ogg_packet identification;
        ogg_packet comments;
        ogg_packet codebooks;
        vorbis_analysis_headerout(&dsp_, &comment_, &identification, &comments, &codebooks);
        ogg_stream_packetin(&stream_, &identification);
        ogg_stream_packetin(&stream_, &comments);
        ogg_stream_packetin(&stream_, &codebooks);
        // Audio starts on a fresh page, as players expect.
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0) {
            AppendPage(page, out);
        }
        return true;
    }

    void Feed(const float* interleaved, int frames, int channels, std::vector<std::uint8_t>& out) {
        float** planes = vorbis_analysis_buffer(&dsp_, frames);
        for (int frame = 0; frame < frames; ++frame) {
            for (int ch = 0; ch < channels; ++ch) {
                planes[ch][frame] = interleaved[frame * channels + ch];
            }
        }
        vorbis_analysis_wrote(&dsp_, frames);
        Drain(out);
    }

    void Finish(std::vector<std::uint8_t>& out) {
        vorbis_analysis_wrote(&dsp_, 0);
        Drain(out);
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0) {
            AppendPage(page, out);
        }
    }

private:
    static void AppendPage(const ogg_page& page, std::vector<std::uint8_t>& out) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    }

    void Drain(std::vector<std::uint8_t>& out) {
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet) != 0) {
                ogg_stream_packetin(&stream_, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream_, &page) != 0) {
                    AppendPage(page, out);
                }
            }
        }
    }

    vorbis_info info_{};
    vorbis_comment comment_{};
    vorbis_dsp_state dsp_{};
    vorbis_block block_{};
    ogg_stream_state stream_{};
    bool analysisReady_ = false;
    bool streamReady_ = false;
};

} // namespace

bool EncodeOggVorbis(const std::vector<float>& interleaved, const OggSettings& settings,
                     std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    if (settings.channels < 1 || settings.channels > 2 ||
        interleaved.size() % static_cast<std::size_t>(settings.channels) != 0) {
        error = "unsupported channel layout";
        return false;
    }
    VorbisEncoder encoder;
    if (!encoder.Start(settings, out)) {
        error = "the Vorbis encoder refused the rate or quality";
        return false;
    }
    constexpr int kChunkFrames = 4096;
    const int totalFrames = static_cast<int>(interleaved.size()) / settings.channels;
    for (int frame = 0; frame < totalFrames; frame += kChunkFrames) {
        const int frames = std::min(kChunkFrames, totalFrames - frame);
        encoder.Feed(interleaved.data() + static_cast<std::size_t>(frame) * settings.channels,
                     frames, settings.channels, out);
    }
    encoder.Finish(out);
    return true;
}

int SerialForName(const std::string& name) {
    return TwFnv1aCheck(name);
}

} // namespace zvsound
