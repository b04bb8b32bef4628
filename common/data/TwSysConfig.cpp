#include "data/TwSysConfig.h"

#include "platform/TwUserFiles.h"

namespace {

constexpr int kDefaultVolume = 100;

} // namespace

TwSysConfig& TwSysConfig::Instance() {
    static TwSysConfig config;
    return config;
}

TwSysConfig::TwSysConfig(std::string fileName) : fileName_(std::move(fileName)) {}

bool TwSysConfig::operator==(const TwSysConfig& other) const {
    return Windowed == other.Windowed && SoundVolume == other.SoundVolume &&
           MusicVolume == other.MusicVolume && DifficultLevel == other.DifficultLevel;
}

void TwSysConfig::Assign(const TwSysConfig& other) {
    Windowed = other.Windowed;
    SoundVolume = other.SoundVolume;
    MusicVolume = other.MusicVolume;
    DifficultLevel = other.DifficultLevel;
}

std::string TwSysConfig::FilePath() const {
    return TwUserPath(fileName_);
}

int TwSysConfig::Load() {
    if (table_.LoadFromFile(FilePath()) != 0) {
        // First start (or an unreadable file): full screen, both volumes 100, Easy.
        Windowed = false;
        SoundVolume = kDefaultVolume;
        MusicVolume = kDefaultVolume;
        DifficultLevel = 0;
        return 1;
    }
    // A key missing from an existing file reads as 0; values are taken as written.
    Windowed = table_.GetInt("Windowed", 0) != 0;
    SoundVolume = table_.GetInt("SoundVolume", 0);
    MusicVolume = table_.GetInt("MusicVolume", 0);
    DifficultLevel = table_.GetInt("DifficultLevel", 0);
    return 0;
}

int TwSysConfig::Save() {
    table_.SetInt("Windowed", Windowed ? 1 : 0);
    table_.SetInt("SoundVolume", SoundVolume);
    table_.SetInt("MusicVolume", MusicVolume);
    table_.SetInt("DifficultLevel", DifficultLevel);
    return table_.Save(FilePath()) == 0 ? 0 : 1;
}
