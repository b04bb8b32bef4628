#include <chrono>
#include <cstring>
#include <dirent.h>
#include <thread>

#include "platform/window/TwVideoInternal.h"

namespace {

// Frame pacing and the frame record start afresh with every renderer.
void StartFrames() {
    TwVideo::VideoState& s = TwVideo::State();
    s.lastFrameEnd = {};
    const int refresh = TwVideo::RefreshRate();
    s.refreshPeriod = std::chrono::nanoseconds(1'000'000'000 / (refresh > 0 ? refresh : 60));
    TwVideo::ForgetFrames();
}

// SDL's renderer draws the frames; false (the renderer still the caller's) when it cannot.
bool SetUpRenderer(SDL_Renderer* renderer) {
    TwVideo::VideoState& s = TwVideo::State();
    s.backend = TwVideo::MakeSdlRendererBackend(renderer, s.settings.width, s.settings.height);
    if (!s.backend) {
        return false;
    }
    StartFrames();
    return true;
}

// True when the machine has a graphics card's device node. Without one, every OpenGL driver
// is a rasteriser running on the processor: far heavier (a code generator, helper threads,
// tens of megabytes) than SDL's own software renderer for the game's flat sprites.
bool GraphicsCardPresent() {
    DIR* dir = opendir("/dev/dri");
    if (!dir) {
        return false;
    }
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        if (std::strncmp(entry->d_name, "card", 4) == 0 ||
            std::strncmp(entry->d_name, "renderD", 7) == 0) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

// An OpenGL renderer whose driver is such a processor rasteriser (for example under a virtual
// X server, which offers no graphics card even on a machine that has one).
bool IsCpuOpenGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name ||
        std::strncmp(info.name, "opengl", 6) != 0) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (!getString) {
        return false;
    }
    constexpr unsigned int kGlRenderer = 0x1F01;
    const char* name = reinterpret_cast<const char*>(getString(kGlRenderer));
    if (!name) {
        return false;
    }
    for (const char* rasteriser : {"llvmpipe", "softpipe", "swrast", "Software Rasterizer"}) {
        if (std::strstr(name, rasteriser)) {
            return true;
        }
    }
    return false;
}

// SDL's software renderer on the window (or on memory without one). The finished picture
// goes to the display through the window system's shared memory, not through an OpenGL
// texture, so no OpenGL driver is loaded at all.
bool UseSdlSoftwareRenderer(SDL_Window* window, SDL_Surface* memory) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE)
                                    : SDL_CreateSoftwareRenderer(memory);
    if (renderer && SetUpRenderer(renderer)) {
        return true;
    }
    if (renderer) {
        SDL_DestroyRenderer(renderer);
    }
    return false;
}

// ZV_RENDERER=sdl keeps drawing with SDL's renderers only, its software renderer where no
// graphics card draws: the way frames were drawn before the compositor, kept to compare with.
bool SdlRenderersOnly() {
    const char* choice = SDL_getenv("ZV_RENDERER");
    return choice && SDL_strcmp(choice, "sdl") == 0;
}

// Drawing without a graphics card: the game's own compositor on the window's surface, or
// SDL's software renderer when that is asked for or the window offers no surface.
bool UseSoftwarePath(bool toWindow) {
    TwVideo::VideoState& s = TwVideo::State();
    if (!SdlRenderersOnly() && (s.window || !toWindow)) {
        s.backend = TwVideo::MakeCompositorBackend(toWindow ? s.window : nullptr, s.settings.width,
                                                   s.settings.height);
        if (s.backend) {
            StartFrames();
            return true;
        }
    }
    return toWindow && UseSdlSoftwareRenderer(s.window, nullptr);
}

} // namespace

namespace TwVideo {

bool CreateRenderer() {
    VideoState& s = State();
    if (!s.window) {
        return false;
    }
    DestroyRenderer();
    // The player (or a test) chose a driver through SDL's own setting: take SDL's pick, or
    // the software path when that is the one named.
    const char* driver = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    const bool driverChosen = driver != nullptr;
    const bool softwareChosen = driverChosen && SDL_strcasecmp(driver, "software") == 0;
    if (softwareChosen || (!driverChosen && !GraphicsCardPresent())) {
        if (UseSoftwarePath(true)) {
            return true;
        }
    }
    const Uint32 attempts[] = {SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC,
                               SDL_RENDERER_ACCELERATED};
    for (Uint32 flags : attempts) {
        if (softwareChosen) {
            break;
        }
        SDL_Renderer* renderer = SDL_CreateRenderer(s.window, -1, flags);
        if (renderer && !driverChosen && IsCpuOpenGl(renderer)) {
            SDL_DestroyRenderer(renderer);
            break; // the software path below does the same work for less
        }
        if (renderer) {
            if (SetUpRenderer(renderer)) {
                return true;
            }
            SDL_DestroyRenderer(renderer);
        }
    }
    return UseSoftwarePath(true);
}

bool CreateHeadless(int width, int height) {
    VideoState& s = State();
    if (HasRenderer() && s.backend->DrawsPixels() && s.settings.width == width &&
        s.settings.height == height) {
        return true;
    }
    DestroyRenderer();
    s.settings = TwWindowSettings{"Zorbit Volley", true, 0, 0, width, height};
    // A hidden window still receives the events tests push; the picture stays in memory.
    if (Init() && !s.window) {
        s.window =
            SDL_CreateWindow(s.settings.title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
    }
    if (!SdlRenderersOnly()) {
        return UseSoftwarePath(false);
    }
    if (s.window && UseSdlSoftwareRenderer(s.window, nullptr)) {
        return true;
    }
    // No usable video driver: SDL draws into memory.
    s.memorySurface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (s.memorySurface && UseSdlSoftwareRenderer(nullptr, s.memorySurface)) {
        return true;
    }
    SDL_FreeSurface(s.memorySurface);
    s.memorySurface = nullptr;
    return false;
}

bool CreateNullRenderer(int width, int height) {
    VideoState& s = State();
    DestroyRenderer();
    s.settings = TwWindowSettings{"Zorbit Volley", true, 0, 0, width, height};
    // A hidden window still receives the events tests push.
    if (Init() && !s.window) {
        s.window =
            SDL_CreateWindow(s.settings.title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
    }
    s.backend = MakeNullBackend();
    StartFrames();
    return true;
}

void DestroyRenderer() {
    VideoState& s = State();
    DropAllTexturePictures();
    if (s.backend) {
        s.backend->Close();
        s.backend.reset();
    }
    if (s.memorySurface) {
        SDL_FreeSurface(s.memorySurface);
        s.memorySurface = nullptr;
    }
}

int RefreshRate() {
    SDL_Window* window = State().window;
    SDL_DisplayMode mode{};
    const int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    if (SDL_GetCurrentDisplayMode(display < 0 ? 0 : display, &mode) == 0 && mode.refresh_rate > 0) {
        return mode.refresh_rate;
    }
    return 60;
}

void PaceFrame() {
    using Clock = std::chrono::steady_clock;
    VideoState& s = State();
    const Clock::time_point now = Clock::now();
    // Under a millisecond to go counts as paced already: presenting waited for the display.
    constexpr auto kSlack = std::chrono::milliseconds(1);
    if (s.lastFrameEnd == Clock::time_point{} || now + kSlack >= s.lastFrameEnd + s.refreshPeriod) {
        // First frame, or presenting already took a whole refresh (vsync or a slow frame).
        s.lastFrameEnd = now;
        return;
    }
    // Sleep to the very deadline (no busy waiting) and count the next period from it, so the
    // rate stays at the display's refresh even when a sleep ends a little late.
    const Clock::time_point deadline = s.lastFrameEnd + s.refreshPeriod;
    std::this_thread::sleep_until(deadline);
    s.lastFrameEnd = deadline;
}

} // namespace TwVideo
