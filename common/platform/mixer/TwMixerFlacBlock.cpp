#include "platform/mixer/TwMixerFlacBlock.h"

#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <cstring>

namespace {

// FLAC's level 3 packs as fast as the decoding thread packed before (the music must keep ahead
// of the player on a busy machine); level 5 saves another 3-8 % for over twice the time.
constexpr unsigned kCompressionLevel = 3;
// Written into each frame's header only; the samples are the same at any rate.
constexpr unsigned kHeaderRate = 48000;

struct Packing {
    std::vector<std::uint8_t> bytes;
};

FLAC__StreamEncoderWriteStatus WriteFrame(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                          size_t bytes, uint32_t samples, uint32_t, void* data) {
    // Only the frame is kept: the stream's marker and metadata (written with no samples) are
    // the same for every block and not needed to decode it.
    if (samples > 0) {
        auto& out = static_cast<Packing*>(data)->bytes;
        out.insert(out.end(), buffer, buffer + bytes);
    }
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

// The audio thread's decoder, fed one packed block at a time.
class BlockDecoder {
public:
    BlockDecoder() { Make(); }
    ~BlockDecoder() { FLAC__stream_decoder_delete(decoder_); }
    BlockDecoder(const BlockDecoder&) = delete;
    BlockDecoder& operator=(const BlockDecoder&) = delete;

    bool Expand(const std::vector<std::uint8_t>& packed, int frames, int channels,
                std::int16_t* out) {
        if (decoder_ == nullptr || !FLAC__stream_decoder_reset(decoder_)) {
            Make(); // a decoder left in a failed state is replaced
            if (decoder_ == nullptr) {
                return false;
            }
        }
        input_ = packed.data();
        left_ = packed.size();
        out_ = out;
        wanted_ = frames;
        channels_ = channels;
        written_ = 0;
        failed_ = false;
        const bool ran = FLAC__stream_decoder_process_until_end_of_stream(decoder_);
        return ran && !failed_ && written_ == wanted_;
    }

private:
    void Make() {
        FLAC__stream_decoder_delete(decoder_);
        decoder_ = FLAC__stream_decoder_new();
        if (decoder_ != nullptr &&
            FLAC__stream_decoder_init_stream(decoder_, &Read, nullptr, nullptr, nullptr, nullptr,
                                             &Write, nullptr, &Error,
                                             this) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
            FLAC__stream_decoder_delete(decoder_);
            decoder_ = nullptr;
        }
    }

    static FLAC__StreamDecoderReadStatus Read(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                              size_t* bytes, void* data) {
        auto* self = static_cast<BlockDecoder*>(data);
        if (self->left_ == 0) {
            *bytes = 0;
            return FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
        }
        const std::size_t n = std::min(*bytes, self->left_);
        std::memcpy(buffer, self->input_, n);
        self->input_ += n;
        self->left_ -= n;
        *bytes = n;
        return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
    }

    static FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*,
                                                const FLAC__Frame* frame,
                                                const FLAC__int32* const buffer[], void* data) {
        auto* self = static_cast<BlockDecoder*>(data);
        const int frames = static_cast<int>(frame->header.blocksize);
        if (static_cast<int>(frame->header.channels) != self->channels_ ||
            frame->header.bits_per_sample != 16 || frames > self->wanted_ - self->written_) {
            self->failed_ = true;
            return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
        }
        std::int16_t* to = self->out_ + static_cast<std::size_t>(self->written_) * self->channels_;
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < self->channels_; ++c) {
                *to++ = static_cast<std::int16_t>(buffer[c][i]);
            }
        }
        self->written_ += frames;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    }

    static void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* data) {
        static_cast<BlockDecoder*>(data)->failed_ = true;
    }

    FLAC__StreamDecoder* decoder_ = nullptr;
    const std::uint8_t* input_ = nullptr;
    std::size_t left_ = 0;
    std::int16_t* out_ = nullptr;
    int wanted_ = 0;
    int channels_ = 0;
    int written_ = 0;
    bool failed_ = false;
};

} // namespace

namespace TwMixerFlacBlock {

std::vector<std::uint8_t> Pack(const std::int16_t* samples, int frames, int channels) {
    if (samples == nullptr || frames < 1 || frames > kMaxFrames || channels < 1 ||
        channels > kMaxChannels) {
        return {};
    }
    FLAC__StreamEncoder* encoder = FLAC__stream_encoder_new();
    if (encoder == nullptr) {
        return {};
    }
    // One block, one frame: the block size is the block's own (at least FLAC's smallest).
    FLAC__stream_encoder_set_channels(encoder, static_cast<unsigned>(channels));
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, kHeaderRate);
    FLAC__stream_encoder_set_compression_level(encoder, kCompressionLevel);
    FLAC__stream_encoder_set_blocksize(encoder, static_cast<unsigned>(std::max(frames, 16)));
    FLAC__stream_encoder_set_streamable_subset(encoder, false);
    Packing packing;
    bool ok = FLAC__stream_encoder_init_stream(encoder, &WriteFrame, nullptr, nullptr, nullptr,
                                               &packing) == FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    if (ok) {
        const std::vector<FLAC__int32> wide(samples,
                                            samples + static_cast<std::size_t>(frames) * channels);
        ok = FLAC__stream_encoder_process_interleaved(encoder, wide.data(),
                                                      static_cast<unsigned>(frames));
    }
    ok = FLAC__stream_encoder_finish(encoder) && ok;
    FLAC__stream_encoder_delete(encoder);
    if (!ok) {
        return {};
    }
    packing.bytes.shrink_to_fit();
    return std::move(packing.bytes);
}

bool Unpack(const std::vector<std::uint8_t>& packed, int frames, int channels, std::int16_t* out) {
    if (out == nullptr || frames < 0 || frames > kMaxFrames || channels < 1 ||
        channels > kMaxChannels) {
        return false;
    }
    thread_local BlockDecoder decoder;
    const bool ok = !packed.empty() && decoder.Expand(packed, frames, channels, out);
    if (!ok) {
        std::fill(out, out + static_cast<std::size_t>(frames) * channels, std::int16_t{0});
    }
    return ok;
}

} // namespace TwMixerFlacBlock
