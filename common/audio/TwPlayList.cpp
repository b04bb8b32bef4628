#include "audio/TwPlayList.h"

#include <utility>

#include "audio/TwSoundManager.h"
#include "data/TwResourceManager.h"
#include "platform/mixer/TwMixer.h"
#include "platform/os/TwRand.h"

TwPlayList::~TwPlayList() {
    // Streams read from the file buffers, so they go first.
    tracks_.clear();
    fileBuffers_.clear();
}

void TwPlayList::AddTrack(const std::string& fileName) {
    auto bytes = std::make_unique<std::string>();
    if (TwResourceManager::Instance().GetResource(fileName, *bytes) < 0) {
        bytes->clear();
    }
    AddTrackBytes(std::move(*bytes), fileName);
}

void TwPlayList::AddTrackBytes(std::string bytes, const std::string& name) {
    // The buffer is allocated once and never moved, because the stream reads from it.
    fileBuffers_.push_back(std::make_unique<std::string>(std::move(bytes)));
    tracks_.push_back(std::make_unique<TwMusicSample>(*fileBuffers_.back(), name));
}

void TwPlayList::PlayNext() {
    if (!TwSoundManager::Instance().MusicEnabled() || tracks_.empty()) {
        return;
    }
    if (currentTrack_ + 1u < tracks_.size()) {
        ++currentTrack_;
    } else {
        Shuffle();
        currentTrack_ = 0;
    }
    StartCurrent(0.0);
}

void TwPlayList::Resume() {
    if (!TwSoundManager::Instance().MusicEnabled() || tracks_.empty()) {
        return;
    }
    const double saved = tracks_[currentTrack_]->SavedPosition();
    if (saved == 0.0) {
        PlayNext();
        return;
    }
    StartCurrent(saved);
}

void TwPlayList::RestartCurrent() {
    if (!TwSoundManager::Instance().MusicEnabled() || tracks_.empty()) {
        return;
    }
    StartCurrent(0.0);
}

void TwPlayList::Stop() {
    if (tracks_.empty()) {
        return;
    }
    TwMusicSample& track = *tracks_[currentTrack_];
    // Only a track that is actually playing has a position to remember; stopping a stopped
    // track again (a slider dragged along below the threshold) keeps the first position.
    if (TwMixer::IsMusicPlaying(track.Stream())) {
        track.SetSavedPosition(TwMixer::MusicPosition(track.Stream()));
        TwMixer::StopMusic();
    }
}

void TwPlayList::Shuffle() {
    const auto count = static_cast<std::uint16_t>(tracks_.size());
    if (count <= 2) {
        return;
    }
    auto draw = [](std::uint16_t range) { return static_cast<std::uint16_t>(TwRand() % range); };
    std::swap(tracks_[0], tracks_[draw(count - 1) + 1]);
    for (std::uint16_t i = 0; i < count; ++i) {
        std::swap(tracks_[i], tracks_[i + draw(count - i)]);
    }
}

void TwPlayList::StartCurrent(double position) {
    TwMusicSample& track = *tracks_[currentTrack_];
    const int volume = TwMixer::ToMixerVolume(TwSoundManager::Instance().MusicVolume());
    TwMixer::SetMusicVolume(volume);
    // A list of one track would only ever start that same track again when it ends, so
    // the mixer loops it itself and the seam stays seamless. The stream takes the lowest
    // channel no effect is using and keeps it while it plays.
    const bool loop = tracks_.size() == 1;
    channel_ = TwMixer::PlayMusic(track.Stream(), position, loop) ? TwMixer::MusicChannel() : -1;
    TwMixer::SetMusicVolume(volume);
    track.SetSavedPosition(0.0);
}
