#pragma once
#include <cstdint>

// The game picture's size in pixels, the same for every part that places things on screen:
// window client area, back buffer, loading screen, fonts, panels, the field.
struct TwScreenSize {
    std::int32_t width = 800;
    std::int32_t height = 600;

    static TwScreenSize& Instance();
};
