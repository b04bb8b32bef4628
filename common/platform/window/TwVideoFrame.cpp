// The frame: quads collected between Clear and Present, the check that skips a frame equal
// to the one on screen, and the choice between drawing it whole or only where it changed.
#include <algorithm>
#include <cmath>

#include "platform/window/TwVideoInternal.h"

namespace TwVideo {

VideoState& State() {
    static VideoState state;
    return state;
}

void ReleaseQuadImages(std::vector<FrameQuad>& quads) {
    for (FrameQuad& quad : quads) {
        if (quad.image) {
            pixman_image_unref(quad.image);
            quad.image = nullptr;
        }
    }
}

} // namespace TwVideo

FrameRecord::~FrameRecord() {
    TwVideo::ReleaseQuadImages(quads);
}

namespace TwVideo {

void ForgetFrames() {
    FrameRecord& f = State().frame;
    ReleaseQuadImages(f.quads);
    f.quads.clear();
    f.onScreen.clear();
    f.drawn = 0;
    f.clearAsked = f.cleared = f.screenKnown = false;
    f.redrawAsked = true;
}

bool HasRenderer() {
    const VideoState& s = State();
    return s.renderer != nullptr || s.composing;
}

void Clear() {
    VideoState& s = State();
    if (!HasRenderer()) {
        return;
    }
    FrameRecord& f = s.frame;
    ReleaseQuadImages(f.quads);
    f.quads.clear();
    f.drawn = 0;
    f.clearAsked = true;
    f.cleared = false;
}

bool DrawQuad(TwTexture* texture, const TwQuadCorner corners[4], std::uint32_t argb) {
    VideoState& s = State();
    if (!texture || !corners ||
        !(s.renderer ? texture->sdl != nullptr : texture->image != nullptr)) {
        return false;
    }
    FrameQuad& quad = s.frame.quads.emplace_back();
    quad.texture = texture;
    if (texture->image) {
        quad.image = pixman_image_ref(texture->image);
        quad.evenAlpha = texture->evenAlpha;
    }
    quad.opaque = texture->opaque;
    quad.serial = texture->serial;
    std::copy(corners, corners + 4, quad.corners);
    quad.argb = argb;
    if (s.composing) {
        PlaceQuad(quad);
    }
    return true;
}

void DrawCollectedQuads() {
    VideoState& s = State();
    FrameRecord& f = s.frame;
    if (s.renderer) {
        if (f.clearAsked && !f.cleared) {
            SDL_SetRenderDrawColor(s.renderer, 0, 0, 0, 255);
            SDL_RenderClear(s.renderer);
            f.cleared = true;
        }
        for (; f.drawn < f.quads.size(); ++f.drawn) {
            RenderQuad(s.renderer, f.quads[f.drawn]);
        }
    } else if (s.composing) {
        if (f.clearAsked && !f.cleared) {
            const pixman_color_t black{0, 0, 0, 0xFFFF};
            const pixman_box32_t all{0, 0, s.settings.width, s.settings.height};
            pixman_image_fill_boxes(PIXMAN_OP_SRC, s.picture, &black, 1, &all);
            f.cleared = true;
        }
        const pixman_box32_t all{0, 0, s.settings.width, s.settings.height};
        for (; f.drawn < f.quads.size(); ++f.drawn) {
            ComposeQuad(s.picture, f.quads[f.drawn], ClipBoxes{&all, 1});
        }
    }
}

namespace {

// ZV_TRACE_DAMAGE=1: every 60 composed frames, how many were drawn whole and how many pixels
// a frame redrew on average, on standard error (to see what a screen costs).
void TraceDamage(bool whole, const pixman_region32_t& damage) {
    static const bool on = SDL_getenv("ZV_TRACE_DAMAGE") != nullptr;
    static int frames = 0, wholeFrames = 0;
    static long long pixels = 0;
    if (!on) {
        return;
    }
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(&damage, &count);
    for (int i = 0; i < count; ++i) {
        pixels += static_cast<long long>(boxes[i].x2 - boxes[i].x1) * (boxes[i].y2 - boxes[i].y1);
    }
    wholeFrames += whole ? 1 : 0;
    if (++frames == 60) {
        SDL_Log("damage: %d of 60 frames whole, %lld pixels a frame in %d boxes", wholeFrames,
                pixels / 60, count);
        frames = wholeFrames = 0;
        pixels = 0;
    }
}

// The compositor's frame: only the damage is redrawn and shown when the picture on screen
// is known and the frame was not begun already; otherwise the whole picture.
void ComposeFrame(VideoState& s, bool nothingDrawnYet) {
    FrameRecord& f = s.frame;
    const int output = s.toWindow ? PrepareOutput() : 1;
    if (output == 0 && !nothingDrawnYet) {
        // The picture moved into a new window surface: what was drawn of the frame is drawn
        // again there.
        f.drawn = 0;
        f.cleared = false;
    }
    pixman_region32_t damage;
    pixman_region32_init(&damage);
    const bool damageOnly =
        output == 1 && f.clearAsked && nothingDrawnYet && f.screenKnown && !f.redrawAsked;
    if (damageOnly) {
        FindDamage(f.quads, f.onScreen, &damage);
    } else {
        pixman_box32_t all{0, 0, s.settings.width, s.settings.height};
        pixman_region32_reset(&damage, &all);
    }
    TraceDamage(!damageOnly, damage);
    if (damageOnly) {
        RedrawRegion(f.quads, &damage);
        if (output >= 0 && s.toWindow) {
            ShowPicture(&damage);
        }
    } else {
        DrawCollectedQuads();
        if (output >= 0 && s.toWindow) {
            ShowPicture(nullptr);
        }
    }
    pixman_region32_fini(&damage);
}

} // namespace

bool Present() {
    VideoState& s = State();
    FrameRecord& f = s.frame;
    if (!HasRenderer()) {
        return false;
    }
    const bool nothingDrawnYet = !f.cleared && f.drawn == 0;
    if (f.clearAsked && nothingDrawnYet && f.screenKnown && !f.redrawAsked &&
        f.quads == f.onScreen) {
        ReleaseQuadImages(f.quads);
        f.quads.clear();
        f.clearAsked = false;
        return false;
    }
    if (s.composing) {
        ComposeFrame(s, nothingDrawnYet);
    } else {
        DrawCollectedQuads();
        SDL_RenderPresent(s.renderer);
    }
    ++f.presented;
    // Only a frame drawn from a clear screen is known in full; anything else was drawn over
    // an earlier picture.
    f.screenKnown = f.clearAsked;
    ReleaseQuadImages(f.quads);
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
    VideoState& s = State();
    if (s.composing) {
        // A frame under way is shown first, so the window holds what was drawn so far.
        const bool underWay = s.frame.clearAsked || !s.frame.quads.empty();
        if (s.toWindow && PrepareOutput() == 0) {
            s.frame.drawn = 0; // the picture moved into a new surface: draw the frame again
            s.frame.cleared = false;
            s.frame.redrawAsked = true;
        }
        DrawCollectedQuads();
        if (underWay && s.toWindow) {
            ShowPicture(nullptr);
        }
        return ReadShownPixels(argb, width, height);
    }
    SDL_Renderer* renderer = s.renderer;
    if (!renderer) {
        return false;
    }
    DrawCollectedQuads();
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
