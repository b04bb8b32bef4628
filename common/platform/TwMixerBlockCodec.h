#pragma once
#include <cstdint>
#include <vector>

// Lossless packing of one block of decoded music (16-bit samples, channels interleaved), so a
// whole track can be kept in memory at about half its size and still be expanded on the audio
// thread for a nanosecond or two a sample.
//
// Each channel (or, for stereo, the pair of channels turned into whichever two of left, right,
// their mean and their difference are cheapest) is predicted from its last samples by a fixed
// polynomial of order 0 to 3. What the prediction misses is written in groups of 16 that share
// the bit width of their largest value: nearly as small as a variable-length code, but every
// value of a group sits at a known place, so expanding does not wait on the one before.
// Expanding gives back exactly the samples that were packed.
namespace TwMixerBlockCodec {

constexpr int kMaxFrames = 1 << 16;
constexpr int kMaxChannels = 8;

// Packs `frames` frames of `channels` interleaved samples (frames at most kMaxFrames,
// channels 1 to kMaxChannels).
std::vector<std::uint8_t> Pack(const std::int16_t* samples, int frames, int channels);

// Expands a packed block into `frames` frames of `channels` interleaved samples. False, with
// `out` silent, when the bytes are not a block of that shape.
bool Unpack(const std::vector<std::uint8_t>& packed, int frames, int channels, std::int16_t* out);

} // namespace TwMixerBlockCodec
