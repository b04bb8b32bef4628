#pragma once
#include <string>

#include "data/TwDefFile.h"

// The player's settings, kept in "Data/TwConfig.Cfg" (the user's configuration directory):
// display mode, effects and music volume (0-255, below 16 is off) and difficulty
// (0 Easy, 1 Normal, 2 Hard) and the aim guide. Loaded at start-up before the window is made; the
// options dialog changes them and saves.
class TwSysConfig {
public:
    static TwSysConfig& Instance();

    explicit TwSysConfig(std::string fileName = "Data/TwConfig.Cfg");
    virtual ~TwSysConfig() = default;

    // Compares and copies the settings only (not the file name or the table).
    virtual bool operator==(const TwSysConfig& other) const;
    virtual void Assign(const TwSysConfig& other);

    // Reads the settings file. Missing or unreadable: full screen, volumes 100, Easy, and 1
    // is returned; otherwise 0, with every key missing from the file given that same
    // first-run value.
    int Load();
    // Writes the settings (with any other keys the file held) atomically. 0 on
    // success, 1 when the file could not be written.
    int Save();

    // The game name of the settings file and where it is on disk.
    const std::string& FileName() const { return fileName_; }
    std::string FilePath() const;

    // Every key the file held, the four settings' among them: others (the game's controls)
    // read and write theirs here, and Save keeps them.
    TwDefFile& Table() { return table_; }

    bool Windowed = false;
    int SoundVolume = 100;
    int MusicVolume = 100;
    int DifficultLevel = 0;
    // The aim guide: a dotted line along the route a shot would take (off by default).
    bool AimGuide = false;
    // The language the player chose in the options ("de", "pt_BR", "en"), or "" for the
    // desktop's language (the default). A value that is no language code reads as "".
    std::string Language;

private:
    std::string fileName_;
    TwDefFile table_;
};
