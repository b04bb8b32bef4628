#pragma once

// A screen rectangle: width = right - left, height = bottom - top.
struct TwRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool operator==(const TwRect&) const = default;
};

// A screen point in whole pixels.
struct TwPoint {
    int x = 0;
    int y = 0;
    constexpr bool operator==(const TwPoint&) const = default;
};
