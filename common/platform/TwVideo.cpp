#include "platform/TwVideo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <dirent.h>
#include <malloc.h>
#include <memory>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "platform/TwVideoInternal.h"

// A texture handle stays valid while the renderer comes and goes (display-mode change,
// device reset); only its SDL texture is dropped and `sdl` is then null until the picture
// is uploaded again through a new handle.
struct TwTexture {
    SDL_Texture* sdl = nullptr;
    int width = 0;
    int height = 0;
    bool opaque = false; // every pixel fully opaque: drawn untinted-alpha, it is a plain copy
    // Never reused, unlike the handle's address: frames are compared by it, so a picture
    // made where a destroyed one lived is never taken for the old one.
    std::uint64_t serial = 0;
};

namespace {

// One sprite of a frame, as submitted. Quads are told apart by the picture's serial; the
// handle of a quad on screen may already be gone.
struct FrameQuad {
    TwTexture* texture = nullptr;
    std::uint64_t serial = 0;
    TwQuadCorner corners[4];
    std::uint32_t argb = 0;
    bool operator==(const FrameQuad& other) const {
        return serial == other.serial && argb == other.argb &&
               std::equal(corners, corners + 4, other.corners);
    }
};

// The frame being built and the one on screen. Quads are drawn on the renderer only when
// the frame is presented or read back, so a frame equal to the one on screen costs nothing.
struct FrameRecord {
    std::vector<FrameQuad> quads;    // this frame's quads, in submission order
    std::vector<FrameQuad> onScreen; // the quads of the picture the window shows
    std::size_t drawn = 0;           // quads of `quads` already handed to the renderer
    bool clearAsked = false;         // the frame began with a clear
    bool cleared = false;            // ... and that clear was done on the renderer
    bool screenKnown = false;        // `onScreen` really is what the window shows
    bool redrawAsked = true;
    std::uint64_t presented = 0;
};

struct VideoState {
    bool sdlStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* memorySurface = nullptr; // headless renderer without a window
    TwWindowSettings settings;
    bool cursorShown = true;
    std::unordered_set<TwTexture*> textures;
    std::uint64_t lastSerial = 0;
    std::chrono::steady_clock::time_point lastFrameEnd{};
    std::chrono::nanoseconds refreshPeriod{0};
    Uint32 textureFormat = SDL_PIXELFORMAT_RGBA32;
    // The renderer draws into the window's own memory, which keeps the last picture between
    // frames (the software renderer), so a frame may redraw only where it changed.
    bool keepsPicture = false;
    // Scaled output with the software renderer: frames are drawn pixel for pixel into this
    // picture-sized canvas, which is then stretched onto the window in one copy.
    SDL_Texture* canvas = nullptr;
    bool frameOnCanvas = false; // the frame being drawn (and the last one drawn) uses it
    FrameRecord frame;
    std::vector<SDL_Rect> changedAreas;
};

VideoState& State() {
    static VideoState state;
    return state;
}

// Loading makes and drops many picture-sized buffers (file bytes, decoded pixels). The C
// library maps large blocks on their own and returns them when freed, but after the first such
// block is freed it raises that limit and keeps later ones in the heap, where their memory
// stays with the process. A fixed limit returns every large buffer as soon as it is dropped.
void KeepLargeBuffersOutOfTheHeap() {
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}

// Forgets the collected frame and what the screen shows (renderer gone or replaced).
void ForgetFrames() {
    FrameRecord& f = State().frame;
    f.quads.clear();
    f.onScreen.clear();
    f.drawn = 0;
    f.clearAsked = f.cleared = f.screenKnown = false;
    f.redrawAsked = true;
}

bool RenderQuad(SDL_Renderer* renderer, const FrameQuad& quad);
bool FindChangedAreas(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown,
                      std::vector<SDL_Rect>& areas);
bool DrawsPixelForPixel(SDL_Renderer* renderer);
void DrawChangedAreas(SDL_Renderer* renderer, const std::vector<FrameQuad>& quads,
                      const std::vector<SDL_Rect>& areas);

// Hands the frame's clear and every quad not drawn yet to the renderer.
// The canvas, made on first use; null when it cannot be made (frames then go to the window).
SDL_Texture* Canvas(VideoState& s) {
    if (!s.canvas) {
        // The window's own layout, so the stretch onto it is a straight copy.
        Uint32 format = s.window ? SDL_GetWindowPixelFormat(s.window)
                                 : static_cast<Uint32>(SDL_PIXELFORMAT_UNKNOWN);
        if (format == SDL_PIXELFORMAT_UNKNOWN) {
            format = SDL_PIXELFORMAT_RGB888;
        }
        s.canvas = SDL_CreateTexture(s.renderer, format, SDL_TEXTUREACCESS_TARGET, s.settings.width,
                                     s.settings.height);
        if (s.canvas) {
            SDL_SetTextureBlendMode(s.canvas, SDL_BLENDMODE_NONE);
            SDL_SetTextureScaleMode(s.canvas, SDL_ScaleModeLinear);
        }
    }
    return s.canvas;
}

// True when the software renderer's picture is scaled to the window: every sprite would be
// stretched on its own, far slower than drawing unscaled and stretching the finished picture.
bool WantsCanvas(VideoState& s) {
    return s.keepsPicture && !DrawsPixelForPixel(s.renderer) && Canvas(s);
}

// Points the renderer at where the frame is drawn: the canvas or the window.
void TargetFrame(VideoState& s) {
    SDL_SetRenderTarget(s.renderer, s.frameOnCanvas ? s.canvas : nullptr);
}

// Puts the finished canvas on the window (letterbox bars black).
void ShowCanvas(VideoState& s) {
    if (!s.frameOnCanvas) {
        return;
    }
    SDL_SetRenderTarget(s.renderer, nullptr);
    SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
    SDL_RenderClear(s.renderer);
    SDL_RenderCopy(s.renderer, s.canvas, nullptr, nullptr);
}

void DrawCollectedQuads() {
    VideoState& s = State();
    FrameRecord& f = s.frame;
    if (!s.renderer) {
        return;
    }
    if (!f.cleared && f.drawn == 0) {
        s.frameOnCanvas = WantsCanvas(s);
    }
    TargetFrame(s);
    if (f.clearAsked && !f.cleared) {
        SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
        SDL_RenderClear(s.renderer);
        f.cleared = true;
    }
    for (; f.drawn < f.quads.size(); ++f.drawn) {
        RenderQuad(s.renderer, f.quads[f.drawn]);
    }
    SDL_SetRenderTarget(s.renderer, nullptr);
}

// Events after which the window's picture must be drawn again even if the game's frame did
// not change: the contents were uncovered, shown again or resized, or the renderer lost them.
// Watched as SDL queues them, so no message handling above the platform layer is involved.
int WatchForRepaint(void*, SDL_Event* e) {
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
    return 1;
}

void DropAllTexturePictures() {
    ForgetFrames();
    for (TwTexture* texture : State().textures) {
        if (texture->sdl) {
            SDL_DestroyTexture(texture->sdl);
            texture->sdl = nullptr;
        }
    }
}

// Pictures are kept in the renderer's own pixel layout (the first 32-bit layout with alpha it
// lists), so drawing them blends straight into the window's picture instead of reordering
// the channels of every pixel in every frame.
Uint32 PreferredTextureFormat(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) == 0) {
        for (Uint32 i = 0; i < info.num_texture_formats; ++i) {
            const Uint32 format = info.texture_formats[i];
            if (!SDL_ISPIXELFORMAT_FOURCC(format) && SDL_ISPIXELFORMAT_ALPHA(format) &&
                SDL_BYTESPERPIXEL(format) == 4) {
                return format;
            }
        }
    }
    return SDL_PIXELFORMAT_RGBA32;
}

bool SetUpRenderer(SDL_Renderer* renderer) {
    VideoState& s = State();
    s.renderer = renderer;
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    if (SDL_RenderSetLogicalSize(renderer, s.settings.width, s.settings.height) != 0) {
        return false;
    }
    s.lastFrameEnd = {};
    s.textureFormat = PreferredTextureFormat(renderer);
    SDL_RendererInfo info{};
    s.keepsPicture =
        SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
    const int refresh = TwVideo::RefreshRate();
    s.refreshPeriod = std::chrono::nanoseconds(1'000'000'000 / (refresh > 0 ? refresh : 60));
    ForgetFrames();
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

// SDL's software renderer on the window. The finished picture goes to the display through
// the window system's shared memory, not through an OpenGL texture, so no OpenGL driver is
// loaded at all.
SDL_Renderer* CreateSoftwareRenderer(SDL_Window* window) {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
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
    width = State().settings.width;
    height = State().settings.height;
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
    SDL_AddEventWatch(WatchForRepaint, nullptr);
    return true;
}

void Quit() {
    VideoState& s = State();
    DestroyRenderer();
    DestroyWindow();
    if (s.sdlStarted) {
        SDL_DelEventWatch(WatchForRepaint, nullptr);
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

bool CreateRenderer() {
    VideoState& s = State();
    if (!s.window) {
        return false;
    }
    DestroyRenderer();
    // The player (or a test) chose a driver through SDL's own setting: take SDL's pick.
    const bool driverChosen = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
    if (!driverChosen && !GraphicsCardPresent()) {
        if (SDL_Renderer* renderer = CreateSoftwareRenderer(s.window)) {
            if (SetUpRenderer(renderer)) {
                return true;
            }
            SDL_DestroyRenderer(renderer);
            s.renderer = nullptr;
        }
    }
    const Uint32 attempts[] = {SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC,
                               SDL_RENDERER_ACCELERATED};
    for (Uint32 flags : attempts) {
        SDL_Renderer* renderer = SDL_CreateRenderer(s.window, -1, flags);
        if (renderer && !driverChosen && IsCpuOpenGl(renderer)) {
            SDL_DestroyRenderer(renderer);
            break; // the software renderer below does the same work for less
        }
        if (renderer) {
            if (SetUpRenderer(renderer)) {
                return true;
            }
            SDL_DestroyRenderer(renderer);
            s.renderer = nullptr;
        }
    }
    if (SDL_Renderer* renderer = CreateSoftwareRenderer(s.window)) {
        if (SetUpRenderer(renderer)) {
            return true;
        }
        SDL_DestroyRenderer(renderer);
        s.renderer = nullptr;
    }
    return false;
}

bool CreateHeadless(int width, int height) {
    VideoState& s = State();
    if (s.renderer && s.settings.width == width && s.settings.height == height) {
        return true;
    }
    DestroyRenderer();
    s.settings = TwWindowSettings{"Zorbit Volley", true, 0, 0, width, height};
    if (Init()) {
        if (!s.window) {
            s.window =
                SDL_CreateWindow(s.settings.title.c_str(), 0, 0, width, height, SDL_WINDOW_HIDDEN);
        }
        if (s.window) {
            if (SDL_Renderer* renderer = CreateSoftwareRenderer(s.window)) {
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
        SDL_DestroyRenderer(s.renderer); // takes the canvas with it
        s.renderer = nullptr;
    }
    s.canvas = nullptr;
    s.frameOnCanvas = false;
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

} // namespace TwVideo

namespace {

bool IsOpaque(int width, int height, const std::uint8_t* rgba) {
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < count; ++i) {
        if (rgba[i * 4 + 3] != 0xFF) {
            return false;
        }
    }
    return true;
}

// Makes the SDL texture of a picture in the renderer's layout, reordering the pixels on the
// way when the layouts differ.
SDL_Texture* UploadPicture(VideoState& s, int width, int height, const std::uint8_t* rgba) {
    const int pitch = width * 4;
    SDL_Texture* sdl =
        SDL_CreateTexture(s.renderer, s.textureFormat, SDL_TEXTUREACCESS_STATIC, width, height);
    if (!sdl) {
        return nullptr;
    }
    if (s.textureFormat == SDL_PIXELFORMAT_RGBA32) {
        if (SDL_UpdateTexture(sdl, nullptr, rgba, pitch) != 0) {
            SDL_DestroyTexture(sdl);
            return nullptr;
        }
        return sdl;
    }
    // Reordered a band of rows at a time, so a large picture needs no second full-size copy.
    constexpr int kBandBytes = 256 * 1024;
    const int bandRows = std::max(1, std::min(height, kBandBytes / pitch));
    std::unique_ptr<std::uint8_t[]> band(
        new std::uint8_t[static_cast<std::size_t>(pitch) * static_cast<std::size_t>(bandRows)]);
    for (int row = 0; row < height; row += bandRows) {
        const int rows = std::min(bandRows, height - row);
        const SDL_Rect part{0, row, width, rows};
        if (SDL_ConvertPixels(width, rows, SDL_PIXELFORMAT_RGBA32,
                              rgba + static_cast<std::size_t>(row) * pitch, pitch, s.textureFormat,
                              band.get(), pitch) != 0 ||
            SDL_UpdateTexture(sdl, &part, band.get(), pitch) != 0) {
            SDL_DestroyTexture(sdl);
            return nullptr;
        }
    }
    return sdl;
}

} // namespace

namespace TwVideo {

TwTexture* CreateTexture(int width, int height, const std::uint8_t* rgba) {
    VideoState& s = State();
    if (!s.renderer || !rgba || width <= 0 || height <= 0) {
        return nullptr;
    }
    SDL_Texture* sdl = UploadPicture(s, width, height, rgba);
    if (!sdl) {
        return nullptr;
    }
    SDL_SetTextureBlendMode(sdl, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(sdl, SDL_ScaleModeLinear);
    auto* texture =
        new TwTexture{sdl, width, height, IsOpaque(width, height, rgba), ++s.lastSerial};
    s.textures.insert(texture);
    return texture;
}

void DestroyTexture(TwTexture* texture) {
    VideoState& s = State();
    if (!texture || s.textures.erase(texture) == 0) {
        return; // unknown handle: never free what we did not hand out
    }
    // Quads of this frame may still use the picture.
    DrawCollectedQuads();
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
    VideoState& s = State();
    if (!s.renderer) {
        return;
    }
    FrameRecord& f = s.frame;
    f.quads.clear();
    f.drawn = 0;
    f.clearAsked = true;
    f.cleared = false;
}

bool DrawQuad(TwTexture* texture, const TwQuadCorner corners[4], std::uint32_t argb) {
    VideoState& s = State();
    if (!s.renderer || !texture || !texture->sdl || !corners) {
        return false;
    }
    FrameQuad& quad = s.frame.quads.emplace_back();
    quad.texture = texture;
    quad.serial = texture->serial;
    std::copy(corners, corners + 4, quad.corners);
    quad.argb = argb;
    return true;
}

bool Present() {
    VideoState& s = State();
    FrameRecord& f = s.frame;
    if (!s.renderer) {
        return false;
    }
    const bool nothingDrawnYet = !f.cleared && f.drawn == 0;
    if (f.clearAsked && nothingDrawnYet && f.screenKnown && !f.redrawAsked &&
        f.quads == f.onScreen) {
        f.quads.clear();
        f.clearAsked = false;
        return false;
    }
    std::vector<SDL_Rect>& areas = s.changedAreas;
    // Only changed areas are redrawn when the picture kept from the last frame is drawn pixel
    // for pixel in the same place (the window unscaled, or the canvas both times).
    const bool onCanvas = nothingDrawnYet ? WantsCanvas(s) : s.frameOnCanvas;
    const bool samePlace = onCanvas ? s.frameOnCanvas : DrawsPixelForPixel(s.renderer);
    if (s.keepsPicture && f.clearAsked && nothingDrawnYet && f.screenKnown && !f.redrawAsked &&
        samePlace && onCanvas == s.frameOnCanvas && FindChangedAreas(f.quads, f.onScreen, areas)) {
        TargetFrame(s);
        DrawChangedAreas(s.renderer, f.quads, areas);
        SDL_SetRenderTarget(s.renderer, nullptr);
    } else {
        DrawCollectedQuads();
    }
    ShowCanvas(s);
    SDL_RenderPresent(s.renderer);
    ++f.presented;
    // Only a frame drawn from a clear screen is known in full; anything else was drawn over
    // an earlier picture.
    f.screenKnown = f.clearAsked;
    f.onScreen.swap(f.quads);
    f.quads.clear();
    f.drawn = 0;
    f.clearAsked = f.cleared = false;
    f.redrawAsked = false;
    return true;
}

std::uint64_t PresentedFrames() {
    return State().frame.presented;
}

void FinishDrawing() {
    DrawCollectedQuads();
    if (SDL_Renderer* renderer = State().renderer) {
        SDL_RenderFlush(renderer);
    }
}

void RequestRedraw() {
    State().frame.redrawAsked = true;
}

bool ReadPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    SDL_Renderer* renderer = State().renderer;
    if (!renderer) {
        return false;
    }
    DrawCollectedQuads();
    ShowCanvas(State());
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

namespace {

// An upright quad (not turned, possibly mirrored or scaled) as a rectangle copy: the
// software renderer blends rectangles with its blitters, many times faster than filling two
// textured triangles pixel by pixel.
bool CopyUprightQuad(SDL_Renderer* renderer, const FrameQuad& quad) {
    const TwQuadCorner* c = quad.corners;
    if (c[0].y != c[1].y || c[2].y != c[3].y || c[0].x != c[2].x || c[1].x != c[3].x) {
        return false;
    }
    const float u0 = c[0].u, v0 = c[0].v, u1 = c[3].u, v1 = c[3].v;
    if (u0 != std::floor(u0) || v0 != std::floor(v0) || u1 != std::floor(u1) ||
        v1 != std::floor(v1) || u1 <= u0 || v1 <= v0) {
        return false; // texel edges off the pixel grid: leave it to the triangles
    }
    int flip = SDL_FLIP_NONE;
    float left = c[0].x, right = c[1].x, top = c[0].y, bottom = c[2].y;
    if (right < left) {
        std::swap(left, right);
        flip |= SDL_FLIP_HORIZONTAL;
    }
    if (bottom < top) {
        std::swap(top, bottom);
        flip |= SDL_FLIP_VERTICAL;
    }
    SDL_Texture* sdl = quad.texture->sdl;
    const SDL_Color color = ToColor(quad.argb);
    SDL_SetTextureColorMod(sdl, color.r, color.g, color.b);
    SDL_SetTextureAlphaMod(sdl, color.a);
    // An opaque picture drawn without transparency covers what is under it: copying it is
    // the same picture as blending it, and several times cheaper.
    const bool covers = quad.texture->opaque && color.a == 255;
    SDL_SetTextureBlendMode(sdl, covers ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    const SDL_Rect src{static_cast<int>(u0), static_cast<int>(v0), static_cast<int>(u1 - u0),
                       static_cast<int>(v1 - v0)};
    const SDL_FRect dest{left, top, right - left, bottom - top};
    const int result = flip == SDL_FLIP_NONE
                           ? SDL_RenderCopyF(renderer, sdl, &src, &dest)
                           : SDL_RenderCopyExF(renderer, sdl, &src, &dest, 0, nullptr,
                                               static_cast<SDL_RendererFlip>(flip));
    return result == 0;
}

bool RenderQuad(SDL_Renderer* renderer, const FrameQuad& quad) {
    TwTexture* texture = quad.texture;
    if (!texture->sdl) {
        return false;
    }
    if (CopyUprightQuad(renderer, quad)) {
        return true;
    }
    SDL_SetTextureBlendMode(texture->sdl, SDL_BLENDMODE_BLEND);
    const SDL_Color color = ToColor(quad.argb);
    const float invW = 1.0f / static_cast<float>(texture->width);
    const float invH = 1.0f / static_cast<float>(texture->height);
    const TwQuadCorner* corners = quad.corners;
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
        return SDL_RenderGeometry(renderer, texture->sdl, vertices, 4, kQuad, 6) == 0;
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
    return SDL_RenderGeometry(renderer, texture->sdl, fan, 5, kFan, 12) == 0;
}

} // namespace

namespace {

// The game picture is not scaled to the window (an 800 x 600 window): only then does a sprite
// drawn clipped to an area land on exactly the pixels it covers when drawn whole. Scaled, the
// rounding of a clipped blit could leave seams at the edges of redrawn areas.
bool DrawsPixelForPixel(SDL_Renderer* renderer) {
    float scaleX = 0, scaleY = 0;
    SDL_RenderGetScale(renderer, &scaleX, &scaleY);
    return scaleX == 1.0f && scaleY == 1.0f;
}

// The screen pixels a quad can touch, grown by two pixels for the filtering at its edges.
SDL_Rect QuadBounds(const FrameQuad& quad) {
    float left = quad.corners[0].x, right = left, top = quad.corners[0].y, bottom = top;
    for (const TwQuadCorner& c : quad.corners) {
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, c.y);
        bottom = std::max(bottom, c.y);
    }
    constexpr float kLimit = 1 << 20; // far off-screen positions stay within int range
    left = std::clamp(left, -kLimit, kLimit);
    right = std::clamp(right, -kLimit, kLimit);
    top = std::clamp(top, -kLimit, kLimit);
    bottom = std::clamp(bottom, -kLimit, kLimit);
    const int x0 = static_cast<int>(std::floor(left)) - 2;
    const int y0 = static_cast<int>(std::floor(top)) - 2;
    const int x1 = static_cast<int>(std::ceil(right)) + 2;
    const int y1 = static_cast<int>(std::ceil(bottom)) + 2;
    return SDL_Rect{x0, y0, x1 - x0, y1 - y0};
}

struct QuadHash {
    std::size_t operator()(const FrameQuad& quad) const {
        std::uint64_t h = 1469598103934665603ull;
        auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
        mix(quad.serial);
        mix(quad.argb);
        for (const TwQuadCorner& c : quad.corners) {
            for (float f : {c.x, c.y, c.u, c.v}) {
                std::uint32_t bits = 0;
                std::memcpy(&bits, &f, sizeof bits);
                mix(bits);
            }
        }
        return static_cast<std::size_t>(h);
    }
};

long long AreaOf(const SDL_Rect& r) {
    return static_cast<long long>(r.w) * r.h;
}

// Adds `r` to the areas. It is merged with an area when their joint rectangle is no larger
// than the two drawn apart (overlapping areas are each cleared and redrawn, which is correct
// but draws the overlap twice); past 32 areas it joins the one it enlarges least.
void AddArea(std::vector<SDL_Rect>& areas, SDL_Rect r) {
    constexpr std::size_t kMostAreas = 32;
    for (bool merged = true; merged;) {
        merged = false;
        for (std::size_t i = 0; i < areas.size(); ++i) {
            SDL_Rect joint;
            SDL_UnionRect(&areas[i], &r, &joint);
            if (AreaOf(joint) <= AreaOf(areas[i]) + AreaOf(r)) {
                r = joint;
                areas.erase(areas.begin() + static_cast<std::ptrdiff_t>(i));
                merged = true;
                break;
            }
        }
    }
    if (areas.size() < kMostAreas) {
        areas.push_back(r);
        return;
    }
    std::size_t best = 0;
    long long bestGrowth = -1;
    for (std::size_t i = 0; i < areas.size(); ++i) {
        SDL_Rect joint;
        SDL_UnionRect(&areas[i], &r, &joint);
        const long long growth = AreaOf(joint) - AreaOf(areas[i]);
        if (bestGrowth < 0 || growth < bestGrowth) {
            best = i;
            bestGrowth = growth;
        }
    }
    SDL_UnionRect(&areas[best], &r, &areas[best]);
}

// Where a frame differs from the picture on screen: the places of the sprites that came,
// went or changed. False when the frame must be drawn whole: sprites common to both were
// drawn in another order (their overlaps may look different) or most of the screen changed.
bool FindChangedAreas(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown,
                      std::vector<SDL_Rect>& areas) {
    areas.clear();
    std::unordered_map<FrameQuad, int, QuadHash> unmatched;
    unmatched.reserve(shown.size());
    for (const FrameQuad& quad : shown) {
        ++unmatched[quad];
    }
    std::vector<const FrameQuad*> keptNow;
    keptNow.reserve(now.size());
    for (const FrameQuad& quad : now) {
        const auto it = unmatched.find(quad);
        if (it != unmatched.end() && it->second > 0) {
            --it->second;
            keptNow.push_back(&quad);
        } else {
            AddArea(areas, QuadBounds(quad));
        }
    }
    std::size_t kept = 0;
    for (const FrameQuad& quad : shown) {
        const auto it = unmatched.find(quad);
        if (it->second > 0) {
            --it->second;
            AddArea(areas, QuadBounds(quad));
        } else if (kept >= keptNow.size() || !(*keptNow[kept++] == quad)) {
            return false;
        }
    }
    int width = 0, height = 0;
    TwVideo::PictureSize(width, height);
    const SDL_Rect screen{0, 0, width, height};
    long long changed = 0;
    for (SDL_Rect& area : areas) {
        if (!SDL_IntersectRect(&area, &screen, &area)) {
            area = SDL_Rect{0, 0, 0, 0};
        }
        changed += static_cast<long long>(area.w) * area.h;
    }
    // Past about half the screen, one whole redraw is as cheap as many clipped ones.
    return changed * 2 <= static_cast<long long>(width) * height;
}

// Redraws only the changed areas: each is cleared to black and every sprite reaching into it
// is drawn again, clipped to it, in the frame's order.
void DrawChangedAreas(SDL_Renderer* renderer, const std::vector<FrameQuad>& quads,
                      const std::vector<SDL_Rect>& areas) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    for (const SDL_Rect& area : areas) {
        if (area.w <= 0 || area.h <= 0) {
            continue;
        }
        SDL_RenderSetClipRect(renderer, &area);
        SDL_RenderFillRect(renderer, &area);
        for (const FrameQuad& quad : quads) {
            const SDL_Rect bounds = QuadBounds(quad);
            if (SDL_HasIntersection(&bounds, &area)) {
                RenderQuad(renderer, quad);
            }
        }
    }
    SDL_RenderSetClipRect(renderer, nullptr);
}

} // namespace
