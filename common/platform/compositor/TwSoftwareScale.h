#pragma once
// Smooth scaling of the game picture to a larger window or screen, for the changed boxes of
// each frame: every window pixel blends the two nearest picture columns, then the two nearest
// rows (picture edges repeated), in whole levels.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace TwVideo {

// One direction of the scaling: for each window pixel along it, the two picture pixels it
// blends and the weight of the second in 128ths (0-127); `pairs` holds the two weights of
// each window pixel (128 - weight, weight) once for each channel.
struct ScaleAxis {
    std::vector<std::int32_t> first, second;
    std::vector<std::uint16_t> weight;
    std::vector<std::uint8_t> pairs;
    int pictureSize = 0;
};

// The axis of a window `windowSize` pixels long showing `pictureSize` picture pixels from
// `offset` on, `scale` window pixels to a picture pixel; window pixels outside the picture's
// place repeat its edge.
ScaleAxis MakeScaleAxis(int pictureSize, int offset, int windowSize, double scale);

// Fills the window box [x1, x2) x [y1, y2) with the scaled picture (32-bit pixels, any channel
// order: channels are blended alike). The box must lie within the axes.
void ScaleBox(const std::uint32_t* picture, std::ptrdiff_t pictureStride, const ScaleAxis& columns,
              const ScaleAxis& rows, std::uint32_t* window, std::ptrdiff_t windowStride, int x1,
              int y1, int x2, int y2);

// The loops that blend: the widest the processor has (the default), or one pixel at a time,
// so that both can be checked on any machine.
void UseWidestScaleLoops(bool widest);

} // namespace TwVideo
