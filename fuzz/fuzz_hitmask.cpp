// Builds a sprite's hit masks from arbitrary pixels and asks the animated sprite whether
// points hit it. Input: bytes 0-1 the picture's width and height (1-256 each), byte 2 the
// frame grid (columns in the low nibble, rows in the high one), byte 3 the frame, bytes 4-7
// the sprite's centre (two signed 16-bit numbers); then the alpha of each pixel, row after
// row (missing pixels are transparent), and finally the points to test (two signed 16-bit
// numbers and a level byte each).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gfx/TwClip.h"
#include "gfx/TwImageData.h"

namespace {

// A sprite that takes a picture record built in memory instead of one from the packs.
class FuzzClip : public TwClip {
public:
    void Show(std::shared_ptr<TwImageData> record) { Hold(std::move(record)); }
};

int Int16(const std::uint8_t* p) {
    return std::int16_t(std::uint16_t(p[0] | p[1] << 8));
}

bool AnyOpaque(const std::vector<std::uint8_t>& rgba, int width, const TwRect& area) {
    for (int row = area.top; row < area.bottom; ++row) {
        for (int column = area.left; column < area.right; ++column) {
            if (rgba[(std::size_t(row) * width + column) * 4 + 3] != 0) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        return 0;
    }
    const int width = data[0] + 1, height = data[1] + 1;
    const int columns = (data[2] & 15) + 1, rows = (data[2] >> 4) + 1;
    const int frame = data[3];
    const int centreX = Int16(data + 4), centreY = Int16(data + 6);
    std::size_t pos = 8;

    std::vector<std::uint8_t> rgba(std::size_t(width) * height * 4, 0);
    for (std::size_t i = 0; i < std::size_t(width) * height && pos < size; ++i, ++pos) {
        rgba[i * 4 + 3] = data[pos];
    }

    auto record = std::make_shared<TwImageData>();
    record->info.Width = width;
    record->info.Height = height;
    record->masks = std::make_unique<TwMaskSet>(TwBuildMaskSet(width, height, rgba.data()));
    const TwMaskSet& masks = *record->masks;
    if (masks.size() != 3 || masks[0].cells.size() != std::size_t(width) * height ||
        masks[1].width != width / 2 || masks[2].height != height / 4) {
        __builtin_trap();
    }

    FuzzClip clip;
    clip.Show(record);
    clip.SetAnimation(1000, TwAnimation::Loop, columns, rows);
    clip.SetFrame(frame);
    clip.SetPosition(float(centreX), float(centreY));

    const TwRect cell = clip.FrameCell(frame);
    const bool cellOpaque = AnyOpaque(rgba, width, cell);
    const bool pictureOpaque = AnyOpaque(rgba, width, TwRect{0, 0, width, height});
    for (; pos + 5 <= size; pos += 5) {
        const TwPoint point{Int16(data + pos), Int16(data + pos + 2)};
        const int level = data[pos + 4] % 4 - (data[pos + 4] >= 252 ? 8 : 0);
        if (!clip.PixelHit(point, level)) {
            continue;
        }
        // A hit needs a solid pixel: in the frame shown at full size, in the picture at the
        // coarser levels (whose cells may straddle two frames of an odd-sized grid).
        if (level == 0 ? !cellOpaque : !pictureOpaque) {
            __builtin_trap();
        }
    }
    return 0;
}
