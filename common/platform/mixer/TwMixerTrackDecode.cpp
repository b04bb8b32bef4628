// The decoding thread's work for TwMixerTrack: Ogg Vorbis block by block through libvorbisfile
// (through SDL's converter when its rate or channel count is not the device's), anything else
// whole through the mixer's own loader.
#include <SDL.h>
#include <SDL_mixer.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/mixer/TwMixerTrack.h"

namespace {

// libvorbisfile reads the file bytes in memory through these.
struct MemoryFile {
    const std::string* bytes = nullptr;
    std::size_t position = 0;
};

std::size_t ReadMemory(void* out, std::size_t size, std::size_t count, void* source) {
    auto* file = static_cast<MemoryFile*>(source);
    if (size == 0) {
        return 0;
    }
    const std::size_t left = file->bytes->size() - file->position;
    const std::size_t items = std::min(count, left / size);
    std::memcpy(out, file->bytes->data() + file->position, items * size);
    file->position += items * size;
    return items;
}

int SeekMemory(void* source, ogg_int64_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(source);
    const auto size = static_cast<ogg_int64_t>(file->bytes->size());
    ogg_int64_t target = offset;
    if (whence == SEEK_CUR) {
        target += static_cast<ogg_int64_t>(file->position);
    } else if (whence == SEEK_END) {
        target += size;
    }
    if (target < 0 || target > size) {
        return -1;
    }
    file->position = static_cast<std::size_t>(target);
    return 0;
}

long TellMemory(void* source) {
    return static_cast<long>(static_cast<MemoryFile*>(source)->position);
}

class VorbisFile {
public:
    explicit VorbisFile(const std::string& bytes) : file_{&bytes, 0} {
        const ov_callbacks callbacks = {ReadMemory, SeekMemory, nullptr, TellMemory};
        open_ = ov_open_callbacks(&file_, &vf_, nullptr, 0, callbacks) == 0;
    }
    ~VorbisFile() {
        if (open_) {
            ov_clear(&vf_);
        }
    }
    VorbisFile(const VorbisFile&) = delete;
    VorbisFile& operator=(const VorbisFile&) = delete;

    bool IsOpen() const { return open_; }
    OggVorbis_File* Get() { return &vf_; }

private:
    MemoryFile file_;
    OggVorbis_File vf_{};
    bool open_ = false;
};

} // namespace

bool TwMixerTrack::DecodeVorbis(const std::string& bytes, std::int64_t startFrame) {
    VorbisFile file(bytes);
    if (!file.IsOpen()) {
        return false;
    }
    OggVorbis_File* vf = file.Get();
    const vorbis_info* info = ov_info(vf, -1);
    const ogg_int64_t total = ov_pcm_total(vf, -1);
    if (info == nullptr || total <= 0) {
        return false;
    }
    if (info->rate != format_.rate || info->channels != format_.channels) {
        return DecodeVorbisConverted(vf, info->rate, info->channels, total);
    }
    Allocate(total);
    const std::int64_t length = Length();
    const std::int64_t blocks = slotCount_;
    const std::int64_t first =
        startFrame > 0 && startFrame < length ? startFrame / kBlockFrames : 0;
    const int channels = format_.channels;
    const int bigEndian = std::endian::native == std::endian::big ? 1 : 0;
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(kBlockFrames) * channels);

    // Decodes blocks [from, to) in order; false when the data ends or breaks before `to`.
    const auto decodeRange = [&](std::int64_t from, std::int64_t to) {
        if (from >= to) {
            return true;
        }
        if (ov_pcm_seek(vf, from * kBlockFrames) != 0) {
            return false;
        }
        for (std::int64_t index = from; index < to; ++index) {
            if (cancel_.load(std::memory_order_relaxed)) {
                return false;
            }
            const int wanted = static_cast<int>(
                std::min<std::int64_t>(kBlockFrames, length - index * kBlockFrames));
            int got = 0;
            int holes = 0;
            while (got < wanted) {
                int section = 0;
                const long read = ov_read(
                    vf, reinterpret_cast<char*>(pcm.data() + std::ptrdiff_t{got} * channels),
                    (wanted - got) * channels * 2, bigEndian, 2, 1, &section);
                if (read == OV_HOLE && ++holes < 16) {
                    continue; // a gap in the data: decoding carries on after it
                }
                if (read <= 0) {
                    break;
                }
                got += static_cast<int>(read / (2L * channels));
            }
            Publish(index, pcm.data(), got);
            if (got < wanted) {
                Shorten(index * kBlockFrames + got);
                return false;
            }
        }
        return true;
    };
    // From the starting block to the end, then the beginning up to it (even when the end
    // turned out broken, the beginning may be whole).
    decodeRange(first, blocks);
    decodeRange(0, first);
    return true;
}

bool TwMixerTrack::DecodeVorbisConverted(OggVorbis_File* vf, long rate, int channels,
                                         std::int64_t total) {
    SDL_AudioStream* stream =
        SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(channels), static_cast<int>(rate),
                           AUDIO_S16SYS, static_cast<Uint8>(format_.channels), format_.rate);
    if (stream == nullptr || rate <= 0) {
        return false;
    }
    // Room for the converted length and a block more; the true length is set at the end.
    Allocate(total * format_.rate / rate + kBlockFrames);
    const int frameBytes = format_.channels * 2;
    const int blockBytes = kBlockFrames * frameBytes;
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(kBlockFrames) * format_.channels);
    std::vector<char> input(static_cast<std::size_t>(kBlockFrames) * channels * 2);
    const int bigEndian = std::endian::native == std::endian::big ? 1 : 0;
    std::int64_t index = 0;
    int last = 0; // frames in the last block published
    bool ended = false;
    int holes = 0;
    // From the beginning, in order: the music waits where it starts until that block is there.
    while (!cancel_.load(std::memory_order_relaxed) && index < slotCount_) {
        if (!ended && SDL_AudioStreamAvailable(stream) < blockBytes) {
            int section = 0;
            const long read = ov_read(vf, input.data(), static_cast<int>(input.size()), bigEndian,
                                      2, 1, &section);
            if (read == OV_HOLE && ++holes < 16) {
                continue;
            }
            if (read > 0) {
                SDL_AudioStreamPut(stream, input.data(), static_cast<int>(read));
                continue;
            }
            SDL_AudioStreamFlush(stream);
            ended = true;
        }
        const int got = SDL_AudioStreamGet(stream, pcm.data(), blockBytes);
        if (got <= 0) {
            break;
        }
        last = got / frameBytes;
        Publish(index++, pcm.data(), last);
        if (last < kBlockFrames) {
            break;
        }
    }
    SDL_FreeAudioStream(stream);
    if (!cancel_.load()) {
        Shorten(index == 0 ? 0 : (index - 1) * kBlockFrames + last);
    }
    return true;
}

void TwMixerTrack::DecodeWhole(const std::string& bytes, std::int64_t startFrame) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(SDL_MAX_SINT32)) {
        return;
    }
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr) {
        return;
    }
    // Decoded and converted to the mixer's output format in one go.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (chunk == nullptr) {
        return;
    }
    const int frameBytes = format_.channels * 2;
    Allocate(static_cast<std::int64_t>(chunk->alen / static_cast<Uint32>(frameBytes)));
    const std::int64_t length = Length();
    const auto* samples = reinterpret_cast<const std::int16_t*>(chunk->abuf);
    const std::int64_t first =
        startFrame > 0 && startFrame < length ? startFrame / kBlockFrames : 0;
    for (std::int64_t n = 0; n < slotCount_ && !cancel_.load(std::memory_order_relaxed); ++n) {
        const std::int64_t index = (first + n) % slotCount_;
        const std::int64_t start = index * kBlockFrames;
        Publish(index, samples + start * format_.channels,
                static_cast<int>(std::min<std::int64_t>(kBlockFrames, length - start)));
    }
    Mix_FreeChunk(chunk);
}
