#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct OggVorbis_File;
struct SDL_Thread;

// The sound of one music track decoded once into memory, so the audio thread only copies
// samples while the music plays instead of decoding Ogg Vorbis a buffer at a time.
//
// The track is cut into blocks of kBlockFrames sample frames in the mixer's own output format
// (16-bit signed, native byte order, the device's rate and channel count). A decoding thread of
// the track's own fills the blocks (at a low priority after the first second), starting with the
// block that holds the frame the music starts from, then on to the end, then from the beginning up
// to that block: the music can start at once, even in the middle of the track, and plays on while
// the rest is decoded. Blocks are kept compressed without loss as FLAC frames (TwMixerFlacBlock)
// and expanded one at a time on the audio thread, about 50 microseconds a block (85 ms of music).
//
// Ogg Vorbis is decoded block by block (from the beginning, through SDL's converter, when its
// rate or channel count is not the device's); any other file is decoded whole by the mixer's
// own loader on the same thread.
// Bytes that cannot be decoded give a silent track whose length is what could be decoded.
class TwMixerTrack {
public:
    static constexpr int kBlockFrames = 4096;
    // Longest track decoded (frames at 48 kHz): longer claims are cut there.
    static constexpr std::int64_t kMaxFrames = std::int64_t{48000} * 60 * 20;

    // Output format of the decoded samples.
    struct Format {
        int rate = 48000;
        int channels = 2;
    };

    // Starts decoding `bytes`, which must outlive the track, beginning with the block that
    // holds `startFrame` (frames of the output format).
    TwMixerTrack(const std::string& bytes, Format format, std::int64_t startFrame);
    // Stops the decoding thread (between two blocks) and frees every block.
    ~TwMixerTrack();
    TwMixerTrack(const TwMixerTrack&) = delete;
    TwMixerTrack& operator=(const TwMixerTrack&) = delete;

    const Format& OutputFormat() const { return format_; }
    // Frames in the track; -1 while a track decoded whole is not decoded yet. It may shrink
    // once, when the data turns out to end before its stated length.
    std::int64_t Length() const { return length_.load(std::memory_order_acquire); }
    // True once the decoding thread has finished (everything decoded, or it gave up).
    bool Decoded() const { return decoded_.load(std::memory_order_acquire); }
    // Bytes held by the decoded blocks.
    std::size_t MemoryBytes() const { return memory_.load(std::memory_order_relaxed); }

    // For the audio thread only: the samples from `frame` on, up to the end of its block or of
    // the track, through `samples`; returns how many frames they hold. 0 when that block is not
    // decoded yet (the caller waits) or `frame` is past the end. A block the decoder gave up on
    // reads as silence.
    int Peek(std::int64_t frame, const std::int16_t*& samples);

private:
    struct Block {
        int frames = 0;
        std::vector<std::uint8_t> packed; // by TwMixerFlacBlock
    };
    static constexpr std::int64_t kSilentBlock = -2;
    // Blocks from the starting one on decoded at the thread's normal priority before it steps
    // down (about a second).
    static constexpr int kUrgentBlocks = 12;

    static int RunDecoder(void* track); // the decoding thread
    void Decode(const std::string& bytes, std::int64_t startFrame);
    // Marks the decoding done (an unknown length becomes 0).
    void Finish();
    bool DecodeVorbis(const std::string& bytes, std::int64_t startFrame);
    bool DecodeVorbisConverted(OggVorbis_File* vf, long rate, int channels, std::int64_t total);
    void DecodeWhole(const std::string& bytes, std::int64_t startFrame);
    // Packs `frames` frames into block `index` and hands it to the audio thread.
    void Publish(std::int64_t index, const std::int16_t* samples, int frames);
    // Makes room for `frames` frames and publishes the length: the first time it is known.
    void Allocate(std::int64_t frames);
    // Shortens the length to `frames` when the data ends early.
    void Shorten(std::int64_t frames);

    Format format_;
    std::atomic<std::int64_t> length_{-1};
    std::atomic<bool> decoded_{false};
    std::atomic<bool> cancel_{false};
    std::atomic<std::size_t> memory_{0};
    // One slot per block, made by the decoding thread before it publishes the length (so
    // whoever sees a length sees the slots) and filled as blocks are decoded.
    std::unique_ptr<std::atomic<Block*>[]> slots_;
    std::int64_t slotCount_ = 0;
    // Decoding thread only: whether the block the music starts in is decoded, and how many
    // blocks were decoded from then on.
    bool startReached_ = false;
    int urgentPublished_ = 0;
    // The block expanded last, for the audio thread only.
    std::int64_t expandedIndex_ = -1;
    std::vector<std::int16_t> expanded_;
    const std::string* bytes_ = nullptr;
    std::int64_t startFrame_ = 0;
    SDL_Thread* decoder_ = nullptr;
};
