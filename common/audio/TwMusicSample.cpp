#include "audio/TwMusicSample.h"

#include "platform/mixer/TwMixer.h"

TwMusicSample::TwMusicSample(const std::string& bytes, std::string name)
    : stream_(TwMixer::OpenMusic(bytes)), name_(std::move(name)) {}

TwMusicSample::~TwMusicSample() {
    TwMixer::CloseMusic(stream_);
}
