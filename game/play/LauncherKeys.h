#pragma once

class Launcher;
struct TwInputEvent;

// Playing with the keyboard or a game controller, through the bindings in force
// (ControlBindings; by default Left and Right turn the launcher while held, slowly while
// Shift is held too; Space or Up fires and Down swaps the loaded bubble with the next one). Turning
// aims through the launcher's own Aim, firing and swapping through Fire and Swap, so every limit
// and rule of the mouse applies unchanged.
class LauncherKeys {
public:
    // Turning speeds in radians per millisecond: a sweep across the whole aim range takes
    // about one and a half seconds, four times that with Shift.
    static constexpr float kTurnRate = 0.0016f;
    static constexpr float kFineTurnRate = 0.0004f;

    // Fire and swap on the key-down of their keys or buttons. A key held down repeats its
    // key-down; only the first one of each press acts, as a mouse button must be released
    // between two shots.
    void HandleInput(Launcher& launcher, const TwInputEvent& event);
    // The mouse and touch part of playing: a move aims, a left release fires, a right
    // release swaps.
    static void HandlePointer(Launcher& launcher, const TwInputEvent& event);
    // Turns the launcher for the time the turning keys were held.
    void Update(Launcher& launcher, int elapsedMs);
    // Forgets the presses under way, so a key still held after a pause fires again only
    // once it has been released.
    void IgnoreHeldKeys() {
        firePressed_ = true;
        swapPressed_ = true;
    }

private:
    bool firePressed_ = false;
    bool swapPressed_ = false;
};
