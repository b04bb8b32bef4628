#include "gui/TwInputEvent.h"

#include "platform/input/TwEvents.h"

bool TwInputEvent::Translate(const TwWindowMessage& message, bool windowActive) {
    if (!windowActive) {
        return false;
    }
    eventClass = kNone;
    button = kNoButton;
    key = 0;
    character = 0;
    padButton = -1;
    touch = false;
    messageId = -1;

    const auto atPointer = [this] {
        eventX = mouseX;
        eventY = mouseY;
        eventZ = mouseZ;
    };
    switch (message.id) {
    case kTwMsgKeyDown:
        eventClass = kKeyboard;
        messageId = message.id;
        key = static_cast<std::uint8_t>(message.wParam & 0xFF);
        padButton = message.x > 0 ? message.x - 1 : -1;
        return true;
    case kTwMsgChar:
        eventClass = kKeyboard;
        messageId = message.id;
        character = message.wParam;
        key = message.wParam <= 0xFF ? static_cast<std::uint8_t>(message.wParam) : 0;
        padButton = message.x > 0 ? message.x - 1 : -1;
        return true;
    case kTwMsgMouseMove:
        eventClass = kMouse;
        messageId = message.id;
        mouseX = static_cast<float>(message.x & 0xFFFF);
        mouseY = static_cast<float>(message.y & 0xFFFF);
        atPointer();
        return true;
    case kTwMsgLButtonDown:
    case kTwMsgLButtonUp:
    case kTwMsgRButtonUp:
        eventClass = kMouse;
        messageId = message.id;
        button = message.id == kTwMsgLButtonUp   ? kLeftReleased
                 : message.id == kTwMsgRButtonUp ? kRightReleased
                                                 : kNoButton;
        touch = message.wParam == 1;
        atPointer();
        return true;
    case kTwMsgKeyUp:
    case kTwMsgRButtonDown:
    case kTwMsgMButtonDown:
    case kTwMsgMButtonUp:
        // Reported, but as an empty event the screens ignore.
        return true;
    default:
        return false;
    }
}
