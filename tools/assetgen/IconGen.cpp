#include "IconGen.h"

#include <cairo.h>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "Canvas.h"
#include "Pictures.h"

namespace {

constexpr int kIconSizes[] = {48, 128, 256};

} // namespace

// Each size is drawn from the vector design itself, not scaled from a smaller picture, so
// the large icons stay sharp.
bool GenerateDesktopIcons(const std::string& outDir) {
    const std::string dir = outDir + "/icons";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "assetgen: cannot create %s\n", dir.c_str());
        return false;
    }
    for (const int size : kIconSizes) {
        Canvas canvas(size, size);
        PaintIcon(canvas.Cr(), size);
        cairo_surface_flush(canvas.Surface());
        const std::string path = dir + "/zorbit-volley-" + std::to_string(size) + ".png";
        if (cairo_surface_write_to_png(canvas.Surface(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}
