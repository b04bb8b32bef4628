#pragma once
#include <cstdint>
#include <vector>

// Lossless packing of one block of decoded music (16-bit samples, channels interleaved) with
// libFLAC, so a whole track can be kept in memory at about half its size and expanded on the
// audio thread a block at a time. A packed block is one FLAC frame without the stream's
// header (the frame header names everything needed to decode it); expanding gives back exactly
// the samples that were packed.
namespace TwMixerFlacBlock {

constexpr int kMaxFrames = 65535; // the largest block FLAC codes
constexpr int kMaxChannels = 8;

// Packs `frames` frames of `channels` interleaved samples (frames 1 to kMaxFrames, channels 1
// to kMaxChannels); empty when the shape is out of range or the encoder fails.
std::vector<std::uint8_t> Pack(const std::int16_t* samples, int frames, int channels);

// Expands a packed block into `frames` frames of `channels` interleaved samples. False, with
// `out` silent, when the bytes are not a block of that shape. Each thread keeps one decoder,
// made on its first call, so expanding allocates nothing afterwards.
bool Unpack(const std::vector<std::uint8_t>& packed, int frames, int channels, std::int16_t* out);

} // namespace TwMixerFlacBlock
