#include "FlacWriter.h"

#include <FLAC/stream_encoder.h>
#include <memory>

namespace zvsound {

namespace {

struct EncoderDeleter {
    void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
};

// The encoder writes the stream header last, over its first bytes, once it knows the
// sample count: the sink keeps a write position and honours seeks.
struct MemorySink {
    std::vector<std::uint8_t>* out;
    std::size_t at = 0;
};

FLAC__StreamEncoderWriteStatus Write(const FLAC__StreamEncoder*, const FLAC__byte buffer[],
                                     std::size_t bytes, std::uint32_t, std::uint32_t, void* data) {
    auto* sink = static_cast<MemorySink*>(data);
    if (sink->at + bytes > sink->out->size()) {
        sink->out->resize(sink->at + bytes);
    }
    std::copy(buffer, buffer + bytes, sink->out->begin() + static_cast<std::ptrdiff_t>(sink->at));
    sink->at += bytes;
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

FLAC__StreamEncoderSeekStatus Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* data) {
    auto* sink = static_cast<MemorySink*>(data);
    if (offset > sink->out->size()) {
        return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
    }
    sink->at = static_cast<std::size_t>(offset);
    return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}

FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* data) {
    *offset = static_cast<const MemorySink*>(data)->at;
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

} // namespace

bool EncodeFlac16(const std::vector<std::int16_t>& samples, int channels, int sampleRate,
                  std::vector<std::uint8_t>& out, std::string& error) {
    out.clear();
    if (channels < 1 || samples.size() % static_cast<std::size_t>(channels) != 0) {
        error = "the samples do not make whole frames";
        return false;
    }
    std::unique_ptr<FLAC__StreamEncoder, EncoderDeleter> encoder(FLAC__stream_encoder_new());
    if (!encoder) {
        error = "no FLAC encoder";
        return false;
    }
    const auto frames = samples.size() / static_cast<std::size_t>(channels);
    FLAC__StreamEncoder* e = encoder.get();
    bool ok = FLAC__stream_encoder_set_channels(e, static_cast<std::uint32_t>(channels)) &&
              FLAC__stream_encoder_set_bits_per_sample(e, 16) &&
              FLAC__stream_encoder_set_sample_rate(e, static_cast<std::uint32_t>(sampleRate)) &&
              FLAC__stream_encoder_set_compression_level(e, 8) &&
              FLAC__stream_encoder_set_total_samples_estimate(e, frames);
    MemorySink sink{&out};
    ok = ok && FLAC__stream_encoder_init_stream(e, Write, Seek, Tell, nullptr, &sink) ==
                   FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    if (!ok) {
        error = "the FLAC encoder refused the settings";
        return false;
    }
    std::vector<FLAC__int32> wide(samples.begin(), samples.end());
    ok = wide.empty() || FLAC__stream_encoder_process_interleaved(
                             e, wide.data(), static_cast<std::uint32_t>(frames));
    ok = FLAC__stream_encoder_finish(e) && ok;
    if (!ok) {
        error = FLAC__StreamEncoderStateString[FLAC__stream_encoder_get_state(e)];
        out.clear();
    }
    return ok;
}

} // namespace zvsound
