#pragma once

// One corner of a textured quad: screen position, texel position in pixels of the texture.
struct TwQuadCorner {
    float x = 0, y = 0;
    float u = 0, v = 0;
    bool operator==(const TwQuadCorner&) const = default;
};
