#include "audio/TwSoundManager.h"

#include <chrono>
#include <string_view>
#include <thread>

#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "platform/mixer/TwMixer.h"

namespace {

constexpr int kMixingRate = 48000;
// Small enough that an effect is heard on the frame that asked for it.
constexpr int kMixerBufferSamples = 1024;
// Retries after a failed first attempt to open the mixer (11 attempts in all) before the
// game goes silent.
constexpr int kMaxStartUpRetries = 10;
constexpr auto kStartUpRetryDelay = std::chrono::milliseconds(100);

// Ends of track seen so far, shared by every play list: odd ends replay, even ends move on.
int g_endCounter = 0;

std::uint8_t LowByte(int value) {
    return static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace

void TwSoundManager::ChunkDeleter::operator()(TwMixerChunk* chunk) const {
    TwMixer::FreeChunk(chunk);
}

TwSoundManager& TwSoundManager::Instance() {
    static TwSoundManager manager;
    return manager;
}

TwSoundManager::~TwSoundManager() {
    ShutDown();
}

bool TwSoundManager::StartUp(int soundSetting, int musicSetting) {
    if (started_) {
        return true;
    }
    while (!TwMixer::Open(kMixingRate, kMixerBufferSamples)) {
        if (startUpAttempts_ >= kMaxStartUpRetries) {
            return false;
        }
        std::this_thread::sleep_for(kStartUpRetryDelay);
        ++startUpAttempts_;
    }
    started_ = true;
    soundVolume_ = LowByte(soundSetting);
    musicVolume_ = LowByte(musicSetting);
    if (musicVolume_ < kSilentBelow) {
        musicEnabled_ = false;
    }
    if (soundVolume_ < kSilentBelow) {
        soundEnabled_ = false;
    }
    TwMixer::SetChannelVolume(-1, TwMixer::ToMixerVolume(soundVolume_));
    TwMixer::SetMusicVolume(TwMixer::ToMixerVolume(musicVolume_));
    return true;
}

void TwSoundManager::ShutDown() {
    // Lists first (their streams read from their own buffers), then effects, then the mixer.
    current_ = nullptr;
    playLists_.clear();
    FreeSamples();
    TwMixer::Close();
    started_ = false;
    startUpAttempts_ = 0;
    soundEnabled_ = true;
    musicEnabled_ = true;
    soundVolume_ = kInitialVolume;
    musicVolume_ = kInitialVolume;
}

void TwSoundManager::FreeSamples() {
    samples_.clear();
}

// An effect asked for by its ".Wav" name may be stored losslessly compressed as ".Flac"
// instead; a ".Wav" entry, where a pack has one, comes first.
bool TwSoundManager::LoadSample(int id, const std::string& fileName) {
    TwResourceManager& packs = TwResourceManager::Instance();
    std::string bytes;
    if (packs.GetResource(fileName, bytes) >= 0) {
        return LoadSampleBytes(id, bytes);
    }
    constexpr std::string_view kWav = ".Wav";
    if (!fileName.ends_with(kWav)) {
        return false;
    }
    const std::string flac = fileName.substr(0, fileName.size() - kWav.size()) + ".Flac";
    return packs.GetResource(flac, bytes) >= 0 && LoadSampleBytes(id, bytes);
}

bool TwSoundManager::LoadSampleBytes(int id, const std::string& bytes) {
    TwMixerChunk* chunk = TwMixer::LoadChunk(bytes);
    if (chunk == nullptr) {
        return false;
    }
    samples_[id].reset(chunk);
    return true;
}

int TwSoundManager::PlaySample(int id) {
    if (id == 0 || !soundEnabled_) {
        return -1;
    }
    const auto found = samples_.find(id);
    if (found == samples_.end()) {
        return -1;
    }
    return TwMixer::PlayChunk(found->second.get(), TwMixer::ToMixerVolume(soundVolume_));
}

void TwSoundManager::SetSoundVolume(int volume) {
    if (!soundEnabled_) {
        return;
    }
    soundVolume_ = LowByte(volume);
    TwMixer::SetChannelVolume(-1, TwMixer::ToMixerVolume(soundVolume_));
    // The music keeps its own volume.
    SetMusicVolume(musicVolume_);
}

void TwSoundManager::SetMusicVolume(int volume) {
    musicVolume_ = LowByte(volume);
    if (current_ != nullptr && current_->Channel() != -1) {
        TwMixer::SetMusicVolume(TwMixer::ToMixerVolume(musicVolume_));
    }
}

void TwSoundManager::PauseAll(bool paused) {
    TwMixer::PauseAll(paused);
}

void TwSoundManager::AddPlayList(int id, std::unique_ptr<TwPlayList> list) {
    auto& slot = playLists_[id];
    if (slot.get() == current_) {
        // Replacing the current list: its music stops with it.
        current_ = nullptr;
    }
    slot = std::move(list);
}

TwPlayList* TwSoundManager::PlayList(int id) const {
    const auto found = playLists_.find(id);
    return found == playLists_.end() ? nullptr : found->second.get();
}

void TwSoundManager::SelectPlayList(int id) {
    if (current_ != nullptr) {
        current_->Stop();
    }
    current_ = PlayList(id);
}

void TwSoundManager::ResumeMusic() {
    if (!musicEnabled_ || current_ == nullptr) {
        return;
    }
    // Music that last ran on channel 0 is the menu music started before any effect: it
    // begins again with its next track rather than continuing.
    if (current_->Channel() == 0) {
        current_->PlayNext();
    } else {
        current_->Resume();
    }
}

void TwSoundManager::RestartTrack() {
    if (musicEnabled_ && current_ != nullptr) {
        current_->RestartCurrent();
    }
}

void TwSoundManager::Update() {
    if (TwMixer::TakeMusicEnded()) {
        OnMusicEnd();
    }
}

bool TwSoundManager::OnMusicEnd() {
    if (current_ == nullptr) {
        return false;
    }
    if (!musicEnabled_) {
        return true;
    }
    if (++g_endCounter > 1) {
        g_endCounter = 0;
        TwMixer::StopMusic();
        ResumeMusic();
    } else {
        RestartTrack();
    }
    return true;
}

int TwSoundManager::EndCounter() {
    return g_endCounter;
}

void TwSoundManager::ResetEndCounter() {
    g_endCounter = 0;
}

void TwSoundManager::MoveSoundSlider(int value) {
    soundEnabled_ = value >= kSilentBelow;
    SetSoundVolume(value);
    TwSysConfig::Instance().SoundVolume = value;
}

void TwSoundManager::MoveMusicSlider(int value) {
    SetMusicVolume(value);
    if (musicVolume_ < kSilentBelow) {
        musicEnabled_ = false;
        if (current_ != nullptr) {
            current_->Stop();
        }
    } else {
        musicEnabled_ = true;
        if (current_ != nullptr) {
            current_->Resume();
        }
    }
    TwSysConfig::Instance().MusicVolume = value;
}
