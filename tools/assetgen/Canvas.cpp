#include "Canvas.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GRAY);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

namespace {

// One box-blur pass along a line of `count` premultiplied pixels spaced `stride` words apart;
// pixels outside the picture count as transparent.
void BlurLine(std::uint32_t* line, int count, int stride, int radius,
              std::vector<std::uint32_t>& tmp) {
    tmp.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        tmp[static_cast<std::size_t>(i)] = line[static_cast<std::ptrdiff_t>(i) * stride];
    }
    const int window = 2 * radius + 1;
    long sum[4] = {0, 0, 0, 0};
    auto add = [&](int index, int sign) {
        if (index < 0 || index >= count) {
            return;
        }
        const std::uint32_t p = tmp[static_cast<std::size_t>(index)];
        for (int c = 0; c < 4; ++c) {
            sum[c] += sign * static_cast<long>((p >> (8 * c)) & 0xFF);
        }
    };
    for (int i = -radius; i <= radius; ++i) {
        add(i, 1);
    }
    for (int i = 0; i < count; ++i) {
        std::uint32_t out = 0;
        for (int c = 0; c < 4; ++c) {
            const long v = (sum[c] + window / 2) / window;
            out |= static_cast<std::uint32_t>(std::clamp(v, 0L, 255L)) << (8 * c);
        }
        line[static_cast<std::ptrdiff_t>(i) * stride] = out;
        add(i - radius, -1);
        add(i + radius + 1, 1);
    }
}

} // namespace

void Canvas::Blur(int radius) {
    if (radius <= 0) {
        return;
    }
    cairo_surface_flush(surface_);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface_));
    const int stride = cairo_image_surface_get_stride(surface_) / 4;
    std::vector<std::uint32_t> tmp;
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < height_; ++y) {
            BlurLine(data + static_cast<std::ptrdiff_t>(y) * stride, width_, 1, radius, tmp);
        }
        for (int x = 0; x < width_; ++x) {
            BlurLine(data + x, height_, stride, radius, tmp);
        }
    }
    cairo_surface_mark_dirty(surface_);
}

std::vector<std::uint8_t> Canvas::Rgba() const {
    cairo_surface_flush(surface_);
    const auto* data =
        reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(surface_));
    const int stride = cairo_image_surface_get_stride(surface_) / 4;
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width_) * height_ * 4);
    std::size_t o = 0;
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t p = data[static_cast<std::ptrdiff_t>(y) * stride + x];
            const unsigned a = p >> 24;
            unsigned rgb[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            for (unsigned& c : rgb) {
                // Undo Cairo's premultiplication, rounding to the nearest value.
                c = a == 0 ? 0 : std::min(255u, (c * 255 + a / 2) / a);
            }
            out[o++] = static_cast<std::uint8_t>(rgb[0]);
            out[o++] = static_cast<std::uint8_t>(rgb[1]);
            out[o++] = static_cast<std::uint8_t>(rgb[2]);
            out[o++] = static_cast<std::uint8_t>(a);
        }
    }
    BleedEdgeColours(width_, height_, out);
    return out;
}

void BleedEdgeColours(int width, int height, std::vector<std::uint8_t>& rgba) {
    // Fully transparent pixels next to visible ones take their neighbours' colour (alpha
    // stays 0), so that filtering a scaled, turned or half-pixel-placed sprite blends its
    // edge towards its own colour rather than towards black.
    const auto index = [width](int x, int y) {
        return (static_cast<std::size_t>(y) * width + x) * 4;
    };
    std::vector<std::uint8_t> filled(static_cast<std::size_t>(width) * height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            filled[static_cast<std::size_t>(y) * width + x] = rgba[index(x, y) + 3] != 0;
        }
    }
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::uint8_t> next = filled;
        std::vector<std::uint8_t> source = rgba;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (filled[static_cast<std::size_t>(y) * width + x]) {
                    continue;
                }
                unsigned sum[3] = {0, 0, 0}, count = 0;
                const int dx[4] = {-1, 1, 0, 0}, dy[4] = {0, 0, -1, 1};
                for (int k = 0; k < 4; ++k) {
                    const int nx = x + dx[k], ny = y + dy[k];
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height ||
                        !filled[static_cast<std::size_t>(ny) * width + nx]) {
                        continue;
                    }
                    for (int c = 0; c < 3; ++c) {
                        sum[c] += source[index(nx, ny) + c];
                    }
                    ++count;
                }
                if (count > 0) {
                    for (int c = 0; c < 3; ++c) {
                        rgba[index(x, y) + c] =
                            static_cast<std::uint8_t>((sum[c] + count / 2) / count);
                    }
                    next[static_cast<std::size_t>(y) * width + x] = 1;
                }
            }
        }
        filled.swap(next);
    }
}

void Canvas::Paint(const Canvas& other, double x, double y, double alpha) {
    cairo_save(cr_);
    cairo_set_source_surface(cr_, other.Surface(), x, y);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
}

bool MakeDirectories(const std::string& dir) {
    if (dir.empty()) {
        return true;
    }
    std::string partial;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        partial = dir.substr(0, pos);
        if (partial.empty()) {
            continue;
        }
        if (mkdir(partial.c_str(), 0755) != 0 && errno != EEXIST) {
            return false;
        }
    }
    struct stat info {};
    return stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
