#pragma once
#include <map>
#include <string>

#include "GameAppHarness.h"

class Game;

namespace faults {

// Every file under a folder, by path, with its bytes.
using FileSnapshot = std::map<std::string, std::string>;
FileSnapshot Snapshot(const std::string& root);

// The whole application with the real game screen showing a Classic game in progress, so
// that every player file can be written: settings, profiles, the save slot and the score
// table.
class PlayingApp {
public:
    PlayingApp() = default;
    // False (with a test failure) when the application or the game could not start.
    bool Start();

    // Waits for the launcher, aims at a point and fires through the window's own input.
    // False when the launcher never became ready.
    bool Shoot(float x, float y);
    void Frames(int count);

    // Writes the settings, the profiles, the save slot and a score entry. Each result says
    // whether that write reported success.
    struct Writes {
        bool settings = false;
        bool profiles = false;
        bool savedGame = false;
        bool scores = false;
    };
    // Changes something in each record first, so every write has new content to write.
    Writes WriteEverything(int round);

    zvtest::GameAppHarness& Harness() { return harness_; }
    Game& TheGame() { return *game_; }
    // The folders the player's files live in.
    std::string ConfigDir() const;
    std::string DataDir() const;

private:
    zvtest::GameAppHarness harness_;
    Game* game_ = nullptr;
};

} // namespace faults
