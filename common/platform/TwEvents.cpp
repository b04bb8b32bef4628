#include "platform/TwEvents.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <set>

#include "platform/TwVideoInternal.h"

namespace {

std::deque<TwWindowMessage>& Pending() {
    static std::deque<TwWindowMessage> pending;
    return pending;
}

std::function<void(const TwWindowMessage&)>& Recorder() {
    static std::function<void(const TwWindowMessage&)> recorder;
    return recorder;
}

void Post(int id, std::uint32_t wParam = 0, int x = 0, int y = 0) {
    Pending().push_back(TwWindowMessage{id, wParam, x, y});
}

// Keyboard keys held down now (by key), so the game can ask whether a key is still held:
// releases are no input events of their own.
std::set<SDL_Keycode>& HeldKeys() {
    static std::set<SDL_Keycode> held;
    return held;
}

// A game controller the player plugged in: the keys its buttons and stick hold down now.
struct Pad {
    SDL_GameController* controller = nullptr;
    std::multiset<std::uint32_t> heldKeys;
    int stickX = 0, stickY = 0;
    std::uint32_t stickKey = 0; // the arrow the left stick stands for, 0 in the middle
};

std::map<SDL_JoystickID, Pad>& Pads() {
    static std::map<SDL_JoystickID, Pad> pads;
    return pads;
}

// The classic virtual-key code of a key, 0 for keys the game has no code for.
std::uint32_t VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) {
        return static_cast<std::uint32_t>('A' + (key - SDLK_a));
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return static_cast<std::uint32_t>('0' + (key - SDLK_0));
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) {
        return static_cast<std::uint32_t>(112 + (key - SDLK_F1));
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return static_cast<std::uint32_t>(97 + (key - SDLK_KP_1));
    }
    switch (key) {
    case SDLK_BACKSPACE:
        return 8;
    case SDLK_TAB:
        return 9;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return 13;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return 16;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return 17;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_PAUSE:
        return 19;
    case SDLK_CAPSLOCK:
        return 20;
    case SDLK_ESCAPE:
        return 27;
    case SDLK_SPACE:
        return 32;
    case SDLK_PAGEUP:
        return 33;
    case SDLK_PAGEDOWN:
        return 34;
    case SDLK_END:
        return 35;
    case SDLK_HOME:
        return 36;
    case SDLK_LEFT:
        return 37;
    case SDLK_UP:
        return 38;
    case SDLK_RIGHT:
        return 39;
    case SDLK_DOWN:
        return 40;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return 46;
    case SDLK_KP_0:
        return 96;
    case SDLK_KP_MULTIPLY:
        return 106;
    case SDLK_KP_PLUS:
        return 107;
    case SDLK_KP_MINUS:
        return 109;
    case SDLK_KP_PERIOD:
        return 110;
    case SDLK_KP_DIVIDE:
        return 111;
    case SDLK_SEMICOLON:
        return 186;
    case SDLK_EQUALS:
        return 187;
    case SDLK_COMMA:
        return 188;
    case SDLK_MINUS:
        return 189;
    case SDLK_PERIOD:
        return 190;
    case SDLK_SLASH:
        return 191;
    case SDLK_BACKQUOTE:
        return 192;
    case SDLK_LEFTBRACKET:
        return 219;
    case SDLK_BACKSLASH:
        return 220;
    case SDLK_RIGHTBRACKET:
        return 221;
    case SDLK_QUOTE:
        return 222;
    default:
        return 0;
    }
}

// Keys whose press also types a control character, as the desktop's own text handling did.
bool TypesControlCharacter(std::uint32_t vk) {
    return vk == 27 || vk == 13 || vk == 8 || vk == 9;
}

// Mouse positions arrive in game pixels (the renderer maps window pixels through the
// letterbox); a click on a bar lands on the picture's nearest edge.
void ClampToPicture(int& x, int& y) {
    int width = 0, height = 0;
    TwVideo::PictureSize(width, height);
    x = std::clamp(x, 0, std::max(width - 1, 0));
    y = std::clamp(y, 0, std::max(height - 1, 0));
}

// Each Unicode character of typed text becomes a character message.
void PostText(const char* utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        std::uint32_t code = 0;
        int extra = 0;
        if (*p < 0x80) {
            code = *p;
        } else if ((*p & 0xE0) == 0xC0) {
            code = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            code = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            code = *p & 0x07;
            extra = 3;
        } else {
            ++p; // stray continuation byte
            continue;
        }
        ++p;
        bool valid = true;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            code = (code << 6) | (*p & 0x3F);
        }
        const bool control = code < 32 || (code >= 127 && code < 160);
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        if (valid && !control && !surrogate && code <= 0x10FFFF) {
            Post(kTwMsgChar, code);
        }
    }
}

void PostMouseButton(const SDL_MouseButtonEvent& e, bool down) {
    int x = e.x, y = e.y;
    ClampToPicture(x, y);
    switch (e.button) {
    case SDL_BUTTON_LEFT:
        Post(down ? kTwMsgLButtonDown : kTwMsgLButtonUp, 0, x, y);
        break;
    case SDL_BUTTON_RIGHT:
        Post(down ? kTwMsgRButtonDown : kTwMsgRButtonUp, 0, x, y);
        break;
    case SDL_BUTTON_MIDDLE:
        Post(down ? kTwMsgMButtonDown : kTwMsgMButtonUp, 0, x, y);
        break;
    default:
        break;
    }
}

// A key that types a control character sends it after its key-down, whatever pressed it.
void PostKeyDown(std::uint32_t vk) {
    Post(kTwMsgKeyDown, vk);
    if (TypesControlCharacter(vk)) {
        Post(kTwMsgChar, vk);
    }
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

void PressPadKey(Pad& pad, std::uint32_t vk) {
    pad.heldKeys.insert(vk);
    PostKeyDown(vk);
}

void ReleasePadKey(Pad& pad, std::uint32_t vk) {
    const auto held = pad.heldKeys.find(vk);
    if (held != pad.heldKeys.end()) {
        pad.heldKeys.erase(held);
        Post(kTwMsgKeyUp, vk);
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
        ReleasePadKey(pad, pad.stickKey);
    }
    pad.stickKey = key;
    if (key != 0) {
        PressPadKey(pad, key);
    }
}

// A controller plugged in (or present at start) is opened at once; one pulled out lets go
// of every key it held.
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
    while (!pad.heldKeys.empty()) {
        ReleasePadKey(pad, *pad.heldKeys.begin());
    }
    if (pad.controller) {
        SDL_GameControllerClose(pad.controller);
    }
    Pads().erase(found);
}

// Nothing stays held while the window is in the background: controllers are not read then.
void ReleaseEverything() {
    HeldKeys().clear();
    for (auto& [id, pad] : Pads()) {
        while (!pad.heldKeys.empty()) {
            ReleasePadKey(pad, *pad.heldKeys.begin());
        }
        pad.stickKey = 0;
        pad.stickX = pad.stickY = 0;
    }
}

void TranslatePadEvent(const SDL_Event& e) {
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
        if (vk == 0) {
            break;
        }
        Pad& pad = Pads()[e.cbutton.which];
        if (e.type == SDL_CONTROLLERBUTTONDOWN) {
            PressPadKey(pad, vk);
        } else {
            ReleasePadKey(pad, vk);
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

Uint32 WindowId() {
    SDL_Window* window = TwVideo::SdlWindow();
    return window ? SDL_GetWindowID(window) : 0;
}

// The game window while another window has its keyboard focus, 0 otherwise. Kept by window,
// so a window made anew (full screen switched on or off) starts in the foreground.
Uint32& BackgroundWindow() {
    static Uint32 window = 0;
    return window;
}

bool IsGameWindow(Uint32 window) {
    return window != 0 && window == WindowId();
}

// Keyboard and mouse input reaches the game only while its window has the focus: a button
// must not light up because the pointer passes over a window the player is not using.
bool InBackground() {
    return IsGameWindow(BackgroundWindow());
}

void TranslateWindowEvent(const SDL_WindowEvent& e) {
    switch (e.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        Post(kTwMsgSize, kTwSizeMinimized);
        break;
    case SDL_WINDOWEVENT_RESTORED:
        Post(kTwMsgSize, kTwSizeRestored);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        ReleaseEverything(); // the releases would go to another window
        // A window destroyed when the display mode changed loses the focus after the new
        // one exists; only the game's current window counts.
        if (IsGameWindow(e.windowID)) {
            BackgroundWindow() = e.windowID;
            Post(kTwMsgActivate, kTwWindowInactive);
        }
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        if (IsGameWindow(e.windowID)) {
            BackgroundWindow() = 0;
            Post(kTwMsgActivate, kTwWindowActive);
        }
        break;
    default:
        break;
    }
}

bool IsWindowInput(Uint32 type) {
    switch (type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTINPUT:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return true;
    default:
        return false;
    }
}

void TranslateEvent(const SDL_Event& e) {
    if (IsWindowInput(e.type) && InBackground()) {
        return;
    }
    switch (e.type) {
    case SDL_QUIT:
        Post(kTwMsgClose);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        const std::uint32_t vk = VirtualKey(e.key.keysym.sym);
        if (vk == 0) {
            break;
        }
        if (e.type == SDL_KEYUP) {
            HeldKeys().erase(e.key.keysym.sym);
            Post(kTwMsgKeyUp, vk);
            break;
        }
        HeldKeys().insert(e.key.keysym.sym);
        PostKeyDown(vk);
        break;
    }
    case SDL_TEXTINPUT:
        PostText(e.text.text);
        break;
    case SDL_MOUSEMOTION: {
        int x = e.motion.x, y = e.motion.y;
        ClampToPicture(x, y);
        Post(kTwMsgMouseMove, 0, x, y);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
        PostMouseButton(e.button, true);
        break;
    case SDL_MOUSEBUTTONUP:
        PostMouseButton(e.button, false);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(e.window);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        TranslatePadEvent(e);
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        Post(kTwMsgDeviceReset);
        break;
    default:
        break;
    }
}

bool TakePending(TwWindowMessage& out) {
    if (Pending().empty()) {
        return false;
    }
    out = Pending().front();
    Pending().pop_front();
    if (Recorder()) {
        Recorder()(out);
    }
    return true;
}

// Controllers are looked for as soon as the window's events run; SDL then announces every
// controller already plugged in as if it had just arrived.
void StartControllers() {
    static bool tried = false;
    if (tried || SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0) {
        return;
    }
    tried = true;
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool EventsRunning() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return false;
    }
    StartControllers();
    return true;
}

} // namespace

bool TwPeekMessage(TwWindowMessage& out) {
    if (TakePending(out)) {
        return true;
    }
    if (!EventsRunning()) {
        return false;
    }
    SDL_Event e;
    while (Pending().empty() && SDL_PollEvent(&e)) {
        TranslateEvent(e);
    }
    return TakePending(out);
}

bool TwWaitMessage(TwWindowMessage& out, int timeoutMs) {
    if (TwPeekMessage(out)) {
        return true;
    }
    if (!EventsRunning()) {
        return false;
    }
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, timeoutMs)) {
        TranslateEvent(e);
    }
    return TwPeekMessage(out);
}

bool TwKeyHeld(std::uint32_t virtualKey) {
    for (SDL_Keycode key : HeldKeys()) {
        if (VirtualKey(key) == virtualKey) {
            return true;
        }
    }
    for (const auto& [id, pad] : Pads()) {
        if (pad.heldKeys.count(virtualKey) != 0) {
            return true;
        }
    }
    return false;
}

int TwGamepadCount() {
    int open = 0;
    for (const auto& [id, pad] : Pads()) {
        open += pad.controller != nullptr ? 1 : 0;
    }
    return open;
}

void TwPostQuitMessage() {
    Post(kTwMsgQuit);
}

void TwSetMessageRecorder(std::function<void(const TwWindowMessage&)> recorder) {
    Recorder() = std::move(recorder);
}

void TwReplayMessage(const TwWindowMessage& message) {
    Pending().push_back(message);
}

void TwFlushMessages() {
    Pending().clear();
    if (EventsRunning()) {
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
}

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
    if (event.kind >= Kind::PadAttach) {
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
