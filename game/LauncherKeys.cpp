#include "LauncherKeys.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "Launcher.h"
#include "gui/TwInputEvent.h"
#include "platform/TwEvents.h"

namespace {

using namespace TwInputCodes;

// The aim always points above the launcher's own height (as the mouse must be above it).
constexpr float kFlattestAngle = 0.02f;
// How far ahead of the launcher the turned aim is given to Aim, as if the mouse were there.
constexpr float kAimDistance = 300.0f;

bool FireKeyHeld() {
    return TwKeyHeld(kUp) || TwKeyHeld(kSpace);
}

} // namespace

void LauncherKeys::HandleInput(Launcher& launcher, const TwInputEvent& event) {
    if (event.messageId != kKeyDown) {
        return;
    }
    if (event.key == kUp || event.key == kSpace) {
        if (!firePressed_) {
            firePressed_ = true;
            launcher.Fire();
        }
    } else if (event.key == kDown) {
        if (!swapPressed_) {
            swapPressed_ = true;
            launcher.Swap();
        }
    }
}

void LauncherKeys::Update(Launcher& launcher, int elapsedMs) {
    // A released key lets the next press act again.
    firePressed_ = firePressed_ && FireKeyHeld();
    swapPressed_ = swapPressed_ && TwKeyHeld(kDown);

    const bool left = TwKeyHeld(kLeft);
    const bool right = TwKeyHeld(kRight);
    if (left == right || elapsedMs <= 0) {
        return;
    }
    const float rate = TwKeyHeld(kShift) ? kFineTurnRate : kTurnRate;
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
