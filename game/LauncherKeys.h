#pragma once

class Launcher;
struct TwInputEvent;

// Playing with the keyboard (or a game controller, whose buttons arrive as the same keys):
// Left and Right turn the launcher while held, slowly while Shift is held too; Up or Space
// fires and Down swaps the loaded bubble with the next one. Turning aims through the
// launcher's own Aim, firing and swapping through Fire and Swap, so every limit and rule of
// the mouse applies unchanged.
class LauncherKeys {
public:
    // Turning speeds in radians per millisecond: a sweep across the whole aim range takes
    // about one and a half seconds, four times that with Shift.
    static constexpr float kTurnRate = 0.0016f;
    static constexpr float kFineTurnRate = 0.0004f;

    // Fire and swap on the key-down of Up, Space and Down. A key held down repeats its
    // key-down; only the first one of each press acts, as a mouse button must be released
    // between two shots.
    void HandleInput(Launcher& launcher, const TwInputEvent& event);
    // Turns the launcher for the time the turning keys were held.
    void Update(Launcher& launcher, int elapsedMs);

private:
    bool firePressed_ = false;
    bool swapPressed_ = false;
};
