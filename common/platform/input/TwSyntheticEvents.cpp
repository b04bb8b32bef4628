// Synthetic input: events pushed into SDL's own queue, so they go through the same
// translation as the player's input, and a virtual game controller they drive.
#include <algorithm>
#include <cstring>

#include "platform/input/TwEvents.h"
#include "platform/input/TwEventsInternal.h"
#include "platform/window/TwWindowInput.h"

using TwEventsInternal::EventsRunning;
using TwEventsInternal::WindowId;

namespace {

// The one virtual controller synthetic events drive; null while none is plugged in.
SDL_Joystick*& VirtualPad() {
    static SDL_Joystick* pad = nullptr;
    return pad;
}

bool DriveVirtualPad(const TwSyntheticEvent& event) {
    using Kind = TwSyntheticEvent::Kind;
    SDL_Joystick*& pad = VirtualPad();
    switch (event.kind) {
    case Kind::PadAttach: {
        if (pad) {
            return false;
        }
        const int device =
            SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
        pad = device >= 0 ? SDL_JoystickOpen(device) : nullptr;
        return pad != nullptr;
    }
    case Kind::PadDetach: {
        if (!pad) {
            return false;
        }
        const int device = [&] {
            const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
            for (int i = 0; i < SDL_NumJoysticks(); ++i) {
                if (SDL_JoystickGetDeviceInstanceID(i) == id) {
                    return i;
                }
            }
            return -1;
        }();
        SDL_JoystickClose(pad);
        pad = nullptr;
        return device >= 0 && SDL_JoystickDetachVirtual(device) == 0;
    }
    case Kind::PadButtonDown:
    case Kind::PadButtonUp: {
        const SDL_GameControllerButton button =
            SDL_GameControllerGetButtonFromString(event.key.c_str());
        return pad && button != SDL_CONTROLLER_BUTTON_INVALID &&
               SDL_JoystickSetVirtualButton(pad, button, event.kind == Kind::PadButtonDown) == 0;
    }
    case Kind::PadAxis: {
        const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(event.key.c_str());
        return pad && axis != SDL_CONTROLLER_AXIS_INVALID &&
               SDL_JoystickSetVirtualAxis(
                   pad, axis, static_cast<Sint16>(std::clamp(event.x, -32768, 32767))) == 0;
    }
    default:
        return false;
    }
}

} // namespace

bool TwPushSyntheticEvent(const TwSyntheticEvent& event) {
    if (!EventsRunning()) {
        return false;
    }
    using Kind = TwSyntheticEvent::Kind;
    if (event.kind >= Kind::PadAttach && event.kind <= Kind::PadAxis) {
        return DriveVirtualPad(event);
    }
    if (event.kind == Kind::Resize) {
        SDL_Window* window = TwVideo::SdlWindow();
        if (!window || event.x <= 0 || event.y <= 0) {
            return false;
        }
        SDL_SetWindowSize(window, event.x, event.y); // SDL announces the new size itself
        return true;
    }
    SDL_Event e;
    SDL_zero(e);
    e.common.timestamp = SDL_GetTicks();
    switch (event.kind) {
    case Kind::KeyDown:
    case Kind::KeyRepeat:
    case Kind::KeyUp: {
        const SDL_Keycode key = SDL_GetKeyFromName(event.key.c_str());
        if (key == SDLK_UNKNOWN) {
            return false;
        }
        e.type = event.kind == Kind::KeyUp ? SDL_KEYUP : SDL_KEYDOWN;
        e.key.windowID = WindowId();
        e.key.state = event.kind == Kind::KeyUp ? SDL_RELEASED : SDL_PRESSED;
        e.key.repeat = event.kind == Kind::KeyRepeat ? 1 : 0;
        e.key.keysym.sym = key;
        e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
        break;
    }
    case Kind::Text:
        if (event.text.size() >= sizeof e.text.text) {
            return false;
        }
        e.type = SDL_TEXTINPUT;
        e.text.windowID = WindowId();
        std::memcpy(e.text.text, event.text.c_str(), event.text.size() + 1);
        break;
    case Kind::MouseMove:
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = WindowId();
        e.motion.x = event.x;
        e.motion.y = event.y;
        break;
    case Kind::ButtonDown:
    case Kind::ButtonUp:
        e.type = event.kind == Kind::ButtonDown ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = WindowId();
        e.button.button = static_cast<Uint8>(event.button);
        e.button.state = event.kind == Kind::ButtonDown ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = event.x;
        e.button.y = event.y;
        break;
    case Kind::FingerDown:
    case Kind::FingerMotion:
    case Kind::FingerUp: {
        // Across the window; without one (a renderer on memory), across the picture.
        int width = 0, height = 0;
        if (SDL_Window* window = TwVideo::SdlWindow()) {
            SDL_GetWindowSize(window, &width, &height);
        } else {
            TwVideo::PictureSize(width, height);
            width -= 1;
            height -= 1;
        }
        if (width <= 0 || height <= 0) {
            return false;
        }
        e.type = event.kind == Kind::FingerDown     ? SDL_FINGERDOWN
                 : event.kind == Kind::FingerMotion ? SDL_FINGERMOTION
                                                    : SDL_FINGERUP;
        e.tfinger.touchId = 1;
        e.tfinger.fingerId = event.button;
        e.tfinger.x = static_cast<float>(event.x) / static_cast<float>(width);
        e.tfinger.y = static_cast<float>(event.y) / static_cast<float>(height);
        e.tfinger.pressure = event.kind == Kind::FingerUp ? 0.0f : 1.0f;
        e.tfinger.windowID = WindowId();
        break;
    }
    case Kind::Minimize:
    case Kind::Restore:
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = WindowId();
        e.window.event =
            event.kind == Kind::Minimize ? SDL_WINDOWEVENT_MINIMIZED : SDL_WINDOWEVENT_RESTORED;
        break;
    case Kind::Close:
        e.type = SDL_QUIT;
        break;
    case Kind::FocusLost:
    case Kind::FocusGained:
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = WindowId();
        e.window.event = event.kind == Kind::FocusLost ? SDL_WINDOWEVENT_FOCUS_LOST
                                                       : SDL_WINDOWEVENT_FOCUS_GAINED;
        break;
    case Kind::DeviceReset:
        e.type = SDL_RENDER_DEVICE_RESET;
        break;
    default:
        return false;
    }
    return SDL_PushEvent(&e) == 1;
}
