#include "platform/TwMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>

struct TwMixerChunk {
    Mix_Chunk* chunk = nullptr;
};

struct TwMixerMusic {
    Mix_Music* music = nullptr;
};

namespace {

bool g_open = false;
// The music this layer started last; only touched on the game's thread.
const TwMixerMusic* g_playing = nullptr;
// The channel number the music took when it started (the lowest idle one then). The mixer
// streams music beside its channels, so this layer keeps that number free of effects while
// the stream plays, as if the music held it.
int g_musicChannel = -1;

// Raised by the mixer's music-finished hook on the audio thread, taken on the game's thread.
std::atomic<bool> g_musicEnded{false};
// True while the game itself halts the music: the mixer calls the same hook then, and a
// deliberate stop must not look like a track running out.
std::atomic<bool> g_stopping{false};

void SDLCALL OnMusicFinished() {
    if (!g_stopping.load()) {
        g_musicEnded.store(true);
    }
}

SDL_RWops* ReadOnlyStream(const std::string& bytes) {
    if (bytes.empty()) {
        return nullptr;
    }
    return SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
}

bool FitsRWops(const std::string& bytes) {
    return bytes.size() <= static_cast<std::size_t>(SDL_MAX_SINT32);
}

} // namespace

namespace TwMixer {

int ToMixerVolume(int gameVolume) {
    const int clamped = std::clamp(gameVolume, 0, 255);
    return static_cast<int>(std::lround(clamped * static_cast<double>(kMaxVolume) / 255.0));
}

bool Open(int frequency, int bufferSamples) {
    if (g_open) {
        return true;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    Mix_Init(MIX_INIT_OGG);
    const int changes = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
    if (Mix_OpenAudioDevice(frequency, AUDIO_S16SYS, 2, bufferSamples, nullptr, changes) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(kChannels);
    Mix_Volume(-1, kMaxVolume);
    g_musicEnded.store(false);
    Mix_HookMusicFinished(OnMusicFinished);
    g_open = true;
    return true;
}

void Close() {
    if (!g_open) {
        return;
    }
    StopMusic();
    Mix_HookMusicFinished(nullptr);
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_open = false;
    g_playing = nullptr;
    g_musicChannel = -1;
    g_musicEnded.store(false);
}

bool IsOpen() {
    return g_open;
}

bool QuerySpec(int& frequency, int& channels, int& bitsPerSample) {
    Uint16 format = 0;
    if (!g_open || Mix_QuerySpec(&frequency, &format, &channels) == 0) {
        return false;
    }
    bitsPerSample = SDL_AUDIO_BITSIZE(format);
    return true;
}

std::string LastError() {
    return Mix_GetError();
}

TwMixerChunk* LoadChunk(const std::string& bytes) {
    if (!g_open || !FitsRWops(bytes)) {
        return nullptr;
    }
    SDL_RWops* source = ReadOnlyStream(bytes);
    if (source == nullptr) {
        return nullptr;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 1);
    if (chunk == nullptr) {
        return nullptr;
    }
    return new TwMixerChunk{chunk};
}

void FreeChunk(TwMixerChunk* chunk) {
    if (chunk == nullptr) {
        return;
    }
    // Freeing a chunk halts the channels playing it, which needs the mixer still open; a
    // chunk outliving the mixer is simply released.
    Mix_FreeChunk(chunk->chunk);
    delete chunk;
}

int MusicChannel() {
    if (!g_open || g_playing == nullptr || Mix_PlayingMusic() == 0) {
        return -1;
    }
    return g_musicChannel;
}

int LowestIdleChannel() {
    if (!g_open) {
        return -1;
    }
    const int count = Mix_AllocateChannels(-1);
    const int music = MusicChannel();
    for (int channel = 0; channel < count; ++channel) {
        if (channel != music && Mix_Playing(channel) == 0) {
            return channel;
        }
    }
    return -1;
}

int PlayChunk(TwMixerChunk* chunk, int mixerVolume) {
    if (!g_open || chunk == nullptr) {
        return -1;
    }
    // The volume goes on the channel before the effect starts, so no part of it is mixed at
    // the previous effect's volume.
    const int channel = LowestIdleChannel();
    if (channel < 0) {
        return -1;
    }
    Mix_Volume(channel, std::clamp(mixerVolume, 0, kMaxVolume));
    return Mix_PlayChannel(channel, chunk->chunk, 0);
}

void SetChannelVolume(int channel, int mixerVolume) {
    if (g_open) {
        Mix_Volume(channel, std::clamp(mixerVolume, 0, kMaxVolume));
    }
}

int ChannelVolume(int channel) {
    return g_open ? Mix_Volume(channel, -1) : 0;
}

bool IsChannelPlaying(int channel) {
    return g_open && channel >= 0 && Mix_Playing(channel) != 0;
}

void PauseAll(bool paused) {
    if (!g_open) {
        return;
    }
    if (paused) {
        // The mixer marks a paused channel with the current tick count, and a count of 0
        // reads as "not paused"; in the first millisecond after start that would lose the pause.
        while (SDL_GetTicks() == 0) {
            SDL_Delay(1);
        }
        Mix_Pause(-1);
        Mix_PauseMusic();
    } else {
        Mix_Resume(-1);
        Mix_ResumeMusic();
    }
}

TwMixerMusic* OpenMusic(const std::string& bytes) {
    if (!g_open || !FitsRWops(bytes)) {
        return nullptr;
    }
    SDL_RWops* source = ReadOnlyStream(bytes);
    if (source == nullptr) {
        return nullptr;
    }
    Mix_Music* music = Mix_LoadMUS_RW(source, 1);
    if (music == nullptr) {
        return nullptr;
    }
    return new TwMixerMusic{music};
}

void CloseMusic(TwMixerMusic* music) {
    if (music == nullptr) {
        return;
    }
    if (music == g_playing) {
        StopMusic();
    }
    Mix_FreeMusic(music->music);
    delete music;
}

bool PlayMusic(TwMixerMusic* music, double position, bool loop) {
    if (!g_open) {
        return false;
    }
    StopMusic();
    if (music == nullptr) {
        return false;
    }
    const int channel = LowestIdleChannel();
    const int loops = loop ? -1 : 1;
    int result = Mix_FadeInMusicPos(music->music, loops, 0, position);
    if (result != 0 && position > 0.0) {
        // A stream that cannot seek starts from its beginning rather than not at all.
        result = Mix_FadeInMusicPos(music->music, loops, 0, 0.0);
    }
    if (result != 0) {
        return false;
    }
    // A new stream plays even while everything else is paused, as a new effect would.
    Mix_ResumeMusic();
    g_playing = music;
    g_musicChannel = channel;
    return true;
}

void StopMusic() {
    if (!g_open) {
        return;
    }
    g_stopping.store(true);
    Mix_HaltMusic();
    g_stopping.store(false);
    // An end that arrived just before this stop belongs to music the game has left behind.
    g_musicEnded.store(false);
    g_playing = nullptr;
    g_musicChannel = -1;
}

bool IsMusicPlaying(const TwMixerMusic* music) {
    return g_open && music != nullptr && music == g_playing && Mix_PlayingMusic() != 0;
}

double MusicPosition(TwMixerMusic* music) {
    if (!IsMusicPlaying(music)) {
        return 0.0;
    }
    const double seconds = Mix_GetMusicPosition(music->music);
    return seconds > 0.0 ? seconds : 0.0;
}

void SetMusicVolume(int mixerVolume) {
    if (g_open) {
        Mix_VolumeMusic(std::clamp(mixerVolume, 0, kMaxVolume));
    }
}

int MusicVolume() {
    return g_open ? Mix_VolumeMusic(-1) : 0;
}

bool TakeMusicEnded() {
    return g_musicEnded.exchange(false);
}

} // namespace TwMixer
