#pragma once
// What the two halves of the mixer layer (effects and device in TwMixer.cpp, music in
// TwMixerMusic.cpp) tell each other.
namespace TwMixerInternal {

// Installs the music player on the device just opened.
void AttachMusic();
// Stops the music, frees its decoded track and takes the player off the device, which is
// about to close.
void DetachMusic();
// Holds or continues the music (with every effect).
void PauseMusic(bool paused);

} // namespace TwMixerInternal
