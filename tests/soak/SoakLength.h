#pragma once
#include <cstdlib>

namespace soak {

// How long a soak runs: the suite's short run unless the environment asks for more
// (make soak sets both).
inline int EnvCount(const char* name, int fallback) {
    const char* text = std::getenv(name);
    const int value = text != nullptr ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

inline int GamesToPlay() {
    return EnvCount("ZV_SOAK_GAMES", 6);
}

inline int EventsToSend() {
    return EnvCount("ZV_SOAK_EVENTS", 2000);
}

} // namespace soak
