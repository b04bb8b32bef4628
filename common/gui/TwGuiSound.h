#pragma once
#include <functional>

// Interface sounds played by the GUI (ids of the sound table): focus, click, dialog open and
// close, typing. Every GUI sound goes through TwGuiPlaySound so that the whole toolkit can be
// listened to in one place; tests install a recorder instead of the sound manager.
namespace TwGuiSounds {
constexpr int kVoid = 0;
constexpr int kButtonGetFocus = 1;
constexpr int kButtonClick = 2;
constexpr int kOpenDialog = 3;
constexpr int kCloseDialog = 4;
constexpr int kType = 5;
} // namespace TwGuiSounds

// Plays a sound id through the sound manager (id 0 is silence), or through the installed
// player when there is one.
void TwGuiPlaySound(int id);

// Replaces the sound player; an empty function restores the sound manager. Returns the
// player that was installed before.
std::function<void(int)> TwSetGuiSoundPlayer(std::function<void(int)> player);
