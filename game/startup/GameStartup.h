#pragma once
#include <functional>
#include <string>
#include <vector>

// How the game is started. The defaults are those of a normal start; tests narrow them.
struct GameStartOptions {
    // Folders searched for the packs, in order. Empty: the current directory, the
    // executable's directory, then the installed data directory.
    std::vector<std::string> packDirs;
    // False: start up and shut down again without running the frame loop.
    bool runLoop = true;
    // A recording to show instead of the menu (--replay); the game ends when it is left.
    std::string replayFile;
    // Told of every loading-screen percentage as it is shown.
    std::function<void(int)> onProgress;
};

// The exit status when a pack the game needs is missing or damaged.
constexpr int kExitPackTrouble = 1;

// The whole life of the game: refuses a second copy, opens the packs, builds the
// application, loads the settings, opens the window, loads the game behind the loading
// screen, runs the frame loop and tears everything down. Returns 0, or kExitPackTrouble
// after one message when the game's packs are missing or damaged.
int RunZorbitVolley(const GameStartOptions& options = {});

// Where a pack named like "Data//Resource.Twr" is: the first folder of `dirs` holding it
// ("" or "." stands for the current directory, where the name is used as it is). When no
// folder holds it, the place in the first folder, so opening it fails.
std::string FindGamePack(const std::string& name, const std::vector<std::string>& dirs);
