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
constexpr int kPartition = 256; // samples of one signal sharing a Rice parameter
constexpr int kOrderBits = 2;
constexpr int kRiceBits = 5;
constexpr int kMaxRice = 23;
// A quotient this long is cut short and followed by the value itself in kEscapeBits bits.
constexpr int kEscapeOnes = 32;
constexpr int kEscapeBits = 24;

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

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            PutBit((value >> i) & 1u);
        }
    }
    void PutOnes(int count) {
        for (int i = 0; i < count; ++i) {
            PutBit(1u);
        }
    }
    void Flush() {
        if (used_ > 0) {
            out_.push_back(static_cast<std::uint8_t>(byte_ << (8 - used_)));
            byte_ = 0;
            used_ = 0;
        }
    }

private:
    void PutBit(std::uint32_t bit) {
        byte_ = static_cast<std::uint8_t>((byte_ << 1) | bit);
        if (++used_ == 8) {
            out_.push_back(byte_);
            byte_ = 0;
            used_ = 0;
        }
    }

    std::vector<std::uint8_t>& out_;
    std::uint8_t byte_ = 0;
    int used_ = 0;
};

// Reads most significant bit first through a 64-bit register topped up eight bytes at a time
// (at least 56 bits in hand before each code). Reading past the end yields zeros and marks
// the stream as broken.
class BitReader {
public:
    BitReader(const std::uint8_t* data, std::size_t size) : next_(data), end_(data + size) {}

    // Inlined by force: these run for every sample on the audio thread.
    [[gnu::always_inline]] std::uint32_t Get(int bits) {
        Refill();
        const std::uint32_t value =
            bits == 0 ? 0u : static_cast<std::uint32_t>(bits_ >> (64 - bits));
        Consume(bits);
        return value;
    }

    // A Rice code with parameter `k`, escapes included.
    [[gnu::always_inline]] std::uint32_t GetRice(int k) {
        Refill();
        const int ones = std::countl_one(bits_);
        if (ones >= kEscapeOnes) {
            Consume(kEscapeOnes);
            return Get(kEscapeBits);
        }
        Consume(ones + 1);
        const std::uint32_t low = k == 0 ? 0u : static_cast<std::uint32_t>(bits_ >> (64 - k));
        Consume(k);
        return (static_cast<std::uint32_t>(ones) << k) | low;
    }

    bool Broken() const { return overrun_ > 8; }

private:
    [[gnu::always_inline]] void Refill() {
        if (count_ >= 56) {
            return;
        }
        if (end_ - next_ >= 8) {
            // The bytes past those counted in are the stream's own next bits, so or-ing them
            // in again at the next top-up changes nothing.
            std::uint64_t word;
            std::memcpy(&word, next_, 8);
            if constexpr (std::endian::native == std::endian::little) {
                word = __builtin_bswap64(word);
            }
            bits_ |= word >> count_;
            const int bytes = (63 - count_) >> 3;
            next_ += bytes;
            count_ += bytes * 8;
            return;
        }
        while (count_ <= 56) {
            std::uint64_t byte = 0;
            if (next_ < end_) {
                byte = *next_++;
            } else {
                ++overrun_;
            }
            bits_ |= byte << (56 - count_);
            count_ += 8;
        }
    }
    [[gnu::always_inline]] void Consume(int bits) {
        bits_ <<= bits;
        count_ -= bits;
    }

    const std::uint8_t* next_;
    const std::uint8_t* end_;
    std::uint64_t bits_ = 0;
    int count_ = 0;
    int overrun_ = 0;
};

// Expands `count` residuals of one signal into `out` from index `from` on, predicted by a
// polynomial of `Order` from the history `h` (latest first), which it carries on.
template <int Order>
void ExpandRun(BitReader& reader, int k, std::int32_t* out, int from, int count,
               std::array<std::int32_t, 3>& h) {
    std::int64_t h1 = h[0], h2 = h[1], h3 = h[2];
    for (int i = from; i < count; ++i) {
        std::int64_t predicted = 0;
        if constexpr (Order == 1) {
            predicted = h1;
        } else if constexpr (Order == 2) {
            predicted = 2 * h1 - h2;
        } else if constexpr (Order == 3) {
            predicted = 3 * h1 - 3 * h2 + h3;
        }
        // Wraps (modulo 2^32) rather than overflows on bytes that are not a block.
        const auto value = static_cast<std::int32_t>(predicted + UnZigZag(reader.GetRice(k)));
        h3 = h2;
        h2 = h1;
        h1 = value;
        out[i] = value;
    }
    h = {static_cast<std::int32_t>(h1), static_cast<std::int32_t>(h2),
         static_cast<std::int32_t>(h3)};
}

void ExpandStretch(BitReader& reader, int order, int k, std::int32_t* out, int count,
                   bool blockStart, std::array<std::int32_t, 3>& h) {
    int from = 0;
    if (blockStart) {
        // The first samples of a block have fewer before them than the order uses.
        for (; from < std::min(order, count); ++from) {
            const auto value = static_cast<std::int32_t>(Predict(from, h[0], h[1], h[2]) +
                                                         UnZigZag(reader.GetRice(k)));
            h = {value, h[0], h[1]};
            out[from] = value;
        }
    }
    switch (order) {
    case 0:
        ExpandRun<0>(reader, k, out, from, count, h);
        break;
    case 1:
        ExpandRun<1>(reader, k, out, from, count, h);
        break;
    case 2:
        ExpandRun<2>(reader, k, out, from, count, h);
        break;
    default:
        ExpandRun<3>(reader, k, out, from, count, h);
        break;
    }
}

// The signals coded for a block: one per channel, or the chosen two of a stereo pair.
struct Signals {
    int count = 0;
    std::array<std::vector<std::int32_t>, 2> values;
};

std::uint64_t ResidualCost(const std::vector<std::int32_t>& signal, int order) {
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const int usable = std::min<int>(order, static_cast<int>(i));
        const std::int32_t h1 = i >= 1 ? signal[i - 1] : 0;
        const std::int32_t h2 = i >= 2 ? signal[i - 2] : 0;
        const std::int32_t h3 = i >= 3 ? signal[i - 3] : 0;
        sum += static_cast<std::uint64_t>(std::llabs(signal[i] - Predict(usable, h1, h2, h3)));
    }
    return sum;
}

// The cheapest order for a signal, by the size of what it leaves to code.
int BestOrder(const std::vector<std::int32_t>& signal, std::uint64_t& cost) {
    int best = 0;
    cost = ResidualCost(signal, 0);
    for (int order = 1; order <= 3; ++order) {
        const std::uint64_t c = ResidualCost(signal, order);
        if (c < cost) {
            cost = c;
            best = order;
        }
    }
    return best;
}

void PutSignalPartition(BitWriter& writer, const std::vector<std::int32_t>& signal, int order,
                        int begin, int end) {
    std::array<std::uint32_t, kPartition> codes{};
    std::uint64_t sum = 0;
    for (int i = begin; i < end; ++i) {
        const int usable = std::min(order, i);
        const std::int32_t h1 = i >= 1 ? signal[i - 1] : 0;
        const std::int32_t h2 = i >= 2 ? signal[i - 2] : 0;
        const std::int32_t h3 = i >= 3 ? signal[i - 3] : 0;
        codes[i - begin] =
            ZigZag(static_cast<std::int32_t>(signal[i] - Predict(usable, h1, h2, h3)));
        sum += codes[i - begin];
    }
    const auto count = static_cast<std::uint64_t>(end - begin);
    int k = 0;
    while (k < kMaxRice && (count << (k + 1)) < sum) {
        ++k;
    }
    writer.Put(static_cast<std::uint32_t>(k), kRiceBits);
    for (int i = 0; i < end - begin; ++i) {
        const std::uint32_t quotient = codes[i] >> k;
        if (quotient >= static_cast<std::uint32_t>(kEscapeOnes)) {
            writer.PutOnes(kEscapeOnes);
            writer.Put(codes[i], kEscapeBits);
        } else {
            writer.PutOnes(static_cast<int>(quotient));
            writer.Put(0, 1);
            writer.Put(codes[i] & ((1u << k) - 1u), k);
        }
    }
}

Signals ChooseSignals(const std::int16_t* samples, int frames, int channels, Pairing& pairing,
                      std::array<int, 2>& orders) {
    Signals signals;
    pairing = kLeftRight;
    if (channels == 1) {
        signals.count = 1;
        signals.values[0].assign(samples, samples + frames);
        std::uint64_t cost = 0;
        orders[0] = BestOrder(signals.values[0], cost);
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
        best[c] = BestOrder(candidates[c], costs[c]);
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
        orders[s] = best[kUses[chosen][s]];
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
    std::array<int, 2> orders{};
    const Signals signals = ChooseSignals(samples, frames, channels, pairing, orders);

    std::vector<std::uint8_t> out = {kPredicted, pairing};
    BitWriter writer(out);
    for (int s = 0; s < signals.count; ++s) {
        writer.Put(static_cast<std::uint32_t>(orders[s]), kOrderBits);
    }
    // Stretch by stretch, each signal in turn, so expanding needs only a stretch in hand.
    for (int begin = 0; begin < frames; begin += kPartition) {
        const int end = std::min(frames, begin + kPartition);
        for (int s = 0; s < signals.count; ++s) {
            PutSignalPartition(writer, signals.values[s], orders[s], begin, end);
        }
    }
    writer.Flush();
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
    if (packed[0] != kPredicted || channels > 2 || packed.size() < kHeaderBytes ||
        packed[1] > kMidSide || (channels == 1 && packed[1] != kLeftRight)) {
        return fail();
    }
    const auto pairing = static_cast<Pairing>(packed[1]);
    BitReader reader(packed.data() + kHeaderBytes, packed.size() - kHeaderBytes);
    std::array<int, 2> orders{};
    for (int s = 0; s < channels; ++s) {
        orders[s] = static_cast<int>(reader.Get(kOrderBits));
    }
    // The last three values of each signal, latest first.
    std::array<std::array<std::int32_t, 3>, 2> history{};
    std::array<std::array<std::int32_t, kPartition>, 2> stretch;
    for (int begin = 0; begin < frames; begin += kPartition) {
        const int count = std::min(kPartition, frames - begin);
        for (int s = 0; s < channels; ++s) {
            const int k = static_cast<int>(reader.Get(kRiceBits));
            if (k > kMaxRice) {
                return fail();
            }
            ExpandStretch(reader, orders[s], k, stretch[s].data(), count, begin == 0, history[s]);
        }
        Interleave(pairing, channels, stretch[0].data(), stretch[1].data(), count,
                   out + static_cast<std::size_t>(begin) * channels);
    }
    if (reader.Broken()) {
        return fail();
    }
    return true;
}

} // namespace TwMixerBlockCodec
