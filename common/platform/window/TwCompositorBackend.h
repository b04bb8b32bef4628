#pragma once
// The software compositor as the window's frame backend: frames composed into the window's
// own surface (or a picture in memory), and only what changed redrawn and shown. Shared by
// TwCompositorBackend.cpp (the frames) and TwCompositorScreen.cpp (the window's surface).
#include <SDL.h>
#include <vector>

#include "platform/compositor/TwSoftwareCompositor.h"
#include "platform/compositor/TwSoftwareScale.h"
#include "platform/window/TwFrameBackend.h"

// Where the compositor's picture is shown: the window's own surface, the picture scaled into
// it with its shape kept (black bars around it).
struct WindowOutput {
    SDL_Surface* surface = nullptr; // the window surface the image below wraps
    pixman_image_t* image = nullptr;
    int width = 0, height = 0;
    double scale = 1;                 // window pixels per picture pixel
    SDL_Rect viewport{0, 0, 0, 0};    // the picture's place in the window
    bool inPlace = false;             // the picture is composed right in the surface
    TwVideo::ScaleAxis columns, rows; // how window pixels blend picture pixels (empty: pixman)
    std::vector<SDL_Rect> rects;      // scratch: the rectangles shown
};

class CompositorBackend : public TwFrameBackend {
public:
    // `window` null: the picture (width x height) stays in memory.
    CompositorBackend(SDL_Window* window, int width, int height);
    ~CompositorBackend() override;
    // The picture to compose into: the window's surface when it can be drawn into; false
    // when there is none.
    bool Start();

    void Close() override;
    bool Upload(TwTexture& texture, const std::uint8_t* rgba) override;
    void Drop(TwTexture& texture) override;
    void Collected(FrameQuad& quad) override;
    void DrawCollected(FrameRecord& frame) override;
    void Present(FrameRecord& frame, bool nothingDrawnYet) override;
    bool ReadPixels(FrameRecord& frame, std::vector<std::uint32_t>& argb, int& width,
                    int& height) override;
    bool MapsWindowPositions() const override { return window_ != nullptr; }
    bool UsesWindow() const override { return window_ != nullptr; }
    void WindowToPicture(int& x, int& y) const override;

private:
    // The window's surface (TwCompositorScreen.cpp). Before a frame is composed: takes the
    // surface as it is now; 1 when it is the one the last frame went to, 0 when it is new (the
    // frame must be composed whole, and the picture may have moved into it), -1 when there is
    // none.
    int PrepareOutput();
    // Shows the damaged region (null: the whole picture) on the window, scaled to it.
    bool ShowPicture(pixman_region32_t* damage);
    void ForgetWindowOutput();
    // The picture as shown (scaled when the window is), ARGB8888.
    bool ReadShownPixels(std::vector<std::uint32_t>& argb, int& width, int& height);
    bool WrapSurface(SDL_Surface* surface);
    void CopyToWindow(const pixman_box32_t& to);

    SDL_Window* window_;
    int width_, height_;
    TwVideo::SoftwareCompositor compositor_;
    WindowOutput output_;
};
