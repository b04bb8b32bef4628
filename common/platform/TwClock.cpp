#include "platform/TwClock.h"

#include <SDL.h>

namespace {

TwClock* g_clock = nullptr;

} // namespace

std::uint32_t TwMilliseconds() {
    if (g_clock) {
        return g_clock->Milliseconds();
    }
    return SDL_GetTicks();
}

void TwSetClock(TwClock* clock) {
    g_clock = clock;
}

void TwSleepMilliseconds(std::uint32_t ms) {
    SDL_Delay(ms);
}
