#pragma once
#include <cstdint>

// The game's random numbers: 0 to 32767, the classic C-runtime recurrence, so a seeded
// run is the same on every machine. Seeded with the time when the window is created;
// tests seed it to replay a game exactly.
constexpr int TW_RAND_MAX = 0x7FFF;

int TwRand();
void TwSRand(std::uint32_t seed);
std::uint32_t TwRandSeed();
