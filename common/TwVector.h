#pragma once
#include <cmath>

// A position, velocity or direction in screen pixels (velocities in pixels per
// millisecond). z is carried along but the field lives at z = 0.
struct TwVector {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr TwVector() = default;
    constexpr TwVector(float ax, float ay, float az = 0.0f) : x(ax), y(ay), z(az) {}

    constexpr TwVector operator+(const TwVector& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr TwVector operator-(const TwVector& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr TwVector operator*(float s) const { return {x * s, y * s, z * s}; }
    // Callers never divide by zero.
    constexpr TwVector operator/(float s) const { return {x / s, y / s, z / s}; }
    constexpr TwVector& operator+=(const TwVector& o) { return *this = *this + o; }
    constexpr TwVector& operator-=(const TwVector& o) { return *this = *this - o; }
    constexpr TwVector& operator*=(float s) { return *this = *this * s; }
    constexpr TwVector& operator/=(float s) { return *this = *this / s; }
    constexpr bool operator==(const TwVector&) const = default;

    float Length() const { return std::sqrt(x * x + y * y + z * z); }
};

// A grid cell (column, then row) or any other pair of numbers.
template <typename T> struct TwPoint2D {
    T x{};
    T y{};
    constexpr bool operator==(const TwPoint2D&) const = default;
};
