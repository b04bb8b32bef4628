#pragma once
// Shared between the platform files that deal with the game window; never included above
// the platform layer.
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <unordered_set>
#include <vector>

#include "platform/TwVideo.h"

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

namespace TwVideo {

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

// The one video state of the process.
VideoState& State();

// The game window, or nullptr (also for a headless renderer on a memory surface).
SDL_Window* SdlWindow();
// The size of the game picture; mouse positions are clamped into it.
void PictureSize(int& width, int& height);

// Forgets the collected frame and what the screen shows (renderer gone or replaced).
void ForgetFrames();
// Drops the SDL texture of every picture (the renderer goes away).
void DropAllTexturePictures();

// Hands the frame's clear and every quad not drawn yet to the renderer.
void DrawCollectedQuads();
// True when the software renderer's picture is scaled to the window and a canvas exists.
bool WantsCanvas(VideoState& s);
// Points the renderer at where the frame is drawn: the canvas or the window.
void TargetFrame(VideoState& s);
// Puts the finished canvas on the window (letterbox bars black).
void ShowCanvas(VideoState& s);
// Draws one quad on the renderer; false when nothing could be drawn.
bool RenderQuad(SDL_Renderer* renderer, const FrameQuad& quad);
SDL_Color ToColor(std::uint32_t argb);

// The game picture is not scaled to the window.
bool DrawsPixelForPixel(SDL_Renderer* renderer);
// Where a frame differs from the picture on screen; false when it must be drawn whole.
bool FindChangedAreas(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown,
                      std::vector<SDL_Rect>& areas);
// Redraws only the changed areas, in the frame's order.
void DrawChangedAreas(SDL_Renderer* renderer, const std::vector<FrameQuad>& quads,
                      const std::vector<SDL_Rect>& areas);

// Events after which the window's picture must be drawn again.
int WatchForRepaint(void*, SDL_Event* e);
void KeepLargeBuffersOutOfTheHeap();

} // namespace TwVideo
