#pragma once
#include <cstdint>

struct TwWindowMessage;

// The message numbers an input record carries, and the key codes of the keys the game
// reacts to, as the window delivers them.
namespace TwInputCodes {
constexpr int kKeyDown = 0x100;
constexpr int kKeyUp = 0x101;
constexpr int kCharacter = 0x102;
constexpr int kMouseMove = 0x200;
constexpr int kLeftButtonDown = 0x201;
constexpr int kLeftButtonUp = 0x202;
constexpr int kRightButtonDown = 0x204;
constexpr int kRightButtonUp = 0x205;

constexpr unsigned char kBackspace = 8;
constexpr unsigned char kTab = 9;
constexpr unsigned char kEnter = 13;
constexpr unsigned char kShift = 16;
constexpr unsigned char kEscape = 27;
constexpr unsigned char kSpace = 32;
constexpr unsigned char kLeft = 37;
constexpr unsigned char kUp = 38;
constexpr unsigned char kRight = 39;
constexpr unsigned char kDown = 40;
} // namespace TwInputCodes

// The one input record: filled from each window message and handed at once to the event
// router, which passes it to the current screen.
struct TwInputEvent {
    enum EventClass : std::int32_t { kNone = 0, kKeyboard = 1, kMouse = 2 };
    enum Button : std::int32_t { kNoButton = 0, kLeftReleased = 1, kRightReleased = 2 };

    float mouseX = 0, mouseY = 0, mouseZ = 0; // last pointer position, game pixels
    std::int32_t eventClass = kNone;
    std::int32_t button = kNoButton;
    std::int32_t messageId = -1;              // message number of the current event, -1 for none
    float eventX = 0, eventY = 0, eventZ = 0; // pointer position at the event
    std::uint8_t key = 0;                     // key code (key down) or character (character)
    // The whole Unicode character of a character message; `key` holds it only up to 255
    // and is 0 for any character past that, so no letter reads as a control key.
    std::uint32_t character = 0;
    // The controller button a key-down (or its character) came from, -1 for the keyboard
    // and for other events.
    std::int32_t padButton = -1;
    // A button event made by a finger on a touch screen.
    bool touch = false;
    std::int32_t captionHeight = 0; // title-bar height of the window

    // Fills the record from one window message. Returns true when the message is an input
    // event for the screens (possibly an empty one: key release, right press, middle
    // button). Without an active window nothing changes and false is returned.
    // Button events carry the position of the last mouse move, not their own.
    bool Translate(const TwWindowMessage& message, bool windowActive);
    // Marks the record as used, so that nothing after the one who acted on it acts again.
    void MarkConsumed() {
        eventClass = kNone;
        button = kNoButton;
        messageId = -1;
        key = 0;
    }
};
