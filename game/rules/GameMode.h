#pragma once
#include <optional>

// The three ways to play. The numbers are the ones the save slot, the recordings and the
// high-score files keep, so they never change.
enum class GameMode : int { kClassic = 0, kArcade = 1, kPuzzle = 2 };

// Everything that differs from one mode to another, in one place.
struct GameModeInfo {
    GameMode mode;
    // The mode's English name, as the recordings' verifier prints it and the player
    // statistics file keys it.
    const char* name;
    // The picture behind the field.
    const char* background;
    // A cleared field adds the triple bonus to the score shown in the result.
    bool bonus;
    // Its finished games enter a high-score table and the player's per-mode statistics.
    bool rankedGames;
    // The result dialogs of a cleared and of a lost game.
    const char* clearedPanel;
    const char* lostPanel;
};

const GameModeInfo& ModeInfo(GameMode mode);
// The mode a stored number names; nothing for a number no mode has.
std::optional<GameMode> ModeFromNumber(int number);
constexpr int ModeNumber(GameMode mode) {
    return static_cast<int>(mode);
}
