#include "platform/os/TwClock.h"

#include <chrono>

namespace {

TwClock* g_clock = nullptr;

using SystemClock = std::chrono::steady_clock;

// The system clock counts from the first time anything reads it (the start of the game).
std::uint32_t SystemMilliseconds() {
    static const SystemClock::time_point start = SystemClock::now();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(SystemClock::now() - start);
    return static_cast<std::uint32_t>(elapsed.count());
}

} // namespace

std::uint32_t TwMilliseconds() {
    if (g_clock) {
        return g_clock->Milliseconds();
    }
    return SystemMilliseconds();
}

void TwSetClock(TwClock* clock) {
    g_clock = clock;
}
