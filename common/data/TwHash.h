#pragma once
// FNV-1a: a small, fast hash of bytes for check values and fingerprints that must come out
// the same on every machine and in every build (recordings, stream serial numbers, field
// snapshots). Not for anything an attacker chooses to collide.
#include <cstdint>
#include <string_view>

// One hash being built, byte by byte or a run of bytes at a time; the same bytes give the
// same value however they are split.
template <typename Word, Word kOffsetBasis, Word kPrime> class TwFnv1aHash {
public:
    void Add(std::uint8_t byte) { value_ = (value_ ^ byte) * kPrime; }
    void Add(std::string_view bytes) {
        for (const char c : bytes) {
            Add(static_cast<std::uint8_t>(c));
        }
    }
    Word Value() const { return value_; }

private:
    Word value_ = kOffsetBasis;
};

using TwFnv1a32 = TwFnv1aHash<std::uint32_t, 2166136261u, 16777619u>;
using TwFnv1a64 = TwFnv1aHash<std::uint64_t, 14695981039346656037ull, 1099511628211ull>;

// The 32-bit hash of `bytes` folded to its low 31 bits: a check value that fits a
// non-negative int, as the definition files store numbers.
inline int TwFnv1aCheck(std::string_view bytes) {
    TwFnv1a32 hash;
    hash.Add(bytes);
    return static_cast<int>(hash.Value() & 0x7FFFFFFFu);
}
