#include <cmath>
#include <malloc.h>

#include "platform/window/TwVideoInternal.h"

namespace TwVideo {

// Loading makes and drops many picture-sized buffers (file bytes, decoded pixels). The C
// library maps large blocks on their own and returns them when freed, but after the first such
// block is freed it raises that limit and keeps later ones in the heap, where their memory
// stays with the process. A fixed limit returns every large buffer as soon as it is dropped.
void KeepLargeBuffersOutOfTheHeap() {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

// Events after which the window's picture must be drawn again even if the game's frame did
// not change: the contents were uncovered, shown again or resized, or the renderer lost them.
// Watched as SDL queues them, so no message handling above the platform layer is involved;
// pointer positions are turned into game pixels here when the compositor draws.
int WatchWindowEvents(void*, SDL_Event* e) {
    bool repaint = e->type == SDL_RENDER_TARGETS_RESET || e->type == SDL_RENDER_DEVICE_RESET;
    if (e->type == SDL_WINDOWEVENT) {
        switch (e->window.event) {
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESIZED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_MAXIMIZED:
        case SDL_WINDOWEVENT_RESTORED:
            repaint = true;
            break;
        default:
            break;
        }
    }
    if (repaint) {
        TwVideo::RequestRedraw();
    }
    // Without an SDL renderer nobody else maps the pointer through the letterbox.
    VideoState& s = State();
    if (s.backend && s.backend->MapsWindowPositions() && s.window) {
        const Uint32 id = SDL_GetWindowID(s.window);
        if ((e->type == SDL_MOUSEMOTION && e->motion.windowID == id)) {
            s.backend->WindowToPicture(e->motion.x, e->motion.y);
        } else if ((e->type == SDL_MOUSEBUTTONDOWN || e->type == SDL_MOUSEBUTTONUP) &&
                   e->button.windowID == id) {
            s.backend->WindowToPicture(e->button.x, e->button.y);
        }
    }
    return 1;
}

SDL_Window* SdlWindow() {
    return State().window;
}

void PictureSize(int& width, int& height) {
    width = State().settings.width;
    height = State().settings.height;
}

void FingerToPicture(float fx, float fy, int& x, int& y) {
    const VideoState& s = State();
    if (s.backend && s.backend->MapsWindowPositions() && s.window) {
        int width = 0, height = 0;
        SDL_GetWindowSize(s.window, &width, &height);
        x = static_cast<int>(fx * static_cast<float>(width));
        y = static_cast<int>(fy * static_cast<float>(height));
        s.backend->WindowToPicture(x, y);
        return;
    }
    // SDL's renderer has put the finger on its logical picture already.
    x = static_cast<int>(std::lround(fx * static_cast<float>(s.settings.width - 1)));
    y = static_cast<int>(std::lround(fy * static_cast<float>(s.settings.height - 1)));
}

// SDL falls back to drawing nowhere when no display can be reached; only an explicit
// SDL_VIDEODRIVER (the tests, headless tools) asks for that on purpose.
bool OnlyInvisibleDisplay() {
    if (SDL_getenv("SDL_VIDEODRIVER") != nullptr) {
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr &&
           (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
}

bool Init() {
    VideoState& s = State();
    if (s.sdlStarted) {
        return true;
    }
    // Behave like a normal desktop window: the screen saver may still start, and the click
    // that brings the window to the front is a click in the game as well.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // Polling returns every queued event; without this SDL ends a poll round early at a
    // marker it queues, and a message pushed after it would wait a round.
    SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
    KeepLargeBuffersOutOfTheHeap();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        return false;
    }
    if (OnlyInvisibleDisplay()) {
        // No screen: a window nobody can see or close would only hold the single-copy lock.
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    s.sdlStarted = true;
    SDL_AddEventWatch(WatchWindowEvents, nullptr);
    return true;
}

void Quit() {
    VideoState& s = State();
    DestroyRenderer();
    DestroyWindow();
    if (s.sdlStarted) {
        SDL_DelEventWatch(WatchWindowEvents, nullptr);
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        s.sdlStarted = false;
    }
}

bool CreateWindow(const TwWindowSettings& settings) {
    VideoState& s = State();
    if (!Init()) {
        return false;
    }
    DestroyWindow();
    s.settings = settings;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    SDL_Rect place{settings.x, settings.y, settings.width, settings.height};
    if (!settings.windowed) {
        // Desktop full screen; the window is also made borderless at the desktop's size, so
        // it covers the screen even where no window manager acts on the full-screen request.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        if (SDL_GetDisplayBounds(0, &place) != 0) {
            place = SDL_Rect{0, 0, settings.width, settings.height};
        }
    } else {
        // The player may size the window; the picture is scaled into it with its shape kept.
        flags |= SDL_WINDOW_RESIZABLE;
    }
    s.window = SDL_CreateWindow(settings.title.c_str(), place.x, place.y, place.w, place.h, flags);
    if (s.window && settings.windowed) {
        SDL_SetWindowMinimumSize(s.window, settings.width / 2, settings.height / 2);
    }
    return s.window != nullptr;
}

bool WindowResizable() {
    SDL_Window* window = State().window;
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE) != 0;
}

void DestroyWindow() {
    VideoState& s = State();
    if (s.backend && s.backend->UsesWindow()) {
        DestroyRenderer();
    }
    if (s.window) {
        SDL_DestroyWindow(s.window);
        s.window = nullptr;
    }
}

bool HasWindow() {
    return State().window != nullptr;
}

void ShowWindow() {
    if (SDL_Window* window = State().window) {
        SDL_ShowWindow(window);
        SDL_RaiseWindow(window);
    }
}

int CaptionHeight() {
    SDL_Window* window = State().window;
    int top = 0;
    if (!window || !State().settings.windowed ||
        SDL_GetWindowBordersSize(window, &top, nullptr, nullptr, nullptr) != 0) {
        return 0;
    }
    return top;
}

void SetWindowIcon(int width, int height, const std::uint8_t* rgba) {
    SDL_Window* window = State().window;
    if (!window || !rgba || width <= 0 || height <= 0) {
        return;
    }
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint8_t*>(rgba), width, height, 32, width * 4, SDL_PIXELFORMAT_RGBA32);
    if (icon) {
        SDL_SetWindowIcon(window, icon);
        SDL_FreeSurface(icon);
    }
}

bool MouseOverClient() {
    SDL_Window* window = State().window;
    return window && SDL_GetMouseFocus() == window;
}

void ShowSystemCursor(bool show) {
    VideoState& s = State();
    if (s.cursorShown == show || !s.sdlStarted) {
        return;
    }
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    s.cursorShown = show;
}

} // namespace TwVideo
