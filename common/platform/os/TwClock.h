#pragma once
#include <cstdint>

// The millisecond clock the frame timer and the game read. The system clock counts from
// the game's first reading; tests install a fixed clock to step time by hand.
class TwClock {
public:
    virtual ~TwClock() = default;
    virtual std::uint32_t Milliseconds() = 0;
};

// A clock that only moves when told to.
class TwFixedClock : public TwClock {
public:
    explicit TwFixedClock(std::uint32_t start = 0) : now_(start) {}
    std::uint32_t Milliseconds() override { return now_; }
    void Set(std::uint32_t ms) { now_ = ms; }
    void Advance(std::uint32_t ms) { now_ += ms; }

private:
    std::uint32_t now_;
};

// The current time of the installed clock, in milliseconds (wraps after 49 days).
std::uint32_t TwMilliseconds();
// Installs a clock (not owned; it must outlive its use). nullptr restores the system clock.
void TwSetClock(TwClock* clock);
