#include "platform/os/TwRand.h"

namespace {
std::uint32_t g_seed = 1;
}

int TwRand() {
    g_seed = g_seed * 214013u + 2531011u;
    return static_cast<int>((g_seed >> 16) & 0x7FFFu);
}

void TwSRand(std::uint32_t seed) {
    g_seed = seed;
}

std::uint32_t TwRandSeed() {
    return g_seed;
}
