#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/TwMusicSample.h"

// A list of music tracks played one after the other. Each track is made from a copy of its
// file kept in memory for the list's life, so nothing is read from disk while music plays
// (the mixer decodes the track that plays from it).
class TwPlayList {
public:
    TwPlayList() = default;
    ~TwPlayList();
    TwPlayList(const TwPlayList&) = delete;
    TwPlayList& operator=(const TwPlayList&) = delete;

    // Appends a track from the packs (exact name). A missing or undecodable file still adds a
    // track, one that plays nothing, so the list moves past it.
    void AddTrack(const std::string& fileName);
    // Appends a track from file bytes already in memory (the list keeps them).
    void AddTrackBytes(std::string bytes, const std::string& name = {});
    // Moves to the next track (reshuffling after the last) and plays it from its beginning.
    void PlayNext();
    // Continues the current track from where it was stopped, or plays the next one when it
    // has no saved position.
    void Resume();
    // Remembers the current track's position, then stops it.
    void Stop();
    // Reorders lists of three or more tracks with the game's random numbers.
    void Shuffle();
    // Plays the current track from its beginning without moving on.
    void RestartCurrent();

    // The music channel of the track last started, -1 before the first start.
    int Channel() const { return channel_; }
    std::uint16_t CurrentTrack() const { return currentTrack_; }
    std::size_t TrackCount() const { return tracks_.size(); }
    const TwMusicSample& Track(std::size_t index) const { return *tracks_[index]; }
    TwMusicSample& Track(std::size_t index) { return *tracks_[index]; }

private:
    void StartCurrent(double position);

    int channel_ = -1;
    std::vector<std::unique_ptr<TwMusicSample>> tracks_;
    std::vector<std::unique_ptr<std::string>> fileBuffers_;
    std::uint16_t currentTrack_ = 0;
};
