#pragma once
// The software compositor: frames of textured quads composed with pixman into a target
// picture the window hands it, drawing each sprite kind the way SDL's software renderer did.
// It knows no window and no SDL: where the picture goes once composed is the window's affair.
#include <algorithm>
#include <cstdint>
#include <pixman.h>
#include <vector>

#include "platform/compositor/TwQuadCorner.h"

// The window's handle of a picture; the compositor only carries it along with each quad.
struct TwTexture;

// Where the compositor puts a quad, in whole pixels and texels, as SDL's software renderer
// placed it: an upright quad by its corners cut to whole pixels, a turned one as a fan of
// triangles on half-pixel corners. Two quads of one picture and tint placed alike draw the
// very same pixels, whatever fractions of a pixel their corners differ by.
struct Placement {
    enum Kind : std::int32_t { kNothing = 0, kUpright = 1, kTurned = 2 };
    Kind kind = kNothing;
    // Upright: the pixels [x, x + w) x [y, y + h), the texels [u0, u0 + pw) x [v0, v0 + ph).
    std::int32_t x = 0, y = 0, w = 0, h = 0, u0 = 0, v0 = 0, pw = 0, ph = 0;
    bool flipX = false, flipY = false;
    // Turned: the fan's corners and centre, on screen (half pixels) and in the picture.
    std::int32_t dx[5] = {}, dy[5] = {}, sx[5] = {}, sy[5] = {};
    bool operator==(const Placement&) const = default;
};

// One sprite of a frame, as submitted. Quads are told apart by the picture's serial; the
// handle of a quad on screen may already be gone. `image` is the compositor's own reference
// to the pixels, held by the frame until it is shown even if the picture is destroyed.
struct FrameQuad {
    TwTexture* texture = nullptr;
    pixman_image_t* image = nullptr;
    bool opaque = false;
    bool evenAlpha = false;
    std::uint64_t serial = 0;
    TwQuadCorner corners[4];
    std::uint32_t argb = 0;
    bool placed = false; // the compositor draws it: `placement` tells what it draws
    Placement placement;
    bool operator==(const FrameQuad& other) const {
        if (serial != other.serial || argb != other.argb || placed != other.placed) {
            return false;
        }
        return placed ? placement == other.placement
                      : std::equal(corners, corners + 4, other.corners);
    }
};

namespace TwVideo {

// Lets go of the quads' references to pictures' pixels.
void ReleaseQuadImages(std::vector<FrameQuad>& quads);

// Boxes of the picture a drawing is limited to; they never overlap.
struct ClipBoxes {
    const pixman_box32_t* boxes = nullptr;
    int count = 0;
};

// Premultiplied pixels of an RGBA picture; `opaque` tells whether every pixel is opaque,
// `evenAlpha` whether all have one alpha.
pixman_image_t* MakeImage(int width, int height, const std::uint8_t* rgba, bool& opaque,
                          bool& evenAlpha);
// Draws one quad into `dest` as SDL's software renderer would (same pixels within rounding),
// only inside the clip boxes.
void ComposeQuad(pixman_image_t* dest, const FrameQuad& quad, const ClipBoxes& clip);
// Places a quad of the compositor (see Placement).
void PlaceQuad(FrameQuad& quad);
void PlaceTurnedQuad(FrameQuad& quad);
// Lets go of the turned sprites kept filled.
void ForgetTurnedFills();
// The pixels a turned placement can reach.
pixman_box32_t TurnedBounds(const Placement& placement);
// Draws a turned quad into `dest` through `blend`, which gets the quad's texels laid out as
// SDL's renderer filled them, at (x, y) of `dest`.
void ComposeTurnedQuad(pixman_image_t* dest, const FrameQuad& quad, const ClipBoxes& clip,
                       void (*blend)(pixman_image_t* src, pixman_image_t* dest,
                                     const FrameQuad& quad, int x, int y, int w, int h,
                                     const ClipBoxes& clip));
// A quad's part (texels u0, v0, pw x ph) shaped to w x h pixels, mirrored as asked, the way
// SDL's renderer stretched and mirrored it, faded by `fade` (255: not); kept for the frames
// that draw it again. `onlyIfKept`: null unless it is kept already (the caller can draw it
// directly). Owned by the compositor; valid until the next call.
pixman_image_t* ShapedPart(const FrameQuad& quad, int u0, int v0, int pw, int ph, int w, int h,
                           bool flipX, bool flipY, std::uint32_t fade = 255,
                           bool onlyIfKept = false);
void ForgetShapes();
// The picture pixels a quad can touch (a little more for the filtering at its edges).
pixman_box32_t QuadBounds(const FrameQuad& quad);

// Damage: where a frame differs from the one on screen (the old and new places of every
// sprite that came, went, moved, changed or was drawn in another order), inside a picture of
// width x height.
void FindDamage(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown, int width,
                int height, pixman_region32_t* damage);

// Composes frames into the target picture it is handed (the window's surface, or a picture
// of the game's size kept in memory), holding a reference to it.
class SoftwareCompositor {
public:
    SoftwareCompositor() = default;
    SoftwareCompositor(const SoftwareCompositor&) = delete;
    SoftwareCompositor& operator=(const SoftwareCompositor&) = delete;
    ~SoftwareCompositor();

    // The picture frames are composed into (null: none yet).
    void SetTarget(pixman_image_t* target);
    pixman_image_t* Target() const { return target_; }
    int Width() const;
    int Height() const;

    // Lets go of the shapes and turned fills kept for later frames.
    void ForgetKept();

    // The whole target black.
    void ClearAll();
    // One quad over the whole target.
    void Compose(const FrameQuad& quad);
    // Redraws the damaged region of the target: black, then every quad reaching into it, in
    // the frame's order.
    void RedrawRegion(const std::vector<FrameQuad>& quads, pixman_region32_t* damage);

private:
    pixman_image_t* target_ = nullptr;
    std::vector<pixman_box32_t> reachedBoxes_; // scratch of the damage redraw
};

} // namespace TwVideo
