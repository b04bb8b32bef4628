#include "ControlBindings.h"

#include <algorithm>
#include <iterator>

#include "data/TwDefFile.h"
#include "gui/TwInputEvent.h"
#include "platform/input/TwEvents.h"

namespace {

using namespace TwInputCodes;

// Controller buttons by the numbers the window reports.
constexpr int kPadA = 0, kPadB = 1, kPadX = 2, kPadStart = 6, kPadLeftShoulder = 9;
constexpr int kPadUp = 11, kPadDown = 12, kPadLeft = 13, kPadRight = 14;

constexpr const char* kActionNames[ControlBindings::kActionCount] = {
    "TurnLeft", "TurnRight", "FineTurn", "Fire", "Swap", "Pause", "Menu"};

constexpr const char* kPadNames[] = {"a",
                                     "b",
                                     "x",
                                     "y",
                                     "back",
                                     "guide",
                                     "start",
                                     "leftstick",
                                     "rightstick",
                                     "leftshoulder",
                                     "rightshoulder",
                                     "dpup",
                                     "dpdown",
                                     "dpleft",
                                     "dpright"};
constexpr int kPadCount = static_cast<int>(std::size(kPadNames));

struct NamedKey {
    int key;
    const char* name;
};
// Keys with a name of their own; letters, digits and F1-F12 are named by their label.
constexpr NamedKey kNamedKeys[] = {
    {8, "Backspace"}, {9, "Tab"},       {13, "Enter"},    {16, "Shift"},    {17, "Ctrl"},
    {18, "Alt"},      {19, "Pause"},    {20, "CapsLock"}, {27, "Escape"},   {32, "Space"},
    {33, "PageUp"},   {34, "PageDown"}, {35, "End"},      {36, "Home"},     {37, "Left"},
    {38, "Up"},       {39, "Right"},    {40, "Down"},     {45, "Insert"},   {46, "Delete"},
    {96, "Keypad0"},  {97, "Keypad1"},  {98, "Keypad2"},  {99, "Keypad3"},  {100, "Keypad4"},
    {101, "Keypad5"}, {102, "Keypad6"}, {103, "Keypad7"}, {104, "Keypad8"}, {105, "Keypad9"},
    {106, "Keypad*"}, {107, "Keypad+"}, {109, "Keypad-"}, {110, "Keypad."}, {111, "Keypad/"},
    {186, ";"},       {187, "="},       {188, ","},       {189, "-"},       {190, "."},
    {191, "/"},       {192, "`"},       {219, "["},       {220, "\\"},      {221, "]"},
    {222, "'"}};

bool Bindable(int key) {
    return key != kEscape && !ControlBindings::KeyName(key).empty();
}

bool BindablePad(int pad) {
    return pad >= 0 && pad < kPadCount;
}

} // namespace

ControlBindings& ControlBindings::Current() {
    static ControlBindings current = Defaults();
    return current;
}

ControlBindings ControlBindings::Defaults() {
    ControlBindings b;
    b.keys_ = {kLeft, kRight, kShift, kSpace, kDown, 'P', kEscape};
    b.pads_ = {kPadLeft, kPadRight, kPadLeftShoulder, kPadA, kPadX, kPadStart, kPadB};
    return b;
}

std::optional<ControlBindings::Action> ControlBindings::AssignKey(Action action, int key) {
    if (!Bindable(key) && !(key == kEscape && Defaults().Key(action) == kEscape)) {
        return action;
    }
    for (int other = 0; other < kActionCount; ++other) {
        if (other != action && keys_[other] == key) {
            return static_cast<Action>(other);
        }
    }
    keys_[action] = key;
    return std::nullopt;
}

std::optional<ControlBindings::Action> ControlBindings::AssignPad(Action action, int pad) {
    if (!BindablePad(pad)) {
        return action;
    }
    for (int other = 0; other < kActionCount; ++other) {
        if (other != action && pads_[other] == pad) {
            return static_cast<Action>(other);
        }
    }
    pads_[action] = pad;
    return std::nullopt;
}

void ControlBindings::Load(TwDefFile& settings) {
    const ControlBindings defaults = Defaults();
    // Everything unbound first, so each action is checked against those read before it.
    keys_.fill(0);
    pads_.fill(kNoPad);
    for (int i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const std::string base = "Controls.";
        const int key = KeyFromName(settings.GetString(base + "Key." + ActionName(action), ""));
        const bool keyTaken = std::find(keys_.begin(), keys_.end(), key) != keys_.end();
        if (key == 0 || keyTaken || (key == kEscape && defaults.keys_[i] != kEscape)) {
            const bool defaultTaken =
                std::find(keys_.begin(), keys_.end(), defaults.keys_[i]) != keys_.end();
            keys_[i] = defaultTaken ? 0 : defaults.keys_[i];
        } else {
            keys_[i] = key;
        }
        const int pad = PadFromName(settings.GetString(base + "Pad." + ActionName(action), ""));
        const bool padTaken = std::find(pads_.begin(), pads_.end(), pad) != pads_.end();
        if (pad == kNoPad || padTaken) {
            const bool defaultTaken =
                std::find(pads_.begin(), pads_.end(), defaults.pads_[i]) != pads_.end();
            pads_[i] = defaultTaken ? kNoPad : defaults.pads_[i];
        } else {
            pads_[i] = pad;
        }
    }
}

void ControlBindings::Store(TwDefFile& settings) const {
    for (int i = 0; i < kActionCount; ++i) {
        const std::string name = ActionName(static_cast<Action>(i));
        settings.SetString("Controls.Key." + name, KeyName(keys_[i]));
        settings.SetString("Controls.Pad." + name, PadName(pads_[i]));
    }
}

std::optional<ControlBindings::Action> ControlBindings::ActionOf(const TwInputEvent& event) const {
    if (event.messageId != kKeyDown) {
        return std::nullopt;
    }
    const ControlBindings defaults = Defaults();
    if (event.padButton >= 0) {
        for (int i = 0; i < kActionCount; ++i) {
            if (pads_[i] == event.padButton) {
                return static_cast<Action>(i);
            }
        }
        if (event.padButton == kPadUp && pads_[kFire] == defaults.pads_[kFire]) {
            return kFire;
        }
        if (event.padButton == kPadDown && pads_[kSwap] == defaults.pads_[kSwap]) {
            return kSwap;
        }
        return std::nullopt;
    }
    for (int i = 0; i < kActionCount; ++i) {
        if (keys_[i] != 0 && keys_[i] == event.key) {
            return static_cast<Action>(i);
        }
    }
    if (event.key == kUp && keys_[kFire] == defaults.keys_[kFire]) {
        return kFire;
    }
    return std::nullopt;
}

bool ControlBindings::Held(Action action) const {
    const ControlBindings defaults = Defaults();
    const int key = keys_[action];
    const int pad = pads_[action];
    if ((key != 0 && TwKeyboardKeyHeld(static_cast<std::uint32_t>(key))) ||
        (pad != kNoPad && TwPadButtonHeld(pad))) {
        return true;
    }
    if (action == kFire) {
        return (key == defaults.keys_[kFire] && TwKeyboardKeyHeld(kUp)) ||
               (pad == defaults.pads_[kFire] && TwPadButtonHeld(kPadUp));
    }
    if (action == kSwap) {
        return pad == defaults.pads_[kSwap] && TwPadButtonHeld(kPadDown);
    }
    return false;
}

std::string ControlBindings::KeyName(int key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        return std::string(1, static_cast<char>(key));
    }
    if (key >= 112 && key <= 123) {
        return "F" + std::to_string(key - 111);
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.key == key) {
            return named.name;
        }
    }
    return "";
}

int ControlBindings::KeyFromName(const std::string& name) {
    if (name.empty()) {
        return 0;
    }
    for (int key = 1; key < 256; ++key) {
        if (KeyName(key) == name) {
            return key;
        }
    }
    return 0;
}

std::string ControlBindings::PadName(int pad) {
    return BindablePad(pad) ? kPadNames[pad] : "";
}

int ControlBindings::PadFromName(const std::string& name) {
    for (int pad = 0; pad < kPadCount; ++pad) {
        if (name == kPadNames[pad]) {
            return pad;
        }
    }
    return kNoPad;
}

const char* ControlBindings::ActionName(Action action) {
    return action >= 0 && action < kActionCount ? kActionNames[action] : "";
}
