// The music half of the mixer layer. The mixer's own music streams decoded Ogg Vorbis a
// buffer at a time on the audio thread, for as long as the music plays; here the track that
// plays is decoded once into memory (TwMixerTrack, on a thread of its own) and the audio
// thread only copies it out, wrapping to the start of a looping track without a gap. One
// decoded track is kept at a time: the one last played, freed when another starts.
#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include "platform/mixer/TwMixer.h"
#include "platform/mixer/TwMixerInternal.h"
#include "platform/mixer/TwMixerTrack.h"

struct TwMixerMusic {
    const std::string* bytes = nullptr;
};

namespace {

// Only touched on the game's thread.
const TwMixerMusic* g_playing = nullptr;
// The channel number the music took when it started (the lowest idle one then). The music
// plays beside the mixer's channels, so this layer keeps that number free of effects while
// it plays, as if the music held it.
int g_musicChannel = -1;
// The decoded track and the music it belongs to.
const TwMixerMusic* g_decodedFor = nullptr;
std::unique_ptr<TwMixerTrack> g_decoded;
TwMixerTrack::Format g_format;

// What the audio thread plays, under g_playerLock (held by the audio thread while it mixes
// one buffer, a few microseconds).
struct Player {
    TwMixerTrack* track = nullptr;
    std::int64_t cursor = 0; // next frame to play
    bool loop = false;
    bool started = false; // false until the first frame has been played
    bool playing = false; // false once a track played once through has ended
};
std::mutex g_playerLock;
Player g_player;
std::atomic<bool> g_paused{false};
std::atomic<int> g_volume{TwMixer::kMaxVolume};
// Raised on the audio thread when a track played once through ends, taken on the game's.
std::atomic<bool> g_musicEnded{false};

// Mixes the music into one buffer of the device, before the effects are added.
void SDLCALL MixMusic(void* /*unused*/, Uint8* stream, int len) {
    std::lock_guard<std::mutex> lock(g_playerLock);
    Player& player = g_player;
    if (player.track == nullptr || !player.playing || g_paused.load(std::memory_order_relaxed)) {
        return;
    }
    TwMixerTrack& track = *player.track;
    const int frameBytes = track.OutputFormat().channels * 2;
    const int volume = g_volume.load(std::memory_order_relaxed);
    int frames = len / frameBytes;
    while (frames > 0) {
        const std::int64_t length = track.Length();
        if (length < 0) {
            return; // a track decoded whole is not ready yet
        }
        if (player.cursor >= length) {
            if (length > 0 && (player.loop || !player.started)) {
                // A loop comes round again without a gap; music asked to start past its end
                // starts at its beginning.
                player.cursor = 0;
            } else if (length == 0 && player.loop) {
                return; // nothing in the track could be decoded: it loops in silence
            } else {
                player.playing = false;
                g_musicEnded.store(true);
                return;
            }
        }
        const std::int16_t* samples = nullptr;
        const int ready = std::min(track.Peek(player.cursor, samples), frames);
        if (ready <= 0) {
            return; // the decoder has not reached this block yet: wait for it
        }
        player.started = true;
        const auto bytes = static_cast<Uint32>(ready * frameBytes);
        // The music goes first into a silent buffer: at full volume a copy is the same mix.
        if (volume == TwMixer::kMaxVolume) {
            std::memcpy(stream, samples, bytes);
        } else {
            SDL_MixAudioFormat(stream, reinterpret_cast<const Uint8*>(samples), AUDIO_S16SYS, bytes,
                               volume);
        }
        stream += bytes;
        frames -= ready;
        player.cursor += ready;
    }
}

bool MusicActive() {
    std::lock_guard<std::mutex> lock(g_playerLock);
    return g_player.track != nullptr && g_player.playing;
}

// Frees the decoded track (its decoding thread stops first).
void ReleaseDecoded() {
    {
        std::lock_guard<std::mutex> lock(g_playerLock);
        if (g_player.track == g_decoded.get()) {
            g_player = Player{};
        }
    }
    g_decoded.reset();
    g_decodedFor = nullptr;
}

bool FitsRWops(const std::string& bytes) {
    return bytes.size() <= static_cast<std::size_t>(SDL_MAX_SINT32);
}

} // namespace

namespace TwMixerInternal {

void AttachMusic() {
    int frequency = 0;
    int channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&frequency, &format, &channels) != 0) {
        g_format.rate = frequency;
        g_format.channels = channels;
    }
    g_musicEnded.store(false);
    g_paused.store(false);
    Mix_HookMusic(MixMusic, nullptr);
}

void DetachMusic() {
    TwMixer::StopMusic();
    ReleaseDecoded();
    Mix_HookMusic(nullptr, nullptr);
    g_musicEnded.store(false);
}

void PauseMusic(bool paused) {
    g_paused.store(paused);
}

} // namespace TwMixerInternal

namespace TwMixer {

TwMixerMusic* OpenMusic(const std::string& bytes) {
    if (!IsOpen() || bytes.empty() || !FitsRWops(bytes)) {
        return nullptr;
    }
    // The mixer's own loader reads the file's headers: bytes it does not take for music
    // give no track at all, as before.
    SDL_RWops* source = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
    if (source == nullptr) {
        return nullptr;
    }
    Mix_Music* probe = Mix_LoadMUS_RW(source, 1);
    if (probe == nullptr) {
        return nullptr;
    }
    Mix_FreeMusic(probe);
    return new TwMixerMusic{&bytes};
}

void CloseMusic(TwMixerMusic* music) {
    if (music == nullptr) {
        return;
    }
    if (music == g_playing) {
        StopMusic();
    }
    if (music == g_decodedFor) {
        ReleaseDecoded();
    }
    delete music;
}

bool PlayMusic(TwMixerMusic* music, double position, bool loop) {
    if (!IsOpen()) {
        return false;
    }
    StopMusic();
    if (music == nullptr) {
        return false;
    }
    const std::int64_t start =
        position > 0.0 ? static_cast<std::int64_t>(std::llround(position * g_format.rate)) : 0;
    if (g_decodedFor != music) {
        // One decoded track at a time: the old one goes before the new one is made.
        ReleaseDecoded();
        g_decoded = std::make_unique<TwMixerTrack>(*music->bytes, g_format, start);
        g_decodedFor = music;
    } else if (g_decoded->Decoded() && g_decoded->Length() == 0) {
        return false; // nothing in it could be decoded
    }
    const int channel = LowestIdleChannel();
    {
        std::lock_guard<std::mutex> lock(g_playerLock);
        g_player = Player{g_decoded.get(), start, loop, false, true};
    }
    // A new track plays even while everything else is paused, as a new effect would.
    g_paused.store(false);
    g_playing = music;
    g_musicChannel = channel;
    return true;
}

void StopMusic() {
    if (!IsOpen()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(g_playerLock);
        g_player = Player{};
    }
    // An end that arrived just before this stop belongs to music the game has left behind.
    g_musicEnded.store(false);
    g_playing = nullptr;
    g_musicChannel = -1;
}

bool IsMusicPlaying(const TwMixerMusic* music) {
    return IsOpen() && music != nullptr && music == g_playing && MusicActive();
}

int MusicChannel() {
    if (!IsOpen() || g_playing == nullptr || !MusicActive()) {
        return -1;
    }
    return g_musicChannel;
}

double MusicPosition(TwMixerMusic* music) {
    if (!IsMusicPlaying(music) || g_format.rate <= 0) {
        return 0.0;
    }
    std::lock_guard<std::mutex> lock(g_playerLock);
    return static_cast<double>(g_player.cursor) / g_format.rate;
}

void SetMusicVolume(int mixerVolume) {
    if (IsOpen()) {
        g_volume.store(std::clamp(mixerVolume, 0, kMaxVolume));
    }
}

int MusicVolume() {
    return IsOpen() ? g_volume.load() : 0;
}

bool TakeMusicEnded() {
    return g_musicEnded.exchange(false);
}

std::size_t DecodedMusicBytes() {
    return g_decoded ? g_decoded->MemoryBytes() : 0;
}

bool MusicFullyDecoded() {
    return g_decoded && g_decoded->Decoded();
}

} // namespace TwMixer
