// One PNG showing every generated picture with its name, for reviewing the look as a whole.
#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "AssetGen.h"
#include "Canvas.h"
#include "Draw.h"
#include "PictureFile.h"

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() > tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// `dir` + '/' + `name`, without a leading '/' when `dir` is empty.
std::string Join(const std::string& dir, const std::string& name) {
    std::string path = dir;
    if (!path.empty()) {
        path += '/';
    }
    path += name;
    return path;
}

bool IsPictureFile(const std::string& name) {
    return EndsWith(name, ".Jpg") || EndsWith(name, ".Webp");
}

void ListPictures(const std::string& root, const std::string& prefix,
                  std::vector<std::string>& out) {
    DIR* dir = opendir(Join(root, prefix).c_str());
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> entries;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            entries.push_back(name);
        }
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    for (const std::string& name : entries) {
        const std::string rel = Join(prefix, name);
        struct stat info {};
        if (stat(Join(root, rel).c_str(), &info) != 0) {
            continue;
        }
        if (S_ISDIR(info.st_mode)) {
            ListPictures(root, rel, out);
        } else if (IsPictureFile(rel)) {
            out.push_back(rel);
        }
    }
}

// A Cairo surface holding straight RGBA pixels (premultiplied as Cairo wants them).
cairo_surface_t* SurfaceFromRgba(int w, int h, const std::vector<std::uint8_t>& rgba) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * w + x) * 4];
            const unsigned a = p[3];
            auto pm = [a](unsigned c) { return (c * a + 127) / 255; };
            data[static_cast<std::ptrdiff_t>(y) * stride + x] =
                (a << 24) | (pm(p[0]) << 16) | (pm(p[1]) << 8) | pm(p[2]);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

struct Tile {
    std::string name;
    int w, h;
    double scale;
    cairo_surface_t* surface;
};

constexpr int kSheetWidth = 1600;
constexpr int kGap = 14;
constexpr int kLabel = 18;

void Checker(cairo_t* cr, double x, double y, double w, double h) {
    cairo_save(cr);
    cairo_rectangle(cr, x, y, w, h);
    cairo_clip(cr);
    for (int j = 0; j * 8 < h; ++j) {
        for (int i = 0; i * 8 < w; ++i) {
            const double v = ((i + j) % 2 == 0) ? 0.30 : 0.36;
            cairo_set_source_rgb(cr, v, v, v + 0.03);
            cairo_rectangle(cr, x + i * 8, y + j * 8, 8, 8);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

} // namespace

bool WriteContactSheet(const std::string& outDir, const std::string& pngPath) {
    const std::string root = outDir + "/Data/Textures";
    std::vector<std::string> names;
    ListPictures(root, "", names);
    if (names.empty()) {
        std::fprintf(stderr, "assetgen: no pictures under %s\n", root.c_str());
        return false;
    }
    std::vector<Tile> tiles;
    for (const std::string& name : names) {
        int w = 0, h = 0;
        std::vector<std::uint8_t> rgba;
        if (!ReadPictureFile(Join(root, name), w, h, rgba)) {
            std::fprintf(stderr, "assetgen: cannot read %s\n", name.c_str());
            return false;
        }
        double scale = std::min({1.0, 390.0 / w, 300.0 / h});
        if (h <= 48) {
            // Strips and small sprites are shown enlarged, as wide as the sheet allows.
            scale = std::min(2.0, (kSheetWidth - 2.0 * kGap) / w);
        } else if (w <= 64 && h <= 64) {
            scale = 2.0;
        }
        tiles.push_back(
            {name.substr(0, name.size() - 4), w, h, scale, SurfaceFromRgba(w, h, rgba)});
    }
    // Flow the tiles into rows.
    struct Placed {
        const Tile* tile;
        double x, y;
    };
    std::vector<Placed> placed;
    double x = kGap, y = kGap, rowHeight = 0;
    for (const Tile& t : tiles) {
        const double tw = std::max(t.w * t.scale, 120.0), th = t.h * t.scale + kLabel;
        if (x + tw > kSheetWidth - kGap) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        placed.push_back({&t, x, y});
        x += tw + kGap;
        rowHeight = std::max(rowHeight, th);
    }
    const int height = static_cast<int>(y + rowHeight + kGap);
    Canvas sheet(kSheetWidth, height);
    cairo_t* cr = sheet.Cr();
    cairo_set_source_rgb(cr, 0.13, 0.14, 0.17);
    cairo_paint(cr);
    for (const Placed& p : placed) {
        const Tile& t = *p.tile;
        const double w = t.w * t.scale, h = t.h * t.scale;
        Checker(cr, p.x, p.y, w, h);
        cairo_save(cr);
        cairo_translate(cr, p.x, p.y);
        cairo_scale(cr, t.scale, t.scale);
        cairo_set_source_surface(cr, t.surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr),
                                 t.scale > 1 ? CAIRO_FILTER_NEAREST : CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
        const std::string label = t.name + "  " + std::to_string(t.w) + "x" + std::to_string(t.h);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                               CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 11);
        cairo_set_source_rgb(cr, 0.85, 0.88, 0.95);
        cairo_move_to(cr, p.x, p.y + h + 13);
        cairo_show_text(cr, label.c_str());
    }
    for (Tile& t : tiles) {
        cairo_surface_destroy(t.surface);
    }
    if (cairo_surface_write_to_png(sheet.Surface(), pngPath.c_str()) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", pngPath.c_str());
        return false;
    }
    return true;
}
