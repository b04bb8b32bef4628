// The software compositor's frames: pictures as premultiplied pixels, each frame composed
// whole or only where it differs from the one on screen, then shown on the window's surface.
#include "platform/window/TwCompositorBackend.h"

#include <memory>

#include "platform/window/TwVideoInternal.h"

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

} // namespace

CompositorBackend::CompositorBackend(SDL_Window* window, int width, int height)
    : window_(window), width_(width), height_(height) {}

CompositorBackend::~CompositorBackend() {
    if (output_.image) {
        pixman_image_unref(output_.image);
    }
}

bool CompositorBackend::Start() {
    if (window_) {
        // The picture is the window's own surface where it can be, else a picture of ours.
        return PrepareOutput() >= 0;
    }
    pixman_image_t* picture =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, width_, height_, nullptr, 0);
    if (!picture) {
        return false;
    }
    compositor_.SetTarget(picture);
    pixman_image_unref(picture);
    return true;
}

void CompositorBackend::Close() {
    ForgetWindowOutput();
    output_.inPlace = false;
    compositor_.SetTarget(nullptr);
    compositor_.ForgetKept();
}

bool CompositorBackend::Upload(TwTexture& texture, const std::uint8_t* rgba) {
    texture.image =
        TwVideo::MakeImage(texture.width, texture.height, rgba, texture.opaque, texture.evenAlpha);
    return texture.image != nullptr;
}

void CompositorBackend::Drop(TwTexture& texture) {
    if (texture.image) {
        pixman_image_unref(texture.image); // the frame's quads hold their own reference
        texture.image = nullptr;
    }
}

void CompositorBackend::Collected(FrameQuad& quad) {
    TwVideo::PlaceQuad(quad);
}

void CompositorBackend::DrawCollected(FrameRecord& f) {
    if (f.clearAsked && !f.cleared) {
        compositor_.ClearAll();
        f.cleared = true;
    }
    for (; f.drawn < f.quads.size(); ++f.drawn) {
        compositor_.Compose(f.quads[f.drawn]);
    }
}

// Only the damage is redrawn and shown when the picture on screen is known and the frame was
// not begun already; otherwise the whole picture.
void CompositorBackend::Present(FrameRecord& f, bool nothingDrawnYet) {
    const int output = window_ ? PrepareOutput() : 1;
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
        TwVideo::FindDamage(f.quads, f.onScreen, width_, height_, &damage);
    } else {
        pixman_box32_t all{0, 0, width_, height_};
        pixman_region32_reset(&damage, &all);
    }
    TraceDamage(!damageOnly, damage);
    if (damageOnly) {
        compositor_.RedrawRegion(f.quads, &damage);
        if (output >= 0 && window_) {
            ShowPicture(&damage);
        }
    } else {
        DrawCollected(f);
        if (output >= 0 && window_) {
            ShowPicture(nullptr);
        }
    }
    pixman_region32_fini(&damage);
}

bool CompositorBackend::ReadPixels(FrameRecord& f, std::vector<std::uint32_t>& argb, int& width,
                                   int& height) {
    // A frame under way is shown first, so the window holds what was drawn so far.
    const bool underWay = f.clearAsked || !f.quads.empty();
    if (window_ && PrepareOutput() == 0) {
        f.drawn = 0; // the picture moved into a new surface: draw the frame again
        f.cleared = false;
        f.redrawAsked = true;
    }
    DrawCollected(f);
    if (underWay && window_) {
        ShowPicture(nullptr);
    }
    return ReadShownPixels(argb, width, height);
}

namespace TwVideo {

std::unique_ptr<TwFrameBackend> MakeCompositorBackend(SDL_Window* window, int width, int height) {
    auto backend = std::make_unique<CompositorBackend>(window, width, height);
    if (!backend->Start()) {
        backend->Close();
        return nullptr;
    }
    return backend;
}

} // namespace TwVideo
