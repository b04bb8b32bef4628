// The keyboard's part of the window's messages: SDL keys become the classic virtual-key
// codes, typed text becomes character messages, and held keys are remembered.
#include <set>

#include "platform/input/TwEvents.h"
#include "platform/input/TwEventsInternal.h"

namespace {

// Keyboard keys held down now (by key), so the game can ask whether a key is still held:
// releases are no input events of their own.
std::set<SDL_Keycode>& HeldKeys() {
    static std::set<SDL_Keycode> held;
    return held;
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

} // namespace

namespace TwEventsInternal {

void TranslateKey(const SDL_KeyboardEvent& e) {
    const std::uint32_t vk = VirtualKey(e.keysym.sym);
    if (vk == 0) {
        return;
    }
    if (e.type == SDL_KEYUP) {
        HeldKeys().erase(e.keysym.sym);
        Post(kTwMsgKeyUp, vk);
        return;
    }
    HeldKeys().insert(e.keysym.sym);
    PostKeyDown(vk);
}

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

void PostKeyDown(std::uint32_t vk, int source) {
    Post(kTwMsgKeyDown, vk, source);
    if (TypesControlCharacter(vk)) {
        Post(kTwMsgChar, vk, source);
    }
}

bool KeyboardHolds(std::uint32_t virtualKey) {
    for (SDL_Keycode key : HeldKeys()) {
        if (VirtualKey(key) == virtualKey) {
            return true;
        }
    }
    return false;
}

void ReleaseKeyboard() {
    HeldKeys().clear();
}

} // namespace TwEventsInternal
