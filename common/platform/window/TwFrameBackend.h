#pragma once
// What draws the window's frames: SDL's renderer, the software compositor, or nothing at all
// (tests that need no pixels). The frame's bookkeeping (collecting quads, skipping a frame
// equal to the one on screen) is the window's, in TwVideoFrame.cpp; a backend only makes
// pictures and draws, shows and reads back what it is given. Never included outside the
// window's own files.
#include <SDL.h>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/compositor/TwSoftwareCompositor.h"

struct FrameRecord;

class TwFrameBackend {
public:
    // Lets go of memory only, so a backend still open when the program ends goes quietly with
    // the one video state; Close does the rest.
    virtual ~TwFrameBackend() = default;
    // Ends the backend while SDL still runs: SDL's renderer, the compositor's kept shapes.
    virtual void Close() {}

    // Gives `texture` (its size set) its picture from RGBA pixels, top row first, and tells
    // whether it is opaque. False when the picture cannot be made.
    virtual bool Upload(TwTexture& texture, const std::uint8_t* rgba) = 0;
    // Lets go of a texture's picture (the texture is destroyed or the backend goes away).
    virtual void Drop(TwTexture& texture) = 0;
    // A quad has just been collected into the frame.
    virtual void Collected(FrameQuad&) {}
    // Draws the frame's clear and every quad not drawn yet.
    virtual void DrawCollected(FrameRecord& frame) = 0;
    // Shows the frame. `nothingDrawnYet`: no part of it was drawn before (by FinishDrawing
    // or a read-back), so it may be drawn only where it differs from the one on screen.
    virtual void Present(FrameRecord& frame, bool nothingDrawnYet) = 0;
    // Waits until everything handed over is drawn.
    virtual void Finish() {}
    // The picture drawn so far, ARGB8888, row by row, as the window shows it.
    virtual bool ReadPixels(FrameRecord& frame, std::vector<std::uint32_t>& argb, int& width,
                            int& height) = 0;
    // Without SDL's renderer nobody maps window positions through the letterbox: a backend
    // that shows the picture scaled in the window says so here and maps them.
    virtual bool MapsWindowPositions() const { return false; }
    // True when it draws on the window, and so must go before the window does.
    virtual bool UsesWindow() const = 0;
    // False for the backend that draws nothing.
    virtual bool DrawsPixels() const { return true; }
    virtual void WindowToPicture(int& /*x*/, int& /*y*/) const {}
};

namespace TwVideo {

// SDL's renderer (a graphics card's, or SDL's software renderer), set up for the game picture
// of width x height; null when it cannot be. The backend destroys the renderer when it is
// closed; on failure the caller still owns it.
std::unique_ptr<TwFrameBackend> MakeSdlRendererBackend(SDL_Renderer* renderer, int width,
                                                       int height);
// The software compositor, on the window's surface (`window`) or on a picture in memory
// (null); null when the window offers no surface it can draw into.
std::unique_ptr<TwFrameBackend> MakeCompositorBackend(SDL_Window* window, int width, int height);
// Draws nothing: frames are collected, compared and counted, pictures only sized.
std::unique_ptr<TwFrameBackend> MakeNullBackend();

} // namespace TwVideo
