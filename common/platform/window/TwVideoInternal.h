#pragma once
// Shared between the platform files that deal with the game window; never included above
// the platform layer.
#include <SDL.h>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <pixman.h>
#include <unordered_set>
#include <vector>

#include "platform/compositor/TwSoftwareBlend.h"
#include "platform/compositor/TwSoftwareScale.h"
#include "platform/window/TwVideo.h"
#include "platform/window/TwWindowInput.h"

// A texture handle stays valid while the renderer comes and goes (display-mode change,
// device reset); only its picture is dropped and then null until the picture is uploaded
// again through a new handle. A picture lives either as an SDL texture (an SDL renderer
// draws) or as premultiplied pixels the software compositor draws from.
struct TwTexture {
    SDL_Texture* sdl = nullptr;
    pixman_image_t* image = nullptr;
    bool evenAlpha = false; // one alpha everywhere (opaque pictures among them)
    int width = 0;
    int height = 0;
    bool opaque = false; // every pixel fully opaque: drawn untinted-alpha, it is a plain copy
    // Never reused, unlike the handle's address: frames are compared by it, so a picture
    // made where a destroyed one lived is never taken for the old one.
    std::uint64_t serial = 0;
};

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

// The frame being built and the one on screen. Quads are drawn only when the frame is
// presented or read back, so a frame equal to the one on screen costs nothing.
struct FrameRecord {
    std::vector<FrameQuad> quads;    // this frame's quads, in submission order
    std::vector<FrameQuad> onScreen; // the quads of the picture the window shows
    std::size_t drawn = 0;           // quads of `quads` already drawn
    bool clearAsked = false;         // the frame began with a clear
    bool cleared = false;            // ... and that clear was done
    bool screenKnown = false;        // `onScreen` really is what the window shows
    bool redrawAsked = true;
    std::uint64_t presented = 0;

    FrameRecord() = default;
    FrameRecord(const FrameRecord&) = delete;
    FrameRecord& operator=(const FrameRecord&) = delete;
    // A frame still being built when the program ends gives back its quads' references to
    // the pictures' pixels.
    ~FrameRecord();
};

namespace TwVideo {

// Boxes of the picture a drawing is limited to; they never overlap.
struct ClipBoxes {
    const pixman_box32_t* boxes = nullptr;
    int count = 0;
};

// Where the software compositor shows its picture: the window's own surface, the picture
// scaled into it with its shape kept (black bars around it).
struct WindowOutput {
    SDL_Surface* surface = nullptr; // the window surface the image below wraps
    pixman_image_t* image = nullptr;
    int width = 0, height = 0;
    double scale = 1;              // window pixels per picture pixel
    SDL_Rect viewport{0, 0, 0, 0}; // the picture's place in the window
    bool inPlace = false;          // the picture is composed right in the surface
    ScaleAxis columns, rows;       // how window pixels blend picture pixels (empty: pixman)
    std::vector<SDL_Rect> rects;   // scratch: the rectangles shown
};

struct VideoState {
    bool sdlStarted = false;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Surface* memorySurface = nullptr; // SDL's renderer on memory, without a window
    TwWindowSettings settings;
    bool cursorShown = true;
    std::unordered_set<TwTexture*> textures;
    std::uint64_t lastSerial = 0;
    std::chrono::steady_clock::time_point lastFrameEnd{};
    std::chrono::nanoseconds refreshPeriod{0};
    Uint32 textureFormat = SDL_PIXELFORMAT_RGBA32;
    // The software compositor draws instead of an SDL renderer: frames are composed into
    // `picture` (the game picture's size), and only what changed is redrawn and shown.
    bool composing = false;
    bool toWindow = false; // shown on the window (not only kept in memory, as headless)
    pixman_image_t* picture = nullptr;
    WindowOutput output;
    std::vector<pixman_box32_t> reachedBoxes; // scratch of the damage redraw
    FrameRecord frame;
};

// The one video state of the process.
VideoState& State();

// Forgets the collected frame and what the screen shows (renderer gone or replaced).
void ForgetFrames();
// Drops every picture's pixels (the renderer or the compositor goes away).
void DropAllTexturePictures();
// Lets go of the frame's references to pictures' pixels.
void ReleaseQuadImages(std::vector<FrameQuad>& quads);

// Hands the frame's clear and every quad not drawn yet to the renderer or the compositor.
void DrawCollectedQuads();

// SDL renderer path (a graphics card, or SDL's software renderer when asked for).
bool RenderQuad(SDL_Renderer* renderer, const FrameQuad& quad);
SDL_Color ToColor(std::uint32_t argb);

// Software compositor: the picture, its pictures' pixels, and drawing quads into it.
bool StartCompositor(int width, int height, bool toWindow);
void StopCompositor();
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
// directly). Owned
// by the compositor; valid until the next call.
pixman_image_t* ShapedPart(const FrameQuad& quad, int u0, int v0, int pw, int ph, int w, int h,
                           bool flipX, bool flipY, std::uint32_t fade = 255,
                           bool onlyIfKept = false);
void ForgetShapes();
// The picture pixels a quad can touch (a little more for the filtering at its edges).
pixman_box32_t QuadBounds(const FrameQuad& quad);
// Redraws the damaged region of the picture: black, then every quad reaching into it, in
// the frame's order.
void RedrawRegion(const std::vector<FrameQuad>& quads, pixman_region32_t* damage);

// Damage: where a frame differs from the one on screen (the old and new places of every
// sprite that came, went, moved, changed or was drawn in another order).
void FindDamage(const std::vector<FrameQuad>& now, const std::vector<FrameQuad>& shown,
                pixman_region32_t* damage);

// Window output of the compositor. Before a frame is composed: takes the window's surface
// as it is now; 1 when it is the one the last frame went to, 0 when it is new (the frame must
// be composed whole, and the picture may have moved into it), -1 when there is none.
int PrepareOutput();
// Shows the damaged region (null: the whole picture) on the window, scaled to it.
bool ShowPicture(pixman_region32_t* damage);
void ForgetWindowOutput();
// Maps a window position to the game picture (the letterbox), as SDL's renderer does.
void WindowToPicture(int& x, int& y);
// The picture as shown (scaled when the window is), ARGB8888.
bool ReadShownPixels(std::vector<std::uint32_t>& argb, int& width, int& height);

// Events after which the window's picture must be drawn again.
int WatchWindowEvents(void*, SDL_Event* e);
void KeepLargeBuffersOutOfTheHeap();

} // namespace TwVideo
