#pragma once
#include "TwVector.h"

// Vector helpers shared by the field's source files.
namespace FieldMath {
// Distance between two points, z included.
inline float Distance(const TwVector& a, const TwVector& b) {
    return (a - b).Length();
}

// The point or direction on the field's plane (z dropped).
inline TwVector Flat(const TwVector& v) {
    return {v.x, v.y, 0.0f};
}
} // namespace FieldMath
