// The compositor's picture on the window: drawn into the window's own surface, scaled to the
// window with its shape kept (black bars around it), and only the damaged rectangles handed
// to the window system.
#include <cmath>

#include "platform/window/TwCompositorBackend.h"
#include "platform/window/TwVideoInternal.h"

namespace {

pixman_format_code_t PixmanFormat(Uint32 format) {
    switch (format) {
    case SDL_PIXELFORMAT_RGB888:
        return PIXMAN_x8r8g8b8;
    case SDL_PIXELFORMAT_ARGB8888:
        return PIXMAN_a8r8g8b8;
    case SDL_PIXELFORMAT_BGR888:
        return PIXMAN_x8b8g8r8;
    case SDL_PIXELFORMAT_ABGR8888:
        return PIXMAN_a8b8g8r8;
    case SDL_PIXELFORMAT_RGB565:
        return PIXMAN_r5g6b5;
    default:
        return static_cast<pixman_format_code_t>(0);
    }
}

// The picture's place in a window of the given size, as SDL's renderer letterboxes a logical
// size: scaled by the smaller of the two ratios, centred, whole pixels.
void PlacePicture(WindowOutput& out, int pictureW, int pictureH) {
    const double wantAspect = static_cast<double>(pictureW) / pictureH;
    const double realAspect = static_cast<double>(out.width) / out.height;
    if (std::fabs(wantAspect - realAspect) < 0.0001) {
        out.scale = static_cast<double>(out.width) / pictureW;
        out.viewport = SDL_Rect{0, 0, out.width, out.height};
    } else if (wantAspect > realAspect) {
        out.scale = static_cast<double>(out.width) / pictureW;
        const int h = static_cast<int>(std::floor(pictureH * out.scale));
        out.viewport = SDL_Rect{0, (out.height - h) / 2, out.width, h};
    } else {
        out.scale = static_cast<double>(out.height) / pictureH;
        const int w = static_cast<int>(std::floor(pictureW * out.scale));
        out.viewport = SDL_Rect{(out.width - w) / 2, 0, w, out.height};
    }
}

bool Unscaled(const WindowOutput& out, int pictureW, int pictureH) {
    return out.viewport.w == pictureW && out.viewport.h == pictureH;
}

// The window rectangle a damaged picture box shows in: scaled, it reaches one picture pixel
// further on each side (the smoothing blends neighbours), kept inside the viewport.
pixman_box32_t WindowBox(const WindowOutput& out, const pixman_box32_t& box, bool unscaled) {
    const SDL_Rect& v = out.viewport;
    pixman_box32_t to{};
    if (unscaled) {
        to = pixman_box32_t{v.x + box.x1, v.y + box.y1, v.x + box.x2, v.y + box.y2};
    } else {
        to.x1 = static_cast<int>(std::floor(v.x + (box.x1 - 1) * out.scale));
        to.y1 = static_cast<int>(std::floor(v.y + (box.y1 - 1) * out.scale));
        to.x2 = static_cast<int>(std::ceil(v.x + (box.x2 + 1) * out.scale));
        to.y2 = static_cast<int>(std::ceil(v.y + (box.y2 + 1) * out.scale));
    }
    to.x1 = std::max(to.x1, v.x);
    to.y1 = std::max(to.y1, v.y);
    to.x2 = std::min(to.x2, v.x + v.w);
    to.y2 = std::min(to.y2, v.y + v.h);
    return to;
}

} // namespace

// Copies picture pixels to the window: the window rectangle `to` (inside the viewport) from
// the picture, scaled smoothly where the window is larger or smaller.
void CompositorBackend::CopyToWindow(const pixman_box32_t& to) {
    WindowOutput& out = output_;
    pixman_image_t* picture = compositor_.Target();
    const int w = to.x2 - to.x1, h = to.y2 - to.y1;
    if (w <= 0 || h <= 0) {
        return;
    }
    if (Unscaled(out, width_, height_)) {
        pixman_image_composite32(PIXMAN_OP_SRC, picture, nullptr, out.image, to.x1 - out.viewport.x,
                                 to.y1 - out.viewport.y, 0, 0, to.x1, to.y1, w, h);
        return;
    }
    if (!out.columns.first.empty()) {
        const auto stride = [](pixman_image_t* image) {
            return static_cast<std::ptrdiff_t>(pixman_image_get_stride(image) / 4);
        };
        TwVideo::ScaleBox(pixman_image_get_data(picture), stride(picture), out.columns, out.rows,
                          pixman_image_get_data(out.image), stride(out.image), to.x1, to.y1, to.x2,
                          to.y2);
        return;
    }
    // Window position (pixel centre) back to the picture.
    pixman_transform_t t{};
    const double inv = 1.0 / out.scale;
    t.matrix[0][0] = pixman_double_to_fixed(inv);
    t.matrix[0][2] = pixman_double_to_fixed(-out.viewport.x * inv);
    t.matrix[1][1] = pixman_double_to_fixed(inv);
    t.matrix[1][2] = pixman_double_to_fixed(-out.viewport.y * inv);
    t.matrix[2][2] = pixman_fixed_1;
    pixman_image_set_transform(picture, &t);
    pixman_image_set_filter(picture, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(picture, PIXMAN_REPEAT_PAD);
    pixman_image_composite32(PIXMAN_OP_SRC, picture, nullptr, out.image, to.x1, to.y1, 0, 0, to.x1,
                             to.y1, w, h);
    pixman_image_set_transform(picture, nullptr);
    pixman_image_set_repeat(picture, PIXMAN_REPEAT_NONE);
}

// Wraps the window's current surface; false when its pixel layout is not one we draw.
bool CompositorBackend::WrapSurface(SDL_Surface* surface) {
    WindowOutput& out = output_;
    ForgetWindowOutput();
    const pixman_format_code_t format = PixmanFormat(surface->format->format);
    if (format == 0 || SDL_MUSTLOCK(surface)) {
        return false;
    }
    out.image =
        pixman_image_create_bits(format, surface->w, surface->h,
                                 static_cast<std::uint32_t*>(surface->pixels), surface->pitch);
    if (!out.image) {
        return false;
    }
    out.surface = surface;
    out.width = surface->w;
    out.height = surface->h;
    PlacePicture(out, width_, height_);
    // Our own smooth scaling where the window's pixels are laid out as the picture's.
    if (format == PIXMAN_x8r8g8b8 || format == PIXMAN_a8r8g8b8) {
        out.columns = TwVideo::MakeScaleAxis(width_, out.viewport.x, out.width, out.scale);
        out.rows = TwVideo::MakeScaleAxis(height_, out.viewport.y, out.height, out.scale);
    }
    return true;
}

int CompositorBackend::PrepareOutput() {
    if (!window_) {
        return -1;
    }
    // The window system's shared memory, never an OpenGL texture standing in for it.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    if (!surface) {
        return -1;
    }
    WindowOutput& out = output_;
    if (surface == out.surface && surface->w == out.width && surface->h == out.height) {
        return 1;
    }
    const bool wasInPlace = out.inPlace;
    if (!WrapSurface(surface)) {
        return -1;
    }
    // A window exactly the picture's size and layout is drawn into directly: nothing is
    // copied to show a frame.
    const int w = width_, h = height_;
    out.inPlace = out.viewport.x == 0 && out.viewport.y == 0 && out.width == w && out.height == h &&
                  out.viewport.w == w && out.viewport.h == h &&
                  (surface->format->format == SDL_PIXELFORMAT_RGB888 ||
                   surface->format->format == SDL_PIXELFORMAT_ARGB8888);
    if (out.inPlace || wasInPlace || !compositor_.Target()) {
        pixman_image_t* picture = out.inPlace
                                      ? pixman_image_ref(out.image)
                                      : pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, nullptr, 0);
        if (!picture) {
            return -1;
        }
        compositor_.SetTarget(picture);
        pixman_image_unref(picture);
    }
    return 0;
}

bool CompositorBackend::ShowPicture(pixman_region32_t* damage) {
    WindowOutput& out = output_;
    if (!window_ || !out.image) {
        return false;
    }
    const bool unscaled = Unscaled(out, width_, height_);
    if (!damage) {
        if (!out.inPlace) {
            const pixman_color_t black{0, 0, 0, 0xFFFF};
            const pixman_box32_t all{0, 0, out.width, out.height};
            pixman_image_fill_boxes(PIXMAN_OP_SRC, out.image, &black, 1, &all);
            const pixman_box32_t picture{0, 0, width_, height_};
            CopyToWindow(WindowBox(out, picture, unscaled));
        }
        return SDL_UpdateWindowSurface(window_) == 0;
    }
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(damage, &count);
    if (count == 0) {
        return true;
    }
    std::vector<SDL_Rect>& rects = out.rects;
    rects.clear();
    for (int i = 0; i < count; ++i) {
        const pixman_box32_t to = WindowBox(out, boxes[i], unscaled);
        if (to.x2 > to.x1 && to.y2 > to.y1) {
            if (!out.inPlace) {
                CopyToWindow(to);
            }
            rects.push_back(SDL_Rect{to.x1, to.y1, to.x2 - to.x1, to.y2 - to.y1});
        }
    }
    return rects.empty() ||
           SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size())) == 0;
}

void CompositorBackend::ForgetWindowOutput() {
    WindowOutput& out = output_;
    if (out.image) {
        pixman_image_unref(out.image);
    }
    const bool inPlace = out.inPlace;
    out = WindowOutput{};
    out.inPlace = inPlace; // the picture may still be the surface's memory
}

void CompositorBackend::WindowToPicture(int& x, int& y) const {
    // The window's size now: the pointer may move before a frame shows a resized window.
    WindowOutput out;
    SDL_GetWindowSize(window_, &out.width, &out.height);
    if (out.width <= 0 || out.height <= 0) {
        return;
    }
    PlacePicture(out, width_, height_);
    x = static_cast<int>((x - out.viewport.x) / out.scale);
    y = static_cast<int>((y - out.viewport.y) / out.scale);
}

bool CompositorBackend::ReadShownPixels(std::vector<std::uint32_t>& argb, int& width, int& height) {
    const WindowOutput& out = output_;
    const bool fromWindow = window_ && out.image;
    pixman_image_t* from = fromWindow ? out.image : compositor_.Target();
    if (!from) {
        return false;
    }
    const int x = fromWindow ? out.viewport.x : 0, y = fromWindow ? out.viewport.y : 0;
    width = fromWindow ? out.viewport.w : width_;
    height = fromWindow ? out.viewport.h : height_;
    if (width <= 0 || height <= 0) {
        return false;
    }
    argb.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    pixman_image_t* to =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, argb.data(), width * 4);
    if (!to) {
        return false;
    }
    pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, x, y, 0, 0, 0, 0, width, height);
    pixman_image_unref(to);
    return true;
}
