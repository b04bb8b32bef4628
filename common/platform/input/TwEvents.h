#pragma once
#include <cstdint>
#include <functional>
#include <string>

// The window's messages. SDL events are translated here, in this one place, into the
// message numbers the engine's input record speaks: 256 key down, 257 key up, 258 character,
// 512 mouse move, 513/514 left button down/up, 516/517 right, 519/520 middle, plus size
// (minimise/restore), activation (the keyboard focus lost to another window or regained),
// close, quit and render-device reset.
//
// While the window is in the background (another window took the focus), its keyboard and
// mouse input is not translated: a pointer passing over it is not the player playing.
//
// Key codes are the classic virtual-key codes (Escape 27, Enter 13, Backspace 8, Tab 9,
// Space 32, letters 65-90 upper case, digits 48-57, arrows 37-40, ...). A held key repeats
// its key-down. Escape, Enter, Backspace and Tab are followed by a character message of the
// same code; printable characters come from text input. Mouse positions are in game pixels,
// clamped into the game picture (clicks on letterbox bars land on its edge).
//
// A finger on a touch screen plays as the left mouse button (down, moves, up, with wParam 1
// on its button messages); SDL's own mouse events made from touches are dropped.
//
// Game controllers speak as keys: the d-pad and the left stick as the arrow keys, A as
// Space, B as Escape (with its character message), X as Down, Start as Enter. Holding a button
// holds its key (see TwKeyHeld); releasing it sends a key-up. A controller's key messages
// carry its button plus one as their x (the stick as the d-pad button it leans towards;
// buttons without a key send key 0), so the game can bind buttons of its own; the keyboard's
// carry 0.
enum TwMessageId : int {
    kTwMsgSize = 5,          // wParam: kTwSizeRestored or kTwSizeMinimized
    kTwMsgActivate = 6,      // wParam: kTwWindowActive or kTwWindowInactive
    kTwMsgClose = 16,        // the player closed the window
    kTwMsgQuit = 18,         // the pump should end
    kTwMsgKeyDown = 256,     // wParam: virtual-key code
    kTwMsgKeyUp = 257,       // wParam: virtual-key code
    kTwMsgChar = 258,        // wParam: Unicode character
    kTwMsgMouseMove = 512,   // x, y: pointer position
    kTwMsgLButtonDown = 513, // x, y: pointer position (the engine uses the last move instead)
    kTwMsgLButtonUp = 514,
    kTwMsgLButtonDblClk = 515,
    kTwMsgRButtonDown = 516,
    kTwMsgRButtonUp = 517,
    kTwMsgRButtonDblClk = 518,
    kTwMsgMButtonDown = 519,
    kTwMsgMButtonUp = 520,
    kTwMsgDeviceReset = 0x8001, // the renderer lost its textures; rebuild them
};

enum : std::uint32_t { kTwSizeRestored = 0, kTwSizeMinimized = 1 };
// The window has the keyboard focus again / another window took it.
enum : std::uint32_t { kTwWindowInactive = 0, kTwWindowActive = 1 };

struct TwWindowMessage {
    int id = 0;
    std::uint32_t wParam = 0;
    int x = 0;
    int y = 0;
};

// Takes the next message without waiting. False when none is waiting.
bool TwPeekMessage(TwWindowMessage& out);
// Waits up to `timeoutMs` for the next message. False when none came.
bool TwWaitMessage(TwWindowMessage& out, int timeoutMs);
// True while the key with this virtual-key code is held down, on the keyboard or through a
// game controller (releases reach the screens only as empty events, so held-key play asks
// here). Everything counts as released when the window loses the keyboard.
bool TwKeyHeld(std::uint32_t virtualKey);
// The same for the keyboard alone, and for a controller button (SDL's button numbers: 0 A,
// 1 B, 2 X, 3 Y, 4 Back, 5 Guide, 6 Start, 7/8 the sticks, 9/10 the shoulders, 11-14 the
// d-pad up, down, left, right).
bool TwKeyboardKeyHeld(std::uint32_t virtualKey);
bool TwPadButtonHeld(int button);
// Game controllers open now. Controllers are opened when plugged in, also while the game
// runs; their buttons and left stick send the key messages listed above.
int TwGamepadCount();

// Queues the quit message behind the waiting ones.
void TwPostQuitMessage();
// Drops every waiting message (tests).
void TwFlushMessages();

// Recording and replaying a session: every message handed out by TwPeekMessage or
// TwWaitMessage is also given to the recorder (an empty function stops recording); a replayed
// message is queued behind the waiting ones and handed out as if it had just arrived.
void TwSetMessageRecorder(std::function<void(const TwWindowMessage&)> recorder);
void TwReplayMessage(const TwWindowMessage& message);

// A synthetic input event pushed into the real SDL event queue, so it goes through the same
// translation as the player's input. Used by tests and to replay recorded input.
struct TwSyntheticEvent {
    enum class Kind {
        KeyDown,   // `key`: SDL key name ("Escape", "Return", "A", "Left", ...)
        KeyRepeat, // as KeyDown, marked as auto-repeat
        KeyUp,
        Text,       // `text`: UTF-8 characters typed
        MouseMove,  // x, y in window pixels
        ButtonDown, // button 1 left, 2 middle, 3 right; x, y in window pixels
        ButtonUp,
        Minimize,
        Restore,
        Close, // the window's close button
        DeviceReset,
        Resize,      // the player drags the window to x by y window pixels
        FocusLost,   // the player switches to another window
        FocusGained, // the player comes back to the game's window
        // A virtual game controller, handled by SDL like a real one:
        PadAttach,     // plugs it in (SDL then announces the new controller)
        PadDetach,     // pulls it out
        PadButtonDown, // `key`: SDL button name ("a", "b", "x", "dpleft", ...)
        PadButtonUp,
        PadAxis, // `key`: SDL axis name ("leftx", "lefty"); `x`: -32768..32767
        // A finger on a touch screen (`button`: which finger), x, y in window pixels:
        FingerDown,
        FingerMotion,
        FingerUp,
    };
    Kind kind = Kind::KeyDown;
    std::string key;
    std::string text;
    int button = 1;
    int x = 0;
    int y = 0;
};

// False when the event could not be queued (unknown key name, no event system).
bool TwPushSyntheticEvent(const TwSyntheticEvent& event);
