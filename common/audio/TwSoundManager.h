#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "audio/TwPlayList.h"

struct TwMixerChunk;

// The game's one sound system: short effects loaded into memory and played by sound id, and
// music play lists by list id, one of which is current. Volumes run 0 to 255; a setting below
// 16 means that kind of sound is off. Without an audio device (or when the mixer cannot be
// opened) the manager stays silent and every call is harmless.
class TwSoundManager {
public:
    static TwSoundManager& Instance();

    // Opens the mixer (48 kHz, up to 11 attempts 100 ms apart) with the two volume settings
    // (the low byte of each is used). False when no attempt succeeded; the game then runs
    // silent.
    bool StartUp(int soundSetting, int musicSetting);
    // Frees every list, stream, buffer and effect and closes the mixer. Flags and volumes go
    // back to their initial values, so StartUp may be called again.
    void ShutDown();
    bool IsStarted() const { return started_; }

    // Loads one effect (WAV or Ogg) from the packs under `id`, replacing an earlier one.
    // False when no pack holds the exact name or the bytes cannot be decoded.
    bool LoadSample(int id, const std::string& fileName);
    // The same from file bytes already in memory (copied; the caller keeps them).
    bool LoadSampleBytes(int id, const std::string& bytes);
    // Plays an effect on a free channel at the effects volume. Returns that channel, or -1
    // for id 0, with effects off, for an unknown id or when nothing could be started.
    int PlaySample(int id);
    bool HasSample(int id) const { return samples_.count(id) != 0; }

    // Effects volume for every channel; only while effects are on (otherwise nothing changes).
    void SetSoundVolume(int volume);
    // Music volume (low byte), applied at once to the current list's music.
    void SetMusicVolume(int volume);
    // Pauses or continues every effect and the music (window minimised or restored).
    void PauseAll(bool paused);

    // Takes ownership of a play list and files it under `id` (replacing an earlier one).
    void AddPlayList(int id, std::unique_ptr<TwPlayList> list);
    // Stops the current list (its position is kept) and makes list `id` current; no list is
    // current when there is none under `id`. Call ResumeMusic to start it.
    void SelectPlayList(int id);
    // Starts or continues the current list: a list whose last music channel was 0 moves on
    // to its next track, any other continues where it stopped.
    void ResumeMusic();
    // Plays the current list's current track again from its beginning.
    void RestartTrack();
    TwPlayList* CurrentPlayList() const { return current_; }
    TwPlayList* PlayList(int id) const;

    // Once per frame on the game's thread: when the music has run to its end since the last
    // call, runs the end-of-track steps (odd ends replay the track, even ends go to the next).
    void Update();
    // The end-of-track steps themselves; returns the truth value the music stream expects.
    bool OnMusicEnd();
    // Ends of track counted so far (0 or 1; shared by every list).
    static int EndCounter();
    static void ResetEndCounter();

    // The options dialog's sliders: a move sets the on/off state, the sound system's volume
    // and the setting itself, in that order.
    void MoveSoundSlider(int value);
    void MoveMusicSlider(int value);

    bool SoundEnabled() const { return soundEnabled_; }
    void SetSoundEnabled(bool enabled) { soundEnabled_ = enabled; }
    bool MusicEnabled() const { return musicEnabled_; }
    void SetMusicEnabled(bool enabled) { musicEnabled_ = enabled; }
    std::uint8_t SoundVolume() const { return soundVolume_; }
    std::uint8_t MusicVolume() const { return musicVolume_; }
    // Failed retries of the last start (10 when the mixer never opened).
    int StartUpAttempts() const { return startUpAttempts_; }

    static constexpr std::uint8_t kInitialVolume = 96;
    static constexpr int kSilentBelow = 16;

    ~TwSoundManager();
    TwSoundManager(const TwSoundManager&) = delete;
    TwSoundManager& operator=(const TwSoundManager&) = delete;

private:
    TwSoundManager() = default;
    void FreeSamples();

    struct ChunkDeleter {
        void operator()(TwMixerChunk* chunk) const;
    };

    std::map<int, std::unique_ptr<TwMixerChunk, ChunkDeleter>> samples_;
    int startUpAttempts_ = 0;
    bool soundEnabled_ = true;
    bool musicEnabled_ = true;
    std::uint8_t soundVolume_ = kInitialVolume;
    std::uint8_t musicVolume_ = kInitialVolume;
    std::map<int, std::unique_ptr<TwPlayList>> playLists_;
    TwPlayList* current_ = nullptr;
    bool started_ = false;
};
