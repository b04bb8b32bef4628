#include "gfx/TwRenderDevice.h"

#include <algorithm>
#include <cmath>

#include "gfx/TwImage.h"
#include "gfx/TwImageData.h"
#include "gfx/TwScreenSize.h"
#include "platform/window/TwVideo.h"

namespace {

constexpr std::uint32_t kOpaqueWhite = 0xFFFFFFFF;

// The sprite transform: where a texel position of the source part lands on screen.
struct SpriteTransform {
    float sx, sy, cx, cy, cosA, sinA, tx, ty;

    void Place(float px, float py, float& x, float& y) const {
        const float qx = px * sx - cx;
        const float qy = py * sy - cy;
        x = qx * cosA + qy * sinA + cx + tx;
        y = -qx * sinA + qy * cosA + cy + ty;
    }
};

// SpriteTransform::Place for angle 0, one axis: q = p * s - c, then q + c + t.
float UprightPlace(float p, float s, float c, float t) {
    const float q = p * s - c;
    return q + c + t;
}

} // namespace

// DrawImage's placement: at the destination's corner plus (x, y), scaled from the source's
// size to the destination's.
inline TwRenderDevice::SpritePlace TwRenderDevice::PlainPlace(const TwRect* dest, const TwRect* src,
                                                              float x, float y) {
    SpritePlace p;
    if (dest) {
        p.tx = static_cast<float>(dest->left) + x;
        p.ty = static_cast<float>(dest->top) + y;
        if (src && src->Width() != 0 && src->Height() != 0) {
            p.sx = static_cast<float>(dest->Width()) / static_cast<float>(src->Width());
            p.sy = static_cast<float>(dest->Height()) / static_cast<float>(src->Height());
        }
    }
    return p;
}

// DrawImageEx's placement: DrawImage's, turned about the centre and mirrored by the flags.
inline TwRenderDevice::SpritePlace TwRenderDevice::TurnedPlace(const TwRect* dest,
                                                               const TwRect* src, int flags,
                                                               const TwPoint* centre, float x,
                                                               float y) {
    SpritePlace p = PlainPlace(dest, src, x, y);
    if (centre) {
        p.cx = static_cast<float>(centre->x);
        p.cy = static_cast<float>(centre->y);
    } else if (src) {
        p.cx = static_cast<float>(src->Width()) * 0.5f;
        p.cy = static_cast<float>(src->Height()) * 0.5f;
    }
    if (src && flags != 0) {
        // Mirroring flips the picture within the destination's own area.
        if (flags & kMirrorHorizontal) {
            p.sx = -p.sx;
            p.tx += dest ? static_cast<float>(dest->Width()) : 0.0f;
        }
        if (flags & kMirrorVertical) {
            p.sy = -p.sy;
            p.ty += dest ? static_cast<float>(dest->Height()) : 0.0f;
        }
    }
    return p;
}

int TwRenderDevice::Create() {
    return TwVideo::CreateRenderer() ? kOk : kFail;
}

bool TwRenderDevice::CreateHeadless() {
    const TwScreenSize& size = TwScreenSize::Instance();
    return TwVideo::CreateHeadless(size.width, size.height);
}

void TwRenderDevice::StartScene() {
    TwVideo::Clear();
}

void TwRenderDevice::FinishScene() {
    if (!TwVideo::HasRenderer()) {
        return;
    }
    // A frame identical to the picture on screen is skipped; the loop is paced all the same.
    TwVideo::Present();
    if (pacing_) {
        TwVideo::PaceFrame();
    }
}

void TwRenderDevice::Release() {
    TwVideo::DestroyRenderer();
}

int TwRenderDevice::Recreate() {
    Release();
    if (windowBuilder_ && !windowBuilder_()) {
        return kFail;
    }
    if (Create() != kOk) {
        return kFail;
    }
    TwVideo::ShowWindow();
    NotifyDeviceReset();
    return kOk;
}

void TwRenderDevice::SetDeviceResetHandler(std::function<void()> handler) {
    resetHandler_ = std::move(handler);
}

void TwRenderDevice::NotifyDeviceReset() {
    if (resetHandler_) {
        resetHandler_();
    }
}

TwTexture* TwRenderDevice::CreateTexture(int width, int height, const std::uint8_t* rgba) {
    return TwVideo::CreateTexture(width, height, rgba);
}

void TwRenderDevice::DestroyTexture(TwTexture* texture) {
    TwVideo::DestroyTexture(texture);
}

bool TwRenderDevice::TextureSize(const TwTexture* texture, int& width, int& height) const {
    return TwVideo::TextureSize(texture, width, height);
}

int TwRenderDevice::DrawImage(const TwRect* dest, TwTexture* texture, const TwRect* src, float x,
                              float y) {
    const SpritePlace place = PlainPlace(dest, src, x, y);
    int texW = 0, texH = 0;
    if (!texture || !TwVideo::TextureSize(texture, texW, texH)) {
        return kFail;
    }
    return Draw(texture, texW, texH, src, place, 0, kOpaqueWhite);
}

int TwRenderDevice::DrawImageEx(const TwRect* dest, TwTexture* texture, const TwRect* src,
                                int flags, std::uint32_t argb, float angle, const TwPoint* centre,
                                float x, float y) {
    const SpritePlace place = TurnedPlace(dest, src, flags, centre, x, y);
    if (!texture) {
        return kOk;
    }
    int texW = 0, texH = 0;
    if (!TwVideo::TextureSize(texture, texW, texH)) {
        return kFail;
    }
    return Draw(texture, texW, texH, src, place, angle, argb);
}

int TwRenderDevice::DrawPicture(const TwImageData& picture, const TwRect& dest, const TwRect& src,
                                float x, float y) {
    if (!picture.texture) {
        return kFail;
    }
    return Draw(picture.texture, picture.textureWidth, picture.textureHeight, &src,
                PlainPlace(&dest, &src, x, y), 0, kOpaqueWhite);
}

inline int TwRenderDevice::Draw(TwTexture* texture, int texW, int texH, const TwRect* src,
                                const SpritePlace& place, float angle, std::uint32_t argb) {
    const float sx = place.sx, sy = place.sy, cx = place.cx, cy = place.cy;
    const float tx = place.tx, ty = place.ty;
    const TwRect whole{0, 0, texW, texH};
    const TwRect part = src ? *src : whole;
    // Only texels that exist are drawn; a source reaching past the picture keeps its
    // placement for the part that lies inside.
    const TwRect inside{std::max(part.left, 0), std::max(part.top, 0), std::min(part.right, texW),
                        std::min(part.bottom, texH)};
    if (inside.Width() <= 0 || inside.Height() <= 0) {
        return kFail;
    }
    const float px0 = static_cast<float>(inside.left - part.left);
    const float py0 = static_cast<float>(inside.top - part.top);
    const float px1 = static_cast<float>(inside.right - part.left);
    const float py1 = static_cast<float>(inside.bottom - part.top);
    const float texelX[2] = {px0, px1};
    const float texelY[2] = {py0, py1};
    TwQuadCorner corners[4];
    if (angle == 0.0f) {
        // Almost every sprite is upright: the transform's own sums with cos 1 and sin 0 (the
        // same values, signed zeros aside), worked out once per column and once per row.
        const float column[2] = {UprightPlace(px0, sx, cx, tx), UprightPlace(px1, sx, cx, tx)};
        const float row[2] = {UprightPlace(py0, sy, cy, ty), UprightPlace(py1, sy, cy, ty)};
        for (int i = 0; i < 4; ++i) {
            corners[i].x = column[i % 2];
            corners[i].y = row[i / 2];
        }
    } else {
        const SpriteTransform transform{sx, sy, cx, cy, std::cos(angle), std::sin(angle), tx, ty};
        for (int i = 0; i < 4; ++i) {
            transform.Place(texelX[i % 2], texelY[i / 2], corners[i].x, corners[i].y);
        }
    }
    for (int i = 0; i < 4; ++i) {
        corners[i].u = static_cast<float>(part.left) + texelX[i % 2];
        corners[i].v = static_cast<float>(part.top) + texelY[i / 2];
    }
    return TwVideo::DrawQuad(texture, corners, argb) ? kOk : kFail;
}

int TwRenderDevice::DrawImageCell(const TwImage& image, std::uint32_t argb, const TwRect& cell) {
    const TwImageData* picture = image.Data();
    if (picture == nullptr || picture->texture == nullptr) {
        return kOk;
    }
    // The cell is centred on the position. An odd-sized cell keeps its full size: the extra
    // column and row go to the right and bottom halves.
    const int width = cell.Width(), height = cell.Height();
    const int halfW = width / 2, halfH = height / 2;
    const float scale = image.scale;
    const TwRect dest{int(float(-halfW) * scale), int(float(-halfH) * scale),
                      int(float(width - halfW) * scale), int(float(height - halfH) * scale)};
    const TwPoint centre{halfW + int(image.pivotX), halfH + int(image.pivotY)};
    return Draw(picture->texture, picture->textureWidth, picture->textureHeight, &cell,
                TurnedPlace(&dest, &cell, image.flip, &centre, image.x, image.y), image.rotation,
                argb);
}

bool TwRenderDevice::ReadPixels(std::vector<std::uint32_t>& argb) {
    int width = 0, height = 0;
    return TwVideo::ReadPixels(argb, width, height);
}
