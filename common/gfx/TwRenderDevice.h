#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "TwRect.h"
#include "platform/window/TwTexture.h"

class TwBaseApplication;
class TwImage;
class TwImageData;

// The one drawing device. Everything on screen is a sprite drawn by DrawImage or
// DrawImageEx: one textured, tinted quad whose corners are placed by
//
//   q = (px * sx - cx, py * sy - cy)
//   screen x =  qx * cos a + qy * sin a + cx + tx
//   screen y = -qx * sin a + qy * cos a + cy + ty
//
// for a texel position (px, py) measured from the source rectangle's top-left corner, with
// scaling (sx, sy), rotation centre (cx, cy), angle a in radians (positive turns
// counter-clockwise on screen) and translation (tx, ty).
class TwRenderDevice {
public:
    static constexpr int kOk = 0;
    static constexpr int kFail = static_cast<int>(0x80004005u);
    // DrawImageEx flags.
    static constexpr int kMirrorHorizontal = 2;
    static constexpr int kMirrorVertical = 4;

    static TwRenderDevice& Instance() {
        static TwRenderDevice device;
        return device;
    }

    // Creates the renderer for the application's window (TwVideo::CreateWindow ran before).
    // kOk or kFail.
    int Create();
    // Test rendering without a display: an 800 x 600 software renderer.
    bool CreateHeadless();

    // Begins a frame: the picture is cleared to black.
    void StartScene();
    // Presents the frame (vsync, or paced to the display's refresh). A frame whose sprite
    // draws are exactly those of the picture on screen is not drawn or presented again, unless
    // a window event lost that picture; the loop keeps its pace either way.
    void FinishScene();
    // Off: FinishScene presents at once instead of waiting for the display's next refresh
    // (the loading screen, whose frames should cost the start-up nothing).
    void SetFramePacing(bool on) { pacing_ = on; }
    // Destroys the renderer; textures keep their handles but draw nothing until rebuilt.
    void Release();
    // After the Windowed setting changed: the renderer is released, the owner rebuilds its
    // window in the new mode, the renderer is made again and the device-reset handler
    // rebuilds every texture. kOk or kFail.
    int Recreate();

    // The application that owns the window (set by its Init).
    void SetOwner(TwBaseApplication* owner) { owner_ = owner; }
    TwBaseApplication* Owner() const { return owner_; }
    // How Recreate makes the window again in the current display mode (the owner's window
    // creation). Without one, the renderer is remade on the window that exists.
    void SetWindowBuilder(std::function<bool()> builder) { windowBuilder_ = std::move(builder); }

    // Called whenever textures were lost and must be made again: after Recreate and when
    // the system reports a reset render device. The texture cache registers its ReloadAll
    // here. An empty function removes the handler.
    void SetDeviceResetHandler(std::function<void()> handler);
    // Runs the handler (the application does this on a device-reset message).
    void NotifyDeviceReset();

    // RGBA8 pixels, top row first; alpha-blended, linear filtering. nullptr without a
    // renderer or for a bad size.
    TwTexture* CreateTexture(int width, int height, const std::uint8_t* rgba);
    void DestroyTexture(TwTexture* texture);
    bool TextureSize(const TwTexture* texture, int& width, int& height) const;

    // Plain sprite draw. With a destination the picture is placed at (dest.left + x,
    // dest.top + y); with a destination and a source, scaled from source size to destination
    // size. Without a source the whole texture is drawn. kOk, or kFail when nothing could be
    // drawn (no texture, no renderer).
    int DrawImage(const TwRect* dest, TwTexture* texture, const TwRect* src, float x, float y);
    // Sprite draw with colour (ARGB multiplies texel colour and alpha), rotation about
    // `centre` (default: the middle of the source rectangle, in source pixels) and mirroring
    // (flag 2 horizontal, flag 4 vertical, within the destination). No texture: nothing is
    // drawn and kOk is returned.
    int DrawImageEx(const TwRect* dest, TwTexture* texture, const TwRect* src, int flags,
                    std::uint32_t argb, float angle, const TwPoint* centre, float x, float y);

    // DrawImage for a picture's own texture (how TwImage draws): the picture keeps its
    // texture alive and knows the size it was made with, so the texture is not looked up
    // among the live ones again. Same results.
    int DrawPicture(const TwImageData& picture, const TwRect& dest, const TwRect& src, float x,
                    float y);
    // One cell of an image's picture (not empty, inside or partly past the picture) as
    // TwImage::DrawFrame draws it: centred on the image's position, scaled, turned about its
    // centre plus the pivot, tinted with `argb` and mirrored by the image's flip. The same
    // placement as DrawImageEx, worked out in one go, for the picture's own texture (as
    // DrawPicture). Nothing without a texture.
    int DrawImageCell(const TwImage& image, std::uint32_t argb, const TwRect& cell);

    // The frame drawn so far (call before FinishScene): 800 * 600 ARGB8888 values.
    bool ReadPixels(std::vector<std::uint32_t>& argb);

private:
    // Scale, rotation centre and translation of a sprite (see the class comment).
    struct SpritePlace {
        float sx = 1, sy = 1, cx = 0, cy = 0, tx = 0, ty = 0;
    };
    static SpritePlace PlainPlace(const TwRect* dest, const TwRect* src, float x, float y);
    static SpritePlace TurnedPlace(const TwRect* dest, const TwRect* src, int flags,
                                   const TwPoint* centre, float x, float y);
    // The quad of the source part of a texture of texW x texH texels.
    inline int Draw(TwTexture* texture, int texW, int texH, const TwRect* src,
                    const SpritePlace& place, float angle, std::uint32_t argb);

    TwBaseApplication* owner_ = nullptr;
    bool pacing_ = true;
    std::function<void()> resetHandler_;
    std::function<bool()> windowBuilder_;
};
