#pragma once
#include <array>
#include <memory>

#include "GameMap.h"

class Launcher;
class TwClip;

// The aim guide: while the player aims, a dotted line of small bubbles in the loaded colour
// follows the route the shot would take, bounces included, and a faint whole bubble marks
// the cell it would fill. The route comes from the field's own shot route
// (GameMap::PredictRoute), so the guide shows exactly where the shot goes.
class AimGuide {
public:
    static constexpr float kDotSpacing = 14.0f;
    static constexpr float kDotScale = 0.3f;
    static constexpr float kDotAlpha = 210.0f;
    static constexpr float kGhostAlpha = 90.0f;

    AimGuide();
    ~AimGuide();

    // True when there is a shot to show: a bubble loaded and at rest at the launcher, and a
    // field that may be fired at.
    static bool Applies(const GameMap& field, const Launcher& launcher);
    // Works out the route along the launcher's aim and draws it.
    void Draw(GameMap& field, const Launcher& launcher);
    // The route drawn last.
    const GameMap::ShotRoute& Route() const { return route_; }

private:
    // A fully grown bubble of the colour to draw dots and the ghost with; null without one.
    TwClip* ClipOf(const GameMap& field, int colour);

    GameMap::ShotRoute route_;
    std::array<std::unique_ptr<TwClip>, GameMap::kColourCount> clips_;
};
