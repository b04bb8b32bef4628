#pragma once
#include <array>
#include <optional>
#include <string>

class TwDefFile;
struct TwInputEvent;

// The keys and controller buttons that play the game: one keyboard key and one controller
// button for each action, kept in the settings file as "Controls.Key.<Action>" (a key name)
// and "Controls.Pad.<Action>" (a button name). A file without them, or with one garbled,
// gives that action its default; no two actions share a key or a button.
//
// Keys are the window's virtual-key codes; buttons are the controller button numbers the
// window reports with a controller's key messages.
class ControlBindings {
public:
    enum Action { kTurnLeft, kTurnRight, kFineTurn, kFire, kSwap, kPause, kMenu, kActionCount };
    static constexpr int kNoPad = -1;

    // The bindings in force (loaded with the settings, changed by the controls dialog).
    static ControlBindings& Current();
    // Left, Right, Shift, Space, Down, P, Escape; d-pad left and right, left shoulder, A, X,
    // Start, B.
    static ControlBindings Defaults();

    int Key(Action action) const { return keys_[action]; }
    int Pad(Action action) const { return pads_[action]; }
    bool operator==(const ControlBindings& other) const = default;

    // Gives an action a new key (button). When another action has it already, nothing
    // changes and that action is returned; a key that cannot be bound (no name, or Escape,
    // which leaves the dialog) is refused with the action itself.
    std::optional<Action> AssignKey(Action action, int key);
    std::optional<Action> AssignPad(Action action, int pad);

    // Reads every action's binding from the settings; one missing, unknown or already
    // taken gives that action its default (or nothing, when the default is taken too).
    void Load(TwDefFile& settings);
    void Store(TwDefFile& settings) const;

    // The action a key-down record stands for: a controller's key message by its button,
    // a keyboard's by its key. Up also fires while Fire keeps its Space, and the d-pad's
    // up and down fire and swap while A and X do.
    std::optional<Action> ActionOf(const TwInputEvent& event) const;
    // True while the action's key or button is held.
    bool Held(Action action) const;

    // Names as the settings file keeps them ("Space", "F5", "A"; "a", "start", "dpleft"),
    // empty for a key or button without one; the reverse gives 0 (kNoPad).
    static std::string KeyName(int key);
    static int KeyFromName(const std::string& name);
    static std::string PadName(int pad);
    static int PadFromName(const std::string& name);
    // The action's name in the settings and the language tables ("TurnLeft").
    static const char* ActionName(Action action);

private:
    std::array<int, kActionCount> keys_{};
    std::array<int, kActionCount> pads_{};
};
