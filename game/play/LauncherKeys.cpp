#include "LauncherKeys.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "ControlBindings.h"
#include "Launcher.h"
#include "gui/TwInputEvent.h"

namespace {

// The aim always points above the launcher's own height (as the mouse must be above it).
constexpr float kFlattestAngle = 0.02f;
// How far ahead of the launcher the turned aim is given to Aim, as if the mouse were there.
constexpr float kAimDistance = 300.0f;

} // namespace

void LauncherKeys::HandlePointer(Launcher& launcher, const TwInputEvent& event) {
    launcher.HandleInput(event.eventClass, event.button, event.messageId,
                         TwVector(event.eventX, event.eventY, event.eventZ), event.key);
}

void LauncherKeys::HandleInput(Launcher& launcher, const TwInputEvent& event) {
    const std::optional<ControlBindings::Action> action =
        ControlBindings::Current().ActionOf(event);
    if (action == ControlBindings::kFire) {
        if (!firePressed_) {
            firePressed_ = true;
            launcher.Fire();
        }
    } else if (action == ControlBindings::kSwap) {
        if (!swapPressed_) {
            swapPressed_ = true;
            launcher.Swap();
        }
    }
}

void LauncherKeys::Update(Launcher& launcher, int elapsedMs) {
    // A released key lets the next press act again.
    const ControlBindings& bindings = ControlBindings::Current();
    firePressed_ = firePressed_ && bindings.Held(ControlBindings::kFire);
    swapPressed_ = swapPressed_ && bindings.Held(ControlBindings::kSwap);

    const bool left = bindings.Held(ControlBindings::kTurnLeft);
    const bool right = bindings.Held(ControlBindings::kTurnRight);
    if (left == right || elapsedMs <= 0) {
        return;
    }
    const float rate = bindings.Held(ControlBindings::kFineTurn) ? kFineTurnRate : kTurnRate;
    const TwVector direction = launcher.Direction();
    // Angle above the horizontal, counted from the right: turning left raises it.
    const float angle = std::atan2(-direction.y, direction.x);
    const float turn = rate * static_cast<float>(elapsedMs) * (left ? 1.0f : -1.0f);
    const float turned =
        std::clamp(angle + turn, kFlattestAngle, std::numbers::pi_v<float> - kFlattestAngle);
    const TwVector origin = launcher.Position();
    launcher.Aim(TwVector(origin.x + std::cos(turned) * kAimDistance,
                          origin.y - std::sin(turned) * kAimDistance, 0.0f));
}
