#pragma once
#include <cstdint>

// The random numbers that decide a game: the colours dealt, the order a field is revealed in
// and how fast cut-off bubbles fall. Each field has its own, seeded when its game starts, so
// a game plays out the same from its seed whatever the effects, the menu or the music draw
// meanwhile; a replay and a continued game carry its state on. Same recurrence and range
// (0 to 32767) as the engine's TwRand.
class GameRandom {
public:
    static constexpr int kMax = 0x7FFF;

    explicit GameRandom(std::uint32_t state = 1) : state_(state) {}

    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    std::uint32_t State() const { return state_; }
    void SetState(std::uint32_t state) { state_ = state; }

private:
    std::uint32_t state_;
};
