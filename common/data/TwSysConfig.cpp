#include "data/TwSysConfig.h"

#include "data/TwLocale.h"
#include "platform/os/TwUserFiles.h"

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
           MusicVolume == other.MusicVolume && DifficultLevel == other.DifficultLevel &&
           AimGuide == other.AimGuide && Language == other.Language;
}

void TwSysConfig::Assign(const TwSysConfig& other) {
    Windowed = other.Windowed;
    SoundVolume = other.SoundVolume;
    MusicVolume = other.MusicVolume;
    DifficultLevel = other.DifficultLevel;
    AimGuide = other.AimGuide;
    Language = other.Language;
}

std::string TwSysConfig::FilePath() const {
    return TwUserPath(fileName_);
}

int TwSysConfig::Load() {
    // First start (or an unreadable file): full screen, both volumes 100, Easy. A file that
    // lacks a key gives that key the same first-run value, so a file holding only
    // "Windowed=1" (the advice for full-screen trouble) keeps the sound on. A key that is
    // present is taken as written.
    if (table_.LoadFromFile(FilePath()) != 0) {
        Windowed = false;
        SoundVolume = kDefaultVolume;
        MusicVolume = kDefaultVolume;
        DifficultLevel = 0;
        AimGuide = false;
        Language.clear();
        return 1;
    }
    Windowed = table_.GetInt("Windowed", 0) != 0;
    SoundVolume = table_.GetInt("SoundVolume", kDefaultVolume);
    MusicVolume = table_.GetInt("MusicVolume", kDefaultVolume);
    DifficultLevel = table_.GetInt("DifficultLevel", 0);
    AimGuide = table_.GetInt("AimGuide", 0) != 0;
    Language = table_.GetString("Language", "");
    if (!TwLocale::IsLanguageCode(Language)) {
        Language.clear();
    }
    return 0;
}

int TwSysConfig::Save() {
    table_.SetInt("Windowed", Windowed ? 1 : 0);
    table_.SetInt("SoundVolume", SoundVolume);
    table_.SetInt("MusicVolume", MusicVolume);
    table_.SetInt("DifficultLevel", DifficultLevel);
    table_.SetInt("AimGuide", AimGuide ? 1 : 0);
    table_.SetString("Language", Language);
    return table_.Save(FilePath()) == 0 ? 0 : 1;
}
