#include "platform/TwEvents.h"

#include <algorithm>
#include <cstring>
#include <deque>

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

// Each Unicode character of typed text in the Latin-1 range becomes a character message.
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
        if (valid && code >= 32 && code != 127 && code <= 255) {
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

void TranslateEvent(const SDL_Event& e) {
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
            Post(kTwMsgKeyUp, vk);
            break;
        }
        Post(kTwMsgKeyDown, vk);
        if (TypesControlCharacter(vk)) {
            Post(kTwMsgChar, vk);
        }
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
        if (e.window.event == SDL_WINDOWEVENT_MINIMIZED) {
            Post(kTwMsgSize, kTwSizeMinimized);
        } else if (e.window.event == SDL_WINDOWEVENT_RESTORED) {
            Post(kTwMsgSize, kTwSizeRestored);
        }
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

bool EventsRunning() {
    return SDL_WasInit(SDL_INIT_EVENTS) != 0;
}

Uint32 WindowId() {
    SDL_Window* window = TwVideo::SdlWindow();
    return window ? SDL_GetWindowID(window) : 0;
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

bool TwPushSyntheticEvent(const TwSyntheticEvent& event) {
    if (!EventsRunning()) {
        return false;
    }
    using Kind = TwSyntheticEvent::Kind;
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
    case Kind::DeviceReset:
        e.type = SDL_RENDER_DEVICE_RESET;
        break;
    }
    return SDL_PushEvent(&e) == 1;
}
