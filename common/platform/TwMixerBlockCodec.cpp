#include "platform/TwMixerBlockCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace {

enum Kind : std::uint8_t { kVerbatim = 0, kPredicted = 1 };
// How a stereo pair is turned into the two signals that are coded.
enum Pairing : std::uint8_t { kLeftRight = 0, kLeftSide = 1, kRightSide = 2, kMidSide = 3 };

constexpr int kHeaderBytes = 2; // kind, pairing
constexpr int kStretch = 256;   // frames expanded and interleaved together
constexpr int kGroup = 16;      // samples of one signal sharing a width
constexpr int kOrderBits = 2;
constexpr int kWidthBits = 5;
// Residuals of 16-bit samples (and of the 17-bit difference of two) take at most 21 bits.
constexpr int kMaxWidth = 24;
// Zero bytes after the codes, so every code can be read with one 8-byte load.
constexpr int kPadding = 8;

std::uint32_t ZigZag(std::int32_t value) {
    return (static_cast<std::uint32_t>(value) << 1) ^ static_cast<std::uint32_t>(value >> 31);
}

std::int32_t UnZigZag(std::uint32_t value) {
    return static_cast<std::int32_t>(value >> 1) ^ -static_cast<std::int32_t>(value & 1);
}

// The value a fixed polynomial of `order` predicts from the last three samples (h1 latest).
// Worked in 64 bits, so even bytes that are not a packed block cannot overflow it.
std::int64_t Predict(int order, std::int64_t h1, std::int64_t h2, std::int64_t h3) {
    switch (order) {
    case 1:
        return h1;
    case 2:
        return 2 * h1 - h2;
    case 3:
        return 3 * h1 - 3 * h2 + h3;
    default:
        return 0;
    }
}

// Writes most significant bit first through a 64-bit accumulator.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // `bits` at most 32.
    void Put(std::uint32_t value, int bits) {
        if (bits == 0) {
            return;
        }
        pending_ = (pending_ << bits) | (value & (0xFFFFFFFFu >> (32 - bits)));
        count_ += bits;
        while (count_ >= 8) {
            count_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(pending_ >> count_));
        }
    }
    void Flush() {
        if (count_ > 0) {
            out_.push_back(static_cast<std::uint8_t>(pending_ << (8 - count_)));
            count_ = 0;
        }
        pending_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t pending_ = 0;
    int count_ = 0; // bits of `pending_` not written yet (fewer than 8 between calls)
};

// The `width` bits (at most 57) at bit `position` of `data`, most significant bit first. The
// caller makes sure 8 bytes can be read from the byte the bits start in.
[[gnu::always_inline]] inline std::uint32_t BitsAt(const std::uint8_t* data, std::size_t position,
                                                   int width) {
    std::uint64_t word;
    std::memcpy(&word, data + (position >> 3), 8);
    if constexpr (std::endian::native == std::endian::little) {
        word = __builtin_bswap64(word);
    }
    word <<= position & 7;
    return width == 0 ? 0u : static_cast<std::uint32_t>(word >> (64 - width));
}

// Turns residuals back into a signal from index `from` of the stretch to `count`. The residual
// of a polynomial of `Order` is the signal's `Order`-th difference, so the signal comes back as
// that many running sums, started from the history `h` (latest first), which it carries on.
// The sums are worked modulo 2^32, like the residuals: exact for every sample that was packed,
// and never an overflow on bytes that are not a block.
template <int Order>
void Integrate(const std::uint32_t* codes, std::int32_t* out, int from, int count,
               std::array<std::int32_t, 3>& h) {
    const auto h0 = static_cast<std::uint32_t>(h[0]);
    const auto h1 = static_cast<std::uint32_t>(h[1]);
    const auto h2 = static_cast<std::uint32_t>(h[2]);
    std::uint32_t value = h0;
    std::uint32_t d1 = h0 - h1;          // first difference
    std::uint32_t d2 = h0 - 2 * h1 + h2; // second difference
    for (int i = from; i < count; ++i) {
        const auto residual = static_cast<std::uint32_t>(UnZigZag(codes[i]));
        if constexpr (Order == 0) {
            value = residual;
        } else if constexpr (Order == 1) {
            value += residual;
        } else if constexpr (Order == 2) {
            d1 += residual;
            value += d1;
        } else {
            d2 += residual;
            d1 += d2;
            value += d1;
        }
        out[i] = static_cast<std::int32_t>(value);
    }
    if (count - from >= 3) {
        h = {out[count - 1], out[count - 2], out[count - 3]};
    } else {
        for (int i = from; i < count; ++i) {
            h = {out[i], h[0], h[1]};
        }
    }
}

void IntegrateStretch(const std::uint32_t* codes, int order, std::int32_t* out, int count,
                      bool blockStart, std::array<std::int32_t, 3>& h) {
    int from = 0;
    if (blockStart) {
        // The first samples of a block have fewer before them than the order uses.
        for (; from < std::min(order, count); ++from) {
            const auto value =
                static_cast<std::int32_t>(Predict(from, h[0], h[1], h[2]) + UnZigZag(codes[from]));
            h = {value, h[0], h[1]};
            out[from] = value;
        }
    }
    switch (order) {
    case 0:
        Integrate<0>(codes, out, from, count, h);
        break;
    case 1:
        Integrate<1>(codes, out, from, count, h);
        break;
    case 2:
        Integrate<2>(codes, out, from, count, h);
        break;
    default:
        Integrate<3>(codes, out, from, count, h);
        break;
    }
}

// The signals coded for a block: one per channel, or the chosen two of a stereo pair.
struct Signals {
    int count = 0;
    std::array<std::vector<std::int32_t>, 2> values;
    std::array<int, 2> orders{};
};

// How much each order leaves to code in `signal`: the sums of its differences of order 0 to 3
// (what a polynomial of that order misses is exactly that difference).
std::array<std::uint64_t, 4> OrderCosts(const std::vector<std::int32_t>& signal) {
    std::uint64_t c0 = 0, c1 = 0, c2 = 0, c3 = 0;
    const std::int32_t* x = signal.data();
    for (std::size_t i = 3; i < signal.size(); ++i) {
        const std::int32_t d1 = x[i] - x[i - 1];
        const std::int32_t d1Before = x[i - 1] - x[i - 2];
        const std::int32_t d2 = d1 - d1Before;
        const std::int32_t d3 = d2 - (d1Before - (x[i - 2] - x[i - 3]));
        c0 += static_cast<std::uint32_t>(std::abs(x[i]));
        c1 += static_cast<std::uint32_t>(std::abs(d1));
        c2 += static_cast<std::uint32_t>(std::abs(d2));
        c3 += static_cast<std::uint32_t>(std::abs(d3));
    }
    return {c0, c1, c2, c3};
}

int BestOrder(const std::array<std::uint64_t, 4>& costs) {
    return static_cast<int>(std::min_element(costs.begin(), costs.end()) - costs.begin());
}

// What a polynomial of `order` misses at each sample, zigzagged; the first samples of the
// block, with fewer before them, use the orders they can.
std::vector<std::uint32_t> Residuals(const std::vector<std::int32_t>& signal, int order) {
    std::vector<std::uint32_t> codes(signal.size());
    const std::int32_t* x = signal.data();
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const int usable = std::min<int>(order, static_cast<int>(i));
        std::int32_t residual = x[i];
        if (usable == 1) {
            residual = x[i] - x[i - 1];
        } else if (usable == 2) {
            residual = x[i] - 2 * x[i - 1] + x[i - 2];
        } else if (usable == 3) {
            residual = x[i] - 3 * x[i - 1] + 3 * x[i - 2] - x[i - 3];
        }
        codes[i] = ZigZag(residual);
    }
    return codes;
}

// Writes the codes for samples [begin, end) of a signal, in groups that each share the width
// of their largest code.
void PutStretch(BitWriter& writer, const std::vector<std::uint32_t>& codes, int begin, int end) {
    for (int group = begin; group < end; group += kGroup) {
        const int stop = std::min(end, group + kGroup);
        std::uint32_t all = 0;
        for (int i = group; i < stop; ++i) {
            all |= codes[i];
        }
        const int width = 32 - std::countl_zero(all);
        writer.Put(static_cast<std::uint32_t>(width), kWidthBits);
        for (int i = group; i < stop; ++i) {
            writer.Put(codes[i], width);
        }
    }
}

Signals ChooseSignals(const std::int16_t* samples, int frames, int channels, Pairing& pairing) {
    Signals signals;
    pairing = kLeftRight;
    if (channels == 1) {
        signals.count = 1;
        signals.values[0].assign(samples, samples + frames);
        signals.orders[0] = BestOrder(OrderCosts(signals.values[0]));
        return signals;
    }
    std::array<std::vector<std::int32_t>, 4> candidates; // left, right, mid, side
    for (auto& c : candidates) {
        c.resize(static_cast<std::size_t>(frames));
    }
    for (int i = 0; i < frames; ++i) {
        const std::int32_t left = samples[2 * i];
        const std::int32_t right = samples[2 * i + 1];
        candidates[0][i] = left;
        candidates[1][i] = right;
        candidates[2][i] = (left + right) >> 1;
        candidates[3][i] = left - right;
    }
    std::array<std::uint64_t, 4> costs{};
    std::array<int, 4> best{};
    for (int c = 0; c < 4; ++c) {
        const std::array<std::uint64_t, 4> orderCosts = OrderCosts(candidates[c]);
        best[c] = BestOrder(orderCosts);
        costs[c] = orderCosts[best[c]];
    }
    // Which two candidates each pairing codes.
    constexpr std::array<std::array<int, 2>, 4> kUses = {{{0, 1}, {0, 3}, {1, 3}, {2, 3}}};
    int chosen = 0;
    for (int p = 1; p < 4; ++p) {
        if (costs[kUses[p][0]] + costs[kUses[p][1]] <
            costs[kUses[chosen][0]] + costs[kUses[chosen][1]]) {
            chosen = p;
        }
    }
    pairing = static_cast<Pairing>(chosen);
    signals.count = 2;
    for (int s = 0; s < 2; ++s) {
        signals.values[s] = std::move(candidates[kUses[chosen][s]]);
        signals.orders[s] = best[kUses[chosen][s]];
    }
    return signals;
}

std::vector<std::uint8_t> PackVerbatim(const std::int16_t* samples, int frames, int channels) {
    const std::size_t bytes = static_cast<std::size_t>(frames) * channels * 2;
    std::vector<std::uint8_t> out(1 + bytes);
    out[0] = kVerbatim;
    std::memcpy(out.data() + 1, samples, bytes);
    return out;
}

// Turns the decoded signals of one stretch back into interleaved samples.
void Interleave(Pairing pairing, int channels, const std::int32_t* first,
                const std::int32_t* second, int count, std::int16_t* out) {
    for (int i = 0; i < count; ++i) {
        std::int64_t left = first[i];
        std::int64_t right = channels == 2 ? second[i] : 0;
        switch (pairing) {
        case kLeftSide:
            right = left - second[i];
            break;
        case kRightSide:
            right = first[i];
            left = right + second[i];
            break;
        case kMidSide: {
            const std::int64_t side = second[i];
            const std::int64_t mid = (std::int64_t{first[i]} * 2) | (side & 1);
            left = (mid + side) >> 1;
            right = (mid - side) >> 1;
            break;
        }
        default:
            break;
        }
        out[i * channels] = static_cast<std::int16_t>(left);
        if (channels == 2) {
            out[i * channels + 1] = static_cast<std::int16_t>(right);
        }
    }
}

} // namespace

namespace TwMixerBlockCodec {

std::vector<std::uint8_t> Pack(const std::int16_t* samples, int frames, int channels) {
    if (frames <= 0 || frames > kMaxFrames || channels < 1 || channels > kMaxChannels) {
        return {};
    }
    if (channels > 2) {
        return PackVerbatim(samples, frames, channels);
    }
    Pairing pairing = kLeftRight;
    const Signals signals = ChooseSignals(samples, frames, channels, pairing);
    std::array<std::vector<std::uint32_t>, 2> codes;
    for (int s = 0; s < signals.count; ++s) {
        codes[s] = Residuals(signals.values[s], signals.orders[s]);
    }

    std::vector<std::uint8_t> out = {kPredicted, pairing};
    out.reserve(static_cast<std::size_t>(frames) * channels * 2);
    BitWriter writer(out);
    for (int s = 0; s < signals.count; ++s) {
        writer.Put(static_cast<std::uint32_t>(signals.orders[s]), kOrderBits);
    }
    // Stretch by stretch, each signal in turn, so expanding needs only a stretch in hand.
    for (int begin = 0; begin < frames; begin += kStretch) {
        const int end = std::min(frames, begin + kStretch);
        for (int s = 0; s < signals.count; ++s) {
            PutStretch(writer, codes[s], begin, end);
        }
    }
    writer.Flush();
    out.resize(out.size() + kPadding, 0);
    if (out.size() >= static_cast<std::size_t>(frames) * channels * 2) {
        return PackVerbatim(samples, frames, channels);
    }
    return out;
}

bool Unpack(const std::vector<std::uint8_t>& packed, int frames, int channels, std::int16_t* out) {
    const std::size_t samples = static_cast<std::size_t>(std::max(frames, 0)) * channels;
    auto fail = [&] {
        std::fill(out, out + samples, std::int16_t{0});
        return false;
    };
    if (frames <= 0 || frames > kMaxFrames || channels < 1 || channels > kMaxChannels ||
        packed.empty()) {
        return frames > 0 && channels > 0 ? fail() : false;
    }
    if (packed[0] == kVerbatim) {
        if (packed.size() != 1 + samples * 2) {
            return fail();
        }
        std::memcpy(out, packed.data() + 1, samples * 2);
        return true;
    }
    if (packed[0] != kPredicted || channels > 2 || packed.size() < kHeaderBytes + kPadding ||
        packed[1] > kMidSide || (channels == 1 && packed[1] != kLeftRight)) {
        return fail();
    }
    const auto pairing = static_cast<Pairing>(packed[1]);
    const std::uint8_t* data = packed.data() + kHeaderBytes;
    // Every code read must leave 8 bytes to load from the byte it starts in: the padding.
    const std::size_t readableBits = (packed.size() - kHeaderBytes - kPadding) * 8;
    std::size_t position = 0;
    std::array<int, 2> orders{};
    for (int s = 0; s < channels; ++s) {
        orders[s] = static_cast<int>(BitsAt(data, position, kOrderBits));
        position += kOrderBits;
    }
    // The last three values of each signal, latest first.
    std::array<std::array<std::int32_t, 3>, 2> history{};
    std::array<std::array<std::int32_t, kStretch>, 2> stretch;
    std::array<std::uint32_t, kStretch> codes;
    for (int begin = 0; begin < frames; begin += kStretch) {
        const int count = std::min(kStretch, frames - begin);
        for (int s = 0; s < channels; ++s) {
            for (int group = 0; group < count; group += kGroup) {
                const int inGroup = std::min(kGroup, count - group);
                if (position + kWidthBits > readableBits) {
                    return fail();
                }
                const int width = static_cast<int>(BitsAt(data, position, kWidthBits));
                position += kWidthBits;
                if (width > kMaxWidth ||
                    position + static_cast<std::size_t>(inGroup) * width > readableBits) {
                    return fail();
                }
                for (int i = 0; i < inGroup; ++i) {
                    codes[group + i] =
                        BitsAt(data, position + static_cast<std::size_t>(i) * width, width);
                }
                position += static_cast<std::size_t>(inGroup) * width;
            }
            IntegrateStretch(codes.data(), orders[s], stretch[s].data(), count, begin == 0,
                             history[s]);
        }
        Interleave(pairing, channels, stretch[0].data(), stretch[1].data(), count,
                   out + static_cast<std::size_t>(begin) * channels);
    }
    return true;
}

} // namespace TwMixerBlockCodec
