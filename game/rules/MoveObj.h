#pragma once
#include <memory>

#include "gfx/TwClip.h"

// One entry of the draw list: the drawable, the layer it is in and whether the list advances
// it every frame. Effects handed over to the list are owned by their entry and die with it.
struct MoveObj {
    TwClip* object = nullptr;
    std::unique_ptr<TwClip> owned; // set when the list owns the object
    bool top = false;              // top layer: may be advanced by the list each frame
    bool update = false;           // advance it every frame (top layer only)
};
