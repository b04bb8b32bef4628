#pragma once
#include <cstddef>
#include <string>

// The game's thin layer over the sound mixer (SDL_mixer). Only this layer sees the library;
// the sound system above it works with these opaque handles.
//
// Volumes here are the mixer's own scale, 0 to kMixerMaxVolume; TwMixerVolume maps the game's
// 0-255 onto it. Every call is harmless while the mixer is closed.
struct TwMixerChunk; // a decoded effect
struct TwMixerMusic; // a music track over file bytes held by the caller

namespace TwMixer {

constexpr int kMaxVolume = 128;
constexpr int kChannels = 16;

// Maps a game volume (0-255) onto the mixer's scale (0-128), rounding to nearest.
int ToMixerVolume(int gameVolume);

// One attempt to open the default audio device at `frequency` Hz, 16-bit stereo, with a mixer
// buffer of `bufferSamples` sample frames and kChannels effect channels.
bool Open(int frequency, int bufferSamples);
// Stops everything and closes the device. Chunks and streams must be freed before.
void Close();
bool IsOpen();
// Output format actually obtained (for tests that read the device's output).
bool QuerySpec(int& frequency, int& channels, int& bitsPerSample);

// Effects. LoadChunk decodes WAV or Ogg bytes (copied; the caller may free them).
TwMixerChunk* LoadChunk(const std::string& bytes);
void FreeChunk(TwMixerChunk* chunk);
// Plays at `mixerVolume` on the lowest free channel; returns it, or -1 when none started.
int PlayChunk(TwMixerChunk* chunk, int mixerVolume);
// Volume of one channel, or of every channel for -1.
void SetChannelVolume(int channel, int mixerVolume);
int ChannelVolume(int channel);
bool IsChannelPlaying(int channel);
// The lowest channel not busy with an effect nor held by the music, or -1 when all are.
int LowestIdleChannel();
// Pauses or continues every effect channel and the music.
void PauseAll(bool paused);

// Music. OpenMusic reads the headers of `bytes` without copying them: they must outlive the
// track. Null for bytes the mixer does not take for music.
TwMixerMusic* OpenMusic(const std::string& bytes);
void CloseMusic(TwMixerMusic* music);
// Starts `music` from `position` seconds, replacing whatever music plays (a missing track
// just stops it); the music that is replaced does not count as having ended. The track is
// decoded into memory on a thread of its own, beginning where it starts, while it already
// plays; the decoded track is kept until another track starts (or this one is closed), so
// the same track starts again at once. The track holds the lowest idle channel number while
// it plays (see MusicChannel). Played once through unless `loop`: a looping track wraps to
// its start inside the mixer, without the gap a restart from the game's frame would leave,
// and never reports an end. False when the track was found to hold nothing decodable.
bool PlayMusic(TwMixerMusic* music, double position, bool loop = false);
// Stops the music on purpose; this does not count as the music ending.
void StopMusic();
bool IsMusicPlaying(const TwMixerMusic* music);
// The channel number the music playing holds, kept free of effects until it stops or ends;
// -1 while no music plays (or every channel was busy when it started).
int MusicChannel();
// Seconds into `music` while it plays; 0 when it is not the music playing.
double MusicPosition(TwMixerMusic* music);
void SetMusicVolume(int mixerVolume);
int MusicVolume();
// True once after the music ran to its end by itself. The notice arrives on the audio
// thread; this hands it to the game's thread.
bool TakeMusicEnded();
// Memory held by the decoded music track, in bytes (0 when none is kept).
std::size_t DecodedMusicBytes();
// True once the kept track is decoded to its end (or its decoding gave up).
bool MusicFullyDecoded();

} // namespace TwMixer
