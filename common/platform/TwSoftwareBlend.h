#pragma once
// The software compositor's own loops for the blends nearly every redrawn pixel goes through.
#include <pixman.h>

namespace TwVideo {

// Lays the w x h pixels of `src` at (sx, sy) over `dest` at (dx, dy), or copies them when
// `copy`, with the same pixels as pixman's OVER and SRC, only where both pictures reach.
// False when the pictures are not plain 32-bit ones or a copy reaches outside `src` (pixman
// must draw those).
bool BlendPlain(bool copy, pixman_image_t* src, pixman_image_t* dest, int sx, int sy, int dx,
                int dy, int w, int h);

// The loops that blend: the widest the processor has (the default), or a narrower one, so
// that every kind can be checked on any machine.
enum class BlendLoops { kWidest, kFourAtATime, kOneAtATime };
void UseBlendLoops(BlendLoops loops);

} // namespace TwVideo
