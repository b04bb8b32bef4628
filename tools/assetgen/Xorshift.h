#pragma once
// The seeded generator behind the sounds' noise and the music's choices: xorshift32, the same
// numbers on every machine, so every build writes the same bytes.
#include <cstdint>

class Xorshift32 {
public:
    // A zero state would stay zero for ever, so a zero seed starts from `ifZero` instead.
    Xorshift32(std::uint32_t seed, std::uint32_t ifZero) : state_(seed != 0 ? seed : ifZero) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // 0 up to but not including 1, in steps of 2^-24 (exact in a float as in a double).
    double Uniform() { return static_cast<double>(Next() >> 8) / 16777216.0; }

private:
    std::uint32_t state_;
};
