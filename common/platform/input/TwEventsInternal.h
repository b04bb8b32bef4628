#pragma once
// Shared by the platform files that turn SDL's events into the window's messages (the queue,
// the keyboard, the game controllers, synthetic events); never included above the platform
// layer.
#include <SDL.h>
#include <cstdint>

namespace TwEventsInternal {

// --- The queue (TwEvents.cpp) ---
// Queues a translated message behind the waiting ones.
void Post(int id, std::uint32_t wParam = 0, int x = 0, int y = 0);
// The SDL id of the game window, 0 without one.
Uint32 WindowId();
// True once SDL's events run; the first call starts the game controllers.
bool EventsRunning();

// --- The keyboard (TwEventsKeyboard.cpp) ---
// A key pressed or released: its key message, and for a few keys a control character.
void TranslateKey(const SDL_KeyboardEvent& e);
// Each Unicode character of typed text becomes a character message.
void PostText(const char* utf8);
// A key-down, followed by the control character Escape, Enter, Backspace and Tab type.
// `source` goes into the messages' x: 0 for the keyboard, a controller's button plus one.
void PostKeyDown(std::uint32_t virtualKey, int source = 0);
bool KeyboardHolds(std::uint32_t virtualKey);
// Forgets every held key (the releases would go to another window).
void ReleaseKeyboard();

// --- The game controllers (TwEventsControllers.cpp) ---
// A controller plugged in or pulled out, a button, the left stick.
void TranslateControllerEvent(const SDL_Event& e);
bool ControllersHold(std::uint32_t virtualKey);
bool ControllersHoldButton(int button);
int OpenControllerCount();
// Lets go of every key the controllers hold, with its key-up.
void ReleaseControllers();

} // namespace TwEventsInternal
