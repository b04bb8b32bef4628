#pragma once
// The software compositor's own loops for the blend nearly every redrawn pixel goes through.
#include <pixman.h>

namespace TwVideo {

// Lays the w x h pixels of `src` at (sx, sy) over `dest` at (dx, dy) with the same pixels as
// pixman's OVER, only where both pictures reach. False when the pictures are not plain 32-bit
// ones (pixman must draw them).
bool BlendOver(pixman_image_t* src, pixman_image_t* dest, int sx, int sy, int dx, int dy, int w,
               int h);

// The loops that blend: the widest the processor has (the default), or a narrower one, so
// that every kind can be checked on any machine.
enum class BlendLoops { kWidest, kFourAtATime, kOneAtATime };
void UseBlendLoops(BlendLoops loops);

} // namespace TwVideo
