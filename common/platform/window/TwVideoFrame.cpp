// The frame: quads collected between Clear and Present and the check that skips a frame
// equal to the one on screen; the backend draws, shows and reads back the rest.
#include <algorithm>

#include "platform/window/TwVideoInternal.h"

namespace TwVideo {

VideoState& State() {
    static VideoState state;
    return state;
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
    return State().backend != nullptr;
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
    if (!s.backend || !texture || !corners || !texture->hasPicture) {
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
    s.backend->Collected(quad);
    return true;
}

void DrawCollectedQuads() {
    VideoState& s = State();
    if (s.backend) {
        s.backend->DrawCollected(s.frame);
    }
}

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
    s.backend->Present(f, nothingDrawnYet);
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
    VideoState& s = State();
    if (s.backend) {
        s.backend->DrawCollected(s.frame);
        s.backend->Finish();
    }
}

void RequestRedraw() {
    State().frame.redrawAsked = true;
}

bool ReadPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    VideoState& s = State();
    return s.backend && s.backend->ReadPixels(s.frame, argb, width, height);
}

} // namespace TwVideo
