// The window's messages: SDL's events are taken from its queue, the window's own events
// (minimise, focus, close, renderer reset) and the mouse translated here, the keyboard and the
// game controllers in TwEventsKeyboard.cpp and TwEventsControllers.cpp; synthetic input is
// pushed in by TwSyntheticEvents.cpp.
#include "platform/input/TwEvents.h"

#include <algorithm>
#include <deque>

#include "platform/input/TwEventsInternal.h"
#include "platform/window/TwWindowInput.h"

using namespace TwEventsInternal;

namespace {

std::deque<TwWindowMessage>& Pending() {
    static std::deque<TwWindowMessage> pending;
    return pending;
}

std::function<void(const TwWindowMessage&)>& Recorder() {
    static std::function<void(const TwWindowMessage&)> recorder;
    return recorder;
}

// Mouse positions arrive in game pixels (the renderer maps window pixels through the
// letterbox); a click on a bar lands on the picture's nearest edge.
void ClampToPicture(int& x, int& y) {
    int width = 0, height = 0;
    TwVideo::PictureSize(width, height);
    x = std::clamp(x, 0, std::max(width - 1, 0));
    y = std::clamp(y, 0, std::max(height - 1, 0));
}

// One finger plays as the mouse's left button: down, moving, lifted, each with the pointer's
// move first. A second finger while one is down is ignored. Button messages from a finger
// carry wParam 1. SDL's own mouse events made from touches are dropped (they would press
// twice).
SDL_FingerID& ActiveFinger() {
    static SDL_FingerID finger = -1;
    return finger;
}

void TranslateFinger(const SDL_TouchFingerEvent& e) {
    if (e.type == SDL_FINGERDOWN) {
        if (ActiveFinger() != -1) {
            return;
        }
        ActiveFinger() = e.fingerId;
    } else if (e.fingerId != ActiveFinger()) {
        return;
    }
    int x = 0, y = 0;
    TwVideo::FingerToPicture(e.x, e.y, x, y);
    ClampToPicture(x, y);
    Post(kTwMsgMouseMove, 0, x, y);
    if (e.type == SDL_FINGERDOWN) {
        Post(kTwMsgLButtonDown, 1, x, y);
    } else if (e.type == SDL_FINGERUP) {
        Post(kTwMsgLButtonUp, 1, x, y);
        ActiveFinger() = -1;
    }
}

bool FromTouch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_MOUSEMOTION:
        return e.motion.which == SDL_TOUCH_MOUSEID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return e.button.which == SDL_TOUCH_MOUSEID;
    default:
        return false;
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

// Nothing stays held while the window is in the background: controllers are not read then.
void ReleaseEverything() {
    ActiveFinger() = -1;
    TwEventsInternal::ReleaseKeyboard();
    TwEventsInternal::ReleaseControllers();
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
    if ((IsWindowInput(e.type) && InBackground()) || FromTouch(e)) {
        return;
    }
    switch (e.type) {
    case SDL_QUIT:
        Post(kTwMsgClose);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(e.key);
        break;
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
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP:
        TranslateFinger(e.tfinger);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(e.window);
        break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
        TranslateControllerEvent(e);
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

} // namespace

namespace TwEventsInternal {

void Post(int id, std::uint32_t wParam, int x, int y) {
    Pending().push_back(TwWindowMessage{id, wParam, x, y});
}

Uint32 WindowId() {
    SDL_Window* window = TwVideo::SdlWindow();
    return window ? SDL_GetWindowID(window) : 0;
}

bool EventsRunning() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        return false;
    }
    StartControllers();
    return true;
}

} // namespace TwEventsInternal

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
    return TwEventsInternal::KeyboardHolds(virtualKey) ||
           TwEventsInternal::ControllersHold(virtualKey);
}

bool TwKeyboardKeyHeld(std::uint32_t virtualKey) {
    return TwEventsInternal::KeyboardHolds(virtualKey);
}

bool TwPadButtonHeld(int button) {
    return TwEventsInternal::ControllersHoldButton(button);
}

int TwGamepadCount() {
    return TwEventsInternal::OpenControllerCount();
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
