#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// Measures frame time. Screens receive the mean of the last (up to) 33 raw frame deltas in
// milliseconds, so a single slow frame is spread thinly over the following second instead
// of making everything jump.
class TwFrameTimer {
public:
    static constexpr std::size_t kHistoryLength = 33;

    static TwFrameTimer& Instance();

    // Reads the clock (TwMilliseconds) once per frame and recomputes the delta.
    void Update();
    // The averaged frame delta in milliseconds (10 before the first update).
    int Delta() const { return delta_; }
    // The raw deltas averaged, oldest first (for tests).
    std::vector<std::int32_t> History() const;
    // The game stood still (minimised, or left in full screen): the next frame is measured
    // from now, so the time away does not run the game's clocks on.
    void Resume();
    // Back to the state of a new timer (tests).
    void Reset();

private:
    std::uint32_t previous_ = 0;
    std::uint32_t current_ = 0;
    std::int32_t delta_ = 10;
    // The last deltas in a ring, so that no frame allocates: `count_` of them, the oldest at
    // `oldest_`.
    std::array<std::int32_t, kHistoryLength> history_{};
    std::size_t oldest_ = 0;
    std::size_t count_ = 0;
};
