#include "platform/mixer/TwMixerTrack.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/mixer/TwMixerFlacBlock.h"

TwMixerTrack::TwMixerTrack(const std::string& bytes, Format format, std::int64_t startFrame)
    : format_(format) {
    format_.channels = std::clamp(format_.channels, 1, TwMixerFlacBlock::kMaxChannels);
    expanded_.assign(static_cast<std::size_t>(kBlockFrames) * format_.channels, 0);
    bytes_ = &bytes;
    startFrame_ = startFrame;
    // An SDL thread (not a std::thread) so SDL frees what it keeps per thread, such as the
    // last error text, when the thread ends.
    decoder_ = SDL_CreateThread(&TwMixerTrack::RunDecoder, "ZVMusicDecode", this);
    if (decoder_ == nullptr) {
        Finish(); // no thread: the track stays silent
    }
}

int TwMixerTrack::RunDecoder(void* track) {
    auto* self = static_cast<TwMixerTrack*>(track);
    self->Decode(*self->bytes_, self->startFrame_);
    self->Finish();
    return 0;
}

void TwMixerTrack::Finish() {
    if (length_.load(std::memory_order_relaxed) < 0) {
        length_.store(0, std::memory_order_release);
    }
    decoded_.store(true, std::memory_order_release);
}

TwMixerTrack::~TwMixerTrack() {
    cancel_.store(true);
    if (decoder_ != nullptr) {
        SDL_WaitThread(decoder_, nullptr);
    }
    for (std::int64_t i = 0; i < slotCount_; ++i) {
        delete slots_[i].load();
    }
}

void TwMixerTrack::Decode(const std::string& bytes, std::int64_t startFrame) {
    if (!DecodeVorbis(bytes, startFrame) && !cancel_.load() &&
        length_.load(std::memory_order_relaxed) < 0) {
        DecodeWhole(bytes, startFrame);
    }
}

void TwMixerTrack::Allocate(std::int64_t frames) {
    frames = std::clamp<std::int64_t>(frames, 0, kMaxFrames);
    slotCount_ = (frames + kBlockFrames - 1) / kBlockFrames;
    slots_ = std::make_unique<std::atomic<Block*>[]>(static_cast<std::size_t>(slotCount_));
    for (std::int64_t i = 0; i < slotCount_; ++i) {
        slots_[i].store(nullptr, std::memory_order_relaxed);
    }
    // Publishes the slots with the length.
    length_.store(frames, std::memory_order_release);
}

void TwMixerTrack::Shorten(std::int64_t frames) {
    if (frames < length_.load(std::memory_order_relaxed)) {
        length_.store(std::max<std::int64_t>(frames, 0), std::memory_order_release);
    }
}

void TwMixerTrack::Publish(std::int64_t index, const std::int16_t* samples, int frames) {
    if (index < 0 || index >= slotCount_ || frames <= 0) {
        return;
    }
    frames = std::min(frames, kBlockFrames);
    auto block = std::make_unique<Block>();
    block->frames = frames;
    block->packed = TwMixerFlacBlock::Pack(samples, frames, format_.channels);
    block->packed.shrink_to_fit();
    memory_.fetch_add(sizeof(Block) + block->packed.capacity(), std::memory_order_relaxed);
    delete slots_[index].exchange(block.release(), std::memory_order_acq_rel);
    // The music from where it starts is wanted at once (blocks before it, decoded first when the
    // track is converted in order, are too); a second of it in hand, the rest has all the time
    // it needs and the game's own thread comes first.
    startReached_ = startReached_ || index >= std::min(startFrame_ / kBlockFrames, slotCount_ - 1);
    if (startReached_ && ++urgentPublished_ == kUrgentBlocks) {
        SDL_SetThreadPriority(SDL_THREAD_PRIORITY_LOW);
    }
}

int TwMixerTrack::Peek(std::int64_t frame, const std::int16_t*& samples) {
    const std::int64_t length = length_.load(std::memory_order_acquire);
    if (length <= 0 || frame < 0 || frame >= length) {
        return 0;
    }
    const std::int64_t index = frame / kBlockFrames;
    if (index >= slotCount_) {
        return 0;
    }
    const std::int64_t blockStart = index * kBlockFrames;
    const Block* block = slots_[index].load(std::memory_order_acquire);
    if (block == nullptr) {
        if (!decoded_.load(std::memory_order_acquire)) {
            return 0; // not decoded yet: the caller waits for it
        }
        // The decoder gave up before this block: it plays as silence.
        if (expandedIndex_ != kSilentBlock) {
            std::fill(expanded_.begin(), expanded_.end(), std::int16_t{0});
            expandedIndex_ = kSilentBlock;
        }
    } else if (expandedIndex_ != index) {
        if (!TwMixerFlacBlock::Unpack(block->packed, block->frames, format_.channels,
                                      expanded_.data())) {
            std::fill(expanded_.begin(), expanded_.end(), std::int16_t{0});
        }
        // Past a short block's own frames the buffer holds silence.
        std::fill(expanded_.begin() + static_cast<std::ptrdiff_t>(block->frames) * format_.channels,
                  expanded_.end(), std::int16_t{0});
        expandedIndex_ = index;
    }
    const std::int64_t blockEnd = std::min(blockStart + kBlockFrames, length);
    samples = expanded_.data() + (frame - blockStart) * format_.channels;
    return static_cast<int>(blockEnd - frame);
}
