#include "platform/mixer/TwMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>

#include "platform/mixer/TwMixerInternal.h"

struct TwMixerChunk {
    Mix_Chunk* chunk = nullptr;
};

namespace {

bool g_open = false;

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
    g_open = true;
    TwMixerInternal::AttachMusic();
    return true;
}

void Close() {
    if (!g_open) {
        return;
    }
    TwMixerInternal::DetachMusic();
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    g_open = false;
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

TwMixerChunk* LoadChunk(const std::string& bytes) {
    if (!g_open || !FitsRWops(bytes)) {
        return nullptr;
    }
    SDL_RWops* source = ReadOnlyStream(bytes);
    if (source == nullptr) {
        return nullptr;
    }
    // The stream is closed here rather than by SDL_mixer: its FLAC loader leaves the stream
    // open when a file is cut short inside its header, though asked to close it.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(source, 0);
    SDL_RWclose(source);
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
    } else {
        Mix_Resume(-1);
    }
    TwMixerInternal::PauseMusic(paused);
}

} // namespace TwMixer
