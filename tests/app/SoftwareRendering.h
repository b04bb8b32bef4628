#pragma once
#include <cstdlib>

// Makes windows opened by a test draw with SDL's software renderer straight into the
// offscreen window's memory, so pixels read back are exact and no GPU driver is loaded (the
// GL drivers keep memory the leak checker would report).
struct SoftwareRendering {
    SoftwareRendering() {
        ::setenv("SDL_RENDER_DRIVER", "software", 1);
        ::setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 1);
    }
    ~SoftwareRendering() {
        ::unsetenv("SDL_RENDER_DRIVER");
        ::unsetenv("SDL_FRAMEBUFFER_ACCELERATION");
    }
};
