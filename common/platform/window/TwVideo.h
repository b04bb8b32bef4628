#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/compositor/TwQuadCorner.h"
#include "platform/window/TwTexture.h"

// The game's window and its renderer (SDL underneath). One process-wide display: the window
// shows an 800 x 600 game picture, letterboxed in full screen, so every coordinate the game
// sees is in game pixels whatever the desktop resolution.
//
// Engine code reaches this through TwRenderDevice and TwBaseApplication; nothing else
// should need it.

// How the window is made.
struct TwWindowSettings {
    std::string title;
    bool windowed = true;
    int x = 64, y = 64;            // window position when windowed
    int width = 800, height = 600; // client area (and the game picture's size)
};

namespace TwVideo {

// Starts the video and event parts of SDL once. False when no video driver works.
bool Init();
// Ends SDL video (after everything else was destroyed).
void Quit();

// Window. Creating again replaces the old window (the renderer must be gone first).
bool CreateWindow(const TwWindowSettings& settings);
void DestroyWindow();
bool HasWindow();
void ShowWindow();
// True when the player can resize the window (windowed mode); the game picture keeps its
// shape inside it, letterboxed.
bool WindowResizable();
// The window's title-bar height in pixels (0 full screen or when the system does not say).
int CaptionHeight();
// Sets the window icon from RGBA pixels, top row first.
void SetWindowIcon(int width, int height, const std::uint8_t* rgba);
// True while the mouse pointer is over the window's client area.
bool MouseOverClient();
// Shows or hides the system pointer over the window.
void ShowSystemCursor(bool show);

// Renderer on the window: accelerated with vsync when possible, software otherwise; logical
// size = the window's TwWindowSettings width x height, letterboxed. False when none can be made.
bool CreateRenderer();
// Renderer for tests: a hidden window on the current video driver with the software
// renderer, or a renderer on a memory surface when no window can be made.
bool CreateHeadless(int width, int height);
// Renderer for tests that need no pixels: frames are collected, compared with the one on
// screen and counted as with any renderer, but nothing is drawn and ReadPixels fails.
bool CreateNullRenderer(int width, int height);
// Destroys the renderer. Every texture loses its picture (draws nothing) until replaced.
void DestroyRenderer();
bool HasRenderer();
// Display refresh in Hz (60 when unknown).
int RefreshRate();

// Textures: RGBA8 pixels, top row first; alpha-blended, linear filtering.
TwTexture* CreateTexture(int width, int height, const std::uint8_t* rgba);
void DestroyTexture(TwTexture* texture);
bool TextureSize(const TwTexture* texture, int& width, int& height);
// Number of textures alive (for tests and leak checks).
int LiveTextureCount();

// Frame: clear to black, draw quads, present.
//
// A frame's quads are collected and only drawn when the frame is presented (or read back).
// When a frame that began with Clear holds exactly the quads of the frame on screen (same
// textures, corners, texel positions and colours, in the same order) and nothing asked for a
// redraw, it is neither drawn nor presented: the window still shows that very picture, and
// an idle screen costs next to nothing.
void Clear();
// One textured quad: corners in the order top-left, top-right, bottom-left, bottom-right of
// the source part, `argb` multiplies texel colour and alpha. False when nothing can be drawn
// (no renderer, or a texture without a picture).
bool DrawQuad(TwTexture* texture, const TwQuadCorner corners[4], std::uint32_t argb);
// Presents the frame; false when it was the picture already on screen and was skipped.
bool Present();
// Frames actually presented since the start (frames whose picture was unchanged are not).
std::uint64_t PresentedFrames();
// The next frame is drawn and presented whatever it holds: the window's contents were lost
// or changed size (exposed, restored, resized, render device reset). Window events ask for
// this by themselves.
void RequestRedraw();
// Draws the frame's collected quads now and waits until the renderer has done so, without
// presenting (benchmarks time the drawing of a frame with this).
void FinishDrawing();
// The picture drawn so far (before Present), ARGB8888, row by row. The frame's quads are
// drawn first.
bool ReadPixels(std::vector<std::uint32_t>& argb, int& width, int& height);

// Keeps the frame rate at the display's refresh when presenting does not wait for the
// vertical blank: sleeps out what is left of the refresh period since the last call.
void PaceFrame();

} // namespace TwVideo
