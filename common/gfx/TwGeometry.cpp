#include "gfx/TwGeometry.h"

#include <cmath>

bool TwSpheresOverlap(const TwVector& c1, float r1, const TwVector& c2, float r2) {
    return r1 + r2 >= (c1 - c2).Length();
}

bool TwCircleTouchesLine(const TwVector& q, float radius, const TwVector& p, const TwVector& d) {
    const float length = std::hypot(d.x, d.y);
    if (length == 0.0f) {
        return radius >= std::hypot(q.x - p.x, q.y - p.y);
    }
    return radius >= std::fabs(d.x * (q.y - p.y) - d.y * (q.x - p.x)) / length;
}

bool TwPointInBox(float px, float py, float cx, float cy, float w, float h) {
    return cx - w / 2 <= px && px <= cx + w / 2 && cy - h / 2 <= py && py <= cy + h / 2;
}

bool TwSegmentsIntersect(const TwVector& p0, const TwVector& p1, const TwVector& q0,
                         const TwVector& q1, TwVector* hit) {
    const TwVector d1 = p1 - p0, d2 = q1 - q0, w = q0 - p0;
    const float den = -d2.y * d1.x + d2.x * d1.y; // n . d1 with n = (-d2.y, d2.x)
    if (std::fabs(den) < 0.0001f) {
        return false;
    }
    const float u = (-d2.y * w.x + d2.x * w.y) / den;
    const float v = (w.x * -d1.y + w.y * d1.x) / den;
    if (!(u > 0.0f && u < 1.0f && v > 0.0f && v < 1.0f)) {
        return false;
    }
    if (hit != nullptr) {
        *hit = p0 + d1 * u;
    }
    return true;
}
