#pragma once
#include <string>

struct TwMixerMusic;

// One music track: the mixer's track over file bytes owned by its play list, and the
// position at which it was last stopped (0 when there is none).
class TwMusicSample {
public:
    // Opens the mixer's track over `bytes`, which must outlive it. An empty or undecodable
    // file gives a track without a stream, which plays nothing.
    explicit TwMusicSample(const std::string& bytes, std::string name = {});
    ~TwMusicSample();
    TwMusicSample(const TwMusicSample&) = delete;
    TwMusicSample& operator=(const TwMusicSample&) = delete;

    bool HasStream() const { return stream_ != nullptr; }
    const std::string& Name() const { return name_; }
    TwMixerMusic* Stream() const { return stream_; }

    // Seconds into the track where it was last stopped; 0 means none.
    double SavedPosition() const { return savedPosition_; }
    void SetSavedPosition(double seconds) { savedPosition_ = seconds; }

private:
    TwMixerMusic* stream_ = nullptr;
    double savedPosition_ = 0.0;
    std::string name_;
};
