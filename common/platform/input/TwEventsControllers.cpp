// The game controllers' part of the window's messages: controllers are opened when plugged
// in, and their buttons and left stick speak as keys.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "platform/input/TwEvents.h"
#include "platform/input/TwEventsInternal.h"

using TwEventsInternal::Post;
using TwEventsInternal::PostKeyDown;

namespace {

// A game controller the player plugged in: the keys its buttons and stick hold down now.
struct Pad {
    SDL_GameController* controller = nullptr;
    std::multiset<std::uint32_t> heldKeys;
    std::multiset<int> heldButtons; // the stick counts as the d-pad button it leans towards
    int stickX = 0, stickY = 0;
    std::uint32_t stickKey = 0; // the arrow the left stick stands for, 0 in the middle
};

std::map<SDL_JoystickID, Pad>& Pads() {
    static std::map<SDL_JoystickID, Pad> pads;
    return pads;
}

// Controller buttons speak as keys: the d-pad as the arrows (aim, fire, swap, menu focus),
// A as Space (fire, press), B as Escape (back), X as Down (swap), Start as Enter (confirm,
// also where Space is typed, as in the name dialog).
std::uint32_t PadButtonKey(Uint8 button) {
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
        return 37;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
        return 38;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
        return 39;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
        return 40;
    case SDL_CONTROLLER_BUTTON_A:
        return 32;
    case SDL_CONTROLLER_BUTTON_B:
        return 27;
    case SDL_CONTROLLER_BUTTON_X:
        return 40;
    case SDL_CONTROLLER_BUTTON_START:
        return 13;
    default:
        return 0;
    }
}

// A button's key messages carry the button (plus one) as their x, so the game can tell a
// controller's Start from the keyboard's Enter. A button without a key sends key 0.
void PressPadKey(Pad& pad, std::uint32_t vk, int button) {
    pad.heldKeys.insert(vk);
    pad.heldButtons.insert(button);
    PostKeyDown(vk, button + 1);
}

void ReleasePadKey(Pad& pad, std::uint32_t vk, int button) {
    if (const auto heldButton = pad.heldButtons.find(button); heldButton != pad.heldButtons.end()) {
        pad.heldButtons.erase(heldButton);
    }
    const auto held = pad.heldKeys.find(vk);
    if (held != pad.heldKeys.end()) {
        pad.heldKeys.erase(held);
        Post(kTwMsgKeyUp, vk, button + 1);
    }
}

// The d-pad button an arrow key stands for.
int ArrowButton(std::uint32_t vk) {
    switch (vk) {
    case 37:
        return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case 38:
        return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case 39:
        return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    default:
        return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    }
}

// The stick leans towards one arrow once it is pushed well out of the middle, along its
// stronger axis; it lets go only nearer the middle, so a stick held at the edge of the
// threshold does not flutter.
constexpr int kStickPress = 16000;
constexpr int kStickRelease = 10000;

std::uint32_t StickKey(const Pad& pad) {
    const int ax = std::abs(pad.stickX), ay = std::abs(pad.stickY);
    const int threshold = pad.stickKey != 0 ? kStickRelease : kStickPress;
    if (std::max(ax, ay) < threshold) {
        return 0;
    }
    if (ax >= ay) {
        return pad.stickX < 0 ? 37 : 39;
    }
    return pad.stickY < 0 ? 38 : 40;
}

void MovePadStick(Pad& pad, Uint8 axis, int value) {
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
        pad.stickX = value;
    } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
        pad.stickY = value;
    } else {
        return;
    }
    const std::uint32_t key = StickKey(pad);
    if (key == pad.stickKey) {
        return;
    }
    if (pad.stickKey != 0) {
        ReleasePadKey(pad, pad.stickKey, ArrowButton(pad.stickKey));
    }
    pad.stickKey = key;
    if (key != 0) {
        PressPadKey(pad, key, ArrowButton(key));
    }
}

// A controller plugged in (or present at start) is opened at once; one pulled out lets go
// of every key it held.
void ReleaseEverything(Pad& pad) {
    while (!pad.heldKeys.empty()) {
        const std::uint32_t vk = *pad.heldKeys.begin();
        pad.heldKeys.erase(pad.heldKeys.begin());
        Post(kTwMsgKeyUp, vk);
    }
    pad.heldButtons.clear();
}

void AddPad(int deviceIndex) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    Pad& pad = Pads()[id];
    if (pad.controller) {
        SDL_GameControllerClose(controller); // already open: keep one handle
        return;
    }
    pad.controller = controller;
}

void RemovePad(SDL_JoystickID id) {
    const auto found = Pads().find(id);
    if (found == Pads().end()) {
        return;
    }
    Pad& pad = found->second;
    ReleaseEverything(pad);
    if (pad.controller) {
        SDL_GameControllerClose(pad.controller);
    }
    Pads().erase(found);
}

} // namespace

namespace TwEventsInternal {

void TranslateControllerEvent(const SDL_Event& e) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        AddPad(e.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        RemovePad(e.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const std::uint32_t vk = PadButtonKey(e.cbutton.button);
        const int button = e.cbutton.button;
        Pad& pad = Pads()[e.cbutton.which];
        if (e.type == SDL_CONTROLLERBUTTONDOWN) {
            PressPadKey(pad, vk, button);
        } else {
            ReleasePadKey(pad, vk, button);
        }
        break;
    }
    case SDL_CONTROLLERAXISMOTION:
        MovePadStick(Pads()[e.caxis.which], e.caxis.axis, e.caxis.value);
        break;
    default:
        break;
    }
}

bool ControllersHold(std::uint32_t virtualKey) {
    for (const auto& [id, pad] : Pads()) {
        if (pad.heldKeys.count(virtualKey) != 0) {
            return true;
        }
    }
    return false;
}

bool ControllersHoldButton(int button) {
    for (const auto& [id, pad] : Pads()) {
        if (pad.heldButtons.count(button) != 0) {
            return true;
        }
    }
    return false;
}

int OpenControllerCount() {
    int open = 0;
    for (const auto& [id, pad] : Pads()) {
        open += pad.controller != nullptr ? 1 : 0;
    }
    return open;
}

void ReleaseControllers() {
    for (auto& [id, pad] : Pads()) {
        ReleaseEverything(pad);
        pad.stickKey = 0;
        pad.stickX = pad.stickY = 0;
    }
}

} // namespace TwEventsInternal
