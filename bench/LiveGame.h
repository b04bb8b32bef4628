#pragma once
#include <string>

class GameApplication;

// Benchmarks that need the game as a player has it: the packs of the build tree, a returning
// player with an 800 x 600 window, SDL's offscreen display and silent sound.
namespace zvbench {

// Points the player's files at a fresh folder holding a returning player ("Tester") and
// windowed settings; returns the folder. Done once per process.
const std::string& PlayerFolder();
// Opens the build tree's two packs once. False when they are missing.
bool OpenBuiltPacks();
// The whole application, loaded as at start-up and left on its main menu; built on first
// use and kept for the process. Null when the packs or the display are missing.
GameApplication* LiveGame();

} // namespace zvbench
