#include <algorithm>
#include <cmath>

#include "platform/TwVideoInternal.h"

namespace TwVideo {

VideoState& State() {
    static VideoState state;
    return state;
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

} // namespace TwVideo
