#pragma once
#include "TwVector.h"

// Geometric tests of the game, in the x-y plane unless noted.

// Two spheres (3-D centres) overlap or touch.
bool TwSpheresOverlap(const TwVector& c1, float r1, const TwVector& c2, float r2);
// A circle of `radius` around q touches the infinite line through p with direction d.
// A zero direction degenerates to the point p.
bool TwCircleTouchesLine(const TwVector& q, float radius, const TwVector& p, const TwVector& d);
// (px, py) lies in the w x h box centred on (cx, cy), edges included.
bool TwPointInBox(float px, float py, float cx, float cy, float w, float h);
// Segments p0-p1 and q0-q1 cross strictly inside both; nearly parallel segments
// (|denominator| < 0.0001) never do. On a hit, `hit` (if given) gets the crossing point.
bool TwSegmentsIntersect(const TwVector& p0, const TwVector& p1, const TwVector& q0,
                         const TwVector& q1, TwVector* hit);
