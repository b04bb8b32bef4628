#pragma once
#include <array>
#include <memory>
#include <string>

#include "gfx/TwBound.h"

// The burst of a bubble: a handful of fragments flung out from where the bubble was, falling
// under a little gravity while each plays its 16-frame strip once. Besides its own strip the
// effect carries two more strips of the same colour; the first three fragments of a burst
// all use one of those, the rest the main strip.
class BubbleDestroy : public TwBound {
public:
    BubbleDestroy() = default;
    // Copies the emitter and both extra strips.
    BubbleDestroy(const BubbleDestroy& other);
    BubbleDestroy& operator=(const BubbleDestroy&) = delete;
    ~BubbleDestroy() override = default;

    // Draws every live fragment with its own strip; nothing once finished.
    void Draw() override;
    // Fragment life 384 to 896 ms, speed up to 0.125 px/ms each way, and a downward pull up
    // to a gravity drawn once for this prototype (0.0005 to 0.001 px/ms^2).
    bool Init(const std::string& name) override;
    // Adds n fragments: opaque, not fading, on the main strip, except the first three
    // fragments of the effect, which share one of the two extra strips.
    void Emit(int n) override;

    // The first strip added becomes extra strip 0, the second extra strip 1.
    void AddExtraClip(std::unique_ptr<TwClip> clip);
    TwClip* ExtraClip(int index) const;

private:
    TwClip& ClipFor(int choice);

    std::array<std::unique_ptr<TwClip>, 2> extra_;
};
