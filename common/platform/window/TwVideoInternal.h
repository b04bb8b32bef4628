#pragma once
// Shared between the window's own files: the texture handle, the frame record and the one
// video state; never included outside common/platform/window/.
#include <SDL.h>
#include <chrono>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

#include "platform/compositor/TwSoftwareCompositor.h"
#include "platform/window/TwFrameBackend.h"
#include "platform/window/TwVideo.h"
#include "platform/window/TwWindowInput.h"

// A texture handle stays valid while the renderer comes and goes (display-mode change,
// device reset); only its picture is dropped and then null until the picture is uploaded
// again through a new handle. A picture lives either as an SDL texture (an SDL renderer
// draws) or as premultiplied pixels the software compositor draws from.
struct TwTexture {
    SDL_Texture* sdl = nullptr;
    pixman_image_t* image = nullptr;
    bool hasPicture = false; // the current backend made its picture
    bool evenAlpha = false;  // one alpha everywhere (opaque pictures among them)
    int width = 0;
    int height = 0;
    bool opaque = false; // every pixel fully opaque: drawn untinted-alpha, it is a plain copy
    // Never reused, unlike the handle's address: frames are compared by it, so a picture
    // made where a destroyed one lived is never taken for the old one.
    std::uint64_t serial = 0;
};

// The frame being built and the one on screen. Quads are drawn only when the frame is
// presented or read back, so a frame equal to the one on screen costs nothing.
struct FrameRecord {
    std::vector<FrameQuad> quads;    // this frame's quads, in submission order
    std::vector<FrameQuad> onScreen; // the quads of the picture the window shows
    std::size_t drawn = 0;           // quads of `quads` already drawn
    bool clearAsked = false;         // the frame began with a clear
    bool cleared = false;            // ... and that clear was done
    bool screenKnown = false;        // `onScreen` really is what the window shows
    bool redrawAsked = true;
    std::uint64_t presented = 0;

    FrameRecord() = default;
    FrameRecord(const FrameRecord&) = delete;
    FrameRecord& operator=(const FrameRecord&) = delete;
    // A frame still being built when the program ends gives back its quads' references to
    // the pictures' pixels.
    ~FrameRecord();
};

namespace TwVideo {

struct VideoState {
    bool sdlStarted = false;
    SDL_Window* window = nullptr;
    SDL_Surface* memorySurface = nullptr; // SDL's renderer on memory, without a window
    TwWindowSettings settings;
    bool cursorShown = true;
    std::unordered_set<TwTexture*> textures;
    std::uint64_t lastSerial = 0;
    std::chrono::steady_clock::time_point lastFrameEnd{};
    std::chrono::nanoseconds refreshPeriod{0};
    // What draws the frames; null without a renderer.
    std::unique_ptr<TwFrameBackend> backend;
    FrameRecord frame;
};

// The one video state of the process.
VideoState& State();

// Forgets the collected frame and what the screen shows (renderer gone or replaced).
void ForgetFrames();
// Drops every picture's pixels (the renderer or the compositor goes away).
void DropAllTexturePictures();
// Hands the frame's clear and every quad not drawn yet to the backend.
void DrawCollectedQuads();

// Events after which the window's picture must be drawn again.
int WatchWindowEvents(void*, SDL_Event* e);
void KeepLargeBuffersOutOfTheHeap();

} // namespace TwVideo
