#include "platform/TwVideo.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "platform/TwVideoInternal.h"

// A texture handle stays valid while the renderer comes and goes (display-mode change,
// device reset); only its SDL texture is dropped and `sdl` is then null until the picture
// is uploaded again through a new handle.
struct TwTexture {
    SDL_Texture* sdl = nullptr;
    int width = 0;
    int height = 0;
};

namespace {

struct VideoState {
    bool sdlStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* memorySurface = nullptr; // headless renderer without a window
    TwWindowSpec spec;
    bool cursorShown = true;
    std::unordered_set<TwTexture*> textures;
    std::uint64_t lastFrameEnd = 0; // performance-counter ticks
};

VideoState& State() {
    static VideoState state;
    return state;
}

void DropAllTexturePictures() {
    for (TwTexture* texture : State().textures) {
        if (texture->sdl) {
            SDL_DestroyTexture(texture->sdl);
            texture->sdl = nullptr;
        }
    }
}

bool SetUpRenderer(SDL_Renderer* renderer) {
    VideoState& s = State();
    s.renderer = renderer;
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    if (SDL_RenderSetLogicalSize(renderer, s.spec.width, s.spec.height) != 0) {
        return false;
    }
    s.lastFrameEnd = 0;
    return true;
}

SDL_Color ToColor(std::uint32_t argb) {
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                     static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

} // namespace

namespace TwVideo {

SDL_Window* SdlWindow() {
    return State().window;
}

void PictureSize(int& width, int& height) {
    width = State().spec.width;
    height = State().spec.height;
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
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        return false;
    }
    s.sdlStarted = true;
    return true;
}

void Quit() {
    VideoState& s = State();
    DestroyRenderer();
    DestroyWindow();
    if (s.sdlStarted) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        s.sdlStarted = false;
    }
}

bool CreateWindow(const TwWindowSpec& spec) {
    VideoState& s = State();
    if (!Init()) {
        return false;
    }
    DestroyWindow();
    s.spec = spec;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    SDL_Rect place{spec.x, spec.y, spec.width, spec.height};
    if (!spec.windowed) {
        // Desktop full screen; the window is also made borderless at the desktop's size, so
        // it covers the screen even where no window manager acts on the full-screen request.
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        if (SDL_GetDisplayBounds(0, &place) != 0) {
            place = SDL_Rect{0, 0, spec.width, spec.height};
        }
    }
    s.window = SDL_CreateWindow(spec.title.c_str(), place.x, place.y, place.w, place.h, flags);
    return s.window != nullptr;
}

void DestroyWindow() {
    VideoState& s = State();
    if (s.renderer) {
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
    if (!window || !State().spec.windowed ||
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

bool CreateRenderer() {
    VideoState& s = State();
    if (!s.window) {
        return false;
    }
    DestroyRenderer();
    const Uint32 attempts[] = {SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC,
                               SDL_RENDERER_ACCELERATED, SDL_RENDERER_SOFTWARE};
    for (Uint32 flags : attempts) {
        if (SDL_Renderer* renderer = SDL_CreateRenderer(s.window, -1, flags)) {
            if (SetUpRenderer(renderer)) {
                return true;
            }
            SDL_DestroyRenderer(renderer);
            s.renderer = nullptr;
        }
    }
    return false;
}

bool CreateHeadless(int width, int height) {
    VideoState& s = State();
    if (s.renderer && s.spec.width == width && s.spec.height == height) {
        return true;
    }
    DestroyRenderer();
    s.spec = TwWindowSpec{"Zorbit Volley", true, 0, 0, width, height};
    if (Init()) {
        if (!s.window) {
            s.window =
                SDL_CreateWindow(s.spec.title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
        }
        if (s.window) {
            if (SDL_Renderer* renderer = SDL_CreateRenderer(s.window, -1, SDL_RENDERER_SOFTWARE)) {
                if (SetUpRenderer(renderer)) {
                    return true;
                }
                SDL_DestroyRenderer(renderer);
                s.renderer = nullptr;
            }
        }
    }
    // No usable video driver: draw into memory.
    s.memorySurface =
        SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s.memorySurface) {
        return false;
    }
    if (SDL_Renderer* renderer = SDL_CreateSoftwareRenderer(s.memorySurface)) {
        if (SetUpRenderer(renderer)) {
            return true;
        }
        SDL_DestroyRenderer(renderer);
        s.renderer = nullptr;
    }
    SDL_FreeSurface(s.memorySurface);
    s.memorySurface = nullptr;
    return false;
}

void DestroyRenderer() {
    VideoState& s = State();
    DropAllTexturePictures();
    if (s.renderer) {
        SDL_DestroyRenderer(s.renderer);
        s.renderer = nullptr;
    }
    if (s.memorySurface) {
        SDL_FreeSurface(s.memorySurface);
        s.memorySurface = nullptr;
    }
}

bool HasRenderer() {
    return State().renderer != nullptr;
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

TwTexture* CreateTexture(int width, int height, const std::uint8_t* rgba) {
    VideoState& s = State();
    if (!s.renderer || !rgba || width <= 0 || height <= 0) {
        return nullptr;
    }
    SDL_Texture* sdl = SDL_CreateTexture(s.renderer, SDL_PIXELFORMAT_RGBA32,
                                         SDL_TEXTUREACCESS_STATIC, width, height);
    if (!sdl) {
        return nullptr;
    }
    if (SDL_UpdateTexture(sdl, nullptr, rgba, width * 4) != 0) {
        SDL_DestroyTexture(sdl);
        return nullptr;
    }
    SDL_SetTextureBlendMode(sdl, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(sdl, SDL_ScaleModeLinear);
    auto* texture = new TwTexture{sdl, width, height};
    s.textures.insert(texture);
    return texture;
}

void DestroyTexture(TwTexture* texture) {
    VideoState& s = State();
    if (!texture || s.textures.erase(texture) == 0) {
        return; // unknown handle: never free what we did not hand out
    }
    if (texture->sdl) {
        SDL_DestroyTexture(texture->sdl);
    }
    delete texture;
}

bool TextureSize(const TwTexture* texture, int& width, int& height) {
    if (!texture || State().textures.count(const_cast<TwTexture*>(texture)) == 0) {
        return false;
    }
    width = texture->width;
    height = texture->height;
    return true;
}

int LiveTextureCount() {
    return static_cast<int>(State().textures.size());
}

void Clear() {
    if (SDL_Renderer* renderer = State().renderer) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
    }
}

bool DrawQuad(TwTexture* texture, const TwQuadCorner corners[4], std::uint32_t argb) {
    VideoState& s = State();
    if (!s.renderer || !texture || !texture->sdl || !corners) {
        return false;
    }
    const SDL_Color color = ToColor(argb);
    const float invW = 1.0f / static_cast<float>(texture->width);
    const float invH = 1.0f / static_cast<float>(texture->height);
    SDL_Vertex vertices[4];
    for (int i = 0; i < 4; ++i) {
        vertices[i].position = SDL_FPoint{corners[i].x, corners[i].y};
        vertices[i].color = color;
        vertices[i].tex_coord = SDL_FPoint{corners[i].u * invW, corners[i].v * invH};
    }
    // A quad whose top edge is not horizontal (a turned sprite) is drawn as a fan around its
    // centre: the software renderer takes any two-triangle quad with axis-aligned corners for
    // a plain blit and would then lose a quarter turn.
    const bool turned = std::fabs(corners[1].y - corners[0].y) > 0.001f;
    if (!turned) {
        static const int kQuad[6] = {0, 1, 2, 1, 3, 2};
        return SDL_RenderGeometry(s.renderer, texture->sdl, vertices, 4, kQuad, 6) == 0;
    }
    SDL_Vertex fan[5] = {vertices[0], vertices[1], vertices[2], vertices[3], vertices[0]};
    SDL_Vertex& centre = fan[4];
    centre.position = SDL_FPoint{0, 0};
    centre.tex_coord = SDL_FPoint{0, 0};
    for (const SDL_Vertex& corner : vertices) {
        centre.position.x += 0.25f * corner.position.x;
        centre.position.y += 0.25f * corner.position.y;
        centre.tex_coord.x += 0.25f * corner.tex_coord.x;
        centre.tex_coord.y += 0.25f * corner.tex_coord.y;
    }
    static const int kFan[12] = {0, 1, 4, 1, 3, 4, 3, 2, 4, 2, 0, 4};
    return SDL_RenderGeometry(s.renderer, texture->sdl, fan, 5, kFan, 12) == 0;
}

void Present() {
    if (SDL_Renderer* renderer = State().renderer) {
        SDL_RenderPresent(renderer);
    }
}

bool ReadPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    SDL_Renderer* renderer = State().renderer;
    if (!renderer) {
        return false;
    }
    // The letterboxed picture in output pixels.
    SDL_Rect viewport{};
    float scaleX = 1, scaleY = 1;
    SDL_RenderGetViewport(renderer, &viewport);
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    width = static_cast<int>(std::lround(viewport.w * scaleX));
    height = static_cast<int>(std::lround(viewport.h * scaleY));
    if (width <= 0 || height <= 0) {
        return false;
    }
    argb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(),
                                width * 4) == 0;
}

void PaceFrame() {
    VideoState& s = State();
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    const std::uint64_t period = frequency / static_cast<std::uint64_t>(RefreshRate());
    const std::uint64_t now = SDL_GetPerformanceCounter();
    if (s.lastFrameEnd == 0 || now - s.lastFrameEnd >= period) {
        // First frame, or presenting already took a whole refresh (vsync or a slow frame).
        s.lastFrameEnd = now;
        return;
    }
    const std::uint64_t deadline = s.lastFrameEnd + period;
    const std::uint64_t remainingMs = (deadline - now) * 1000 / frequency;
    // Under a millisecond left means presentation is already paced by the display.
    if (remainingMs >= 1) {
        SDL_Delay(static_cast<Uint32>(remainingMs));
    }
    s.lastFrameEnd = deadline;
}

} // namespace TwVideo
