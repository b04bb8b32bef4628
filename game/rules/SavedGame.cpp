#include "SavedGame.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "BaseBubble.h"
#include "GameMap.h"
#include "Launcher.h"
#include "data/TwDefFile.h"

namespace {

// Limits a value read from the slot can take. A real game stays far inside them; they only
// keep a hostile file from pushing a counter past the int range while it is played.
constexpr int kMaxPoints = 1000000000;
constexpr int kMaxCombo = 1000000;
constexpr int kArcadeTick = 5000;
constexpr int kMaxMoves = 100;
constexpr int kMaxAddLines = 100;
constexpr int kMaxPuzzleLevel = 99;

int ColourOf(const BaseBubble* bubble) {
    return bubble != nullptr && SavedGame::IsColour(bubble->Colour()) ? bubble->Colour()
                                                                      : SavedGame::kNoBubble;
}

int ColourOrNone(int value) {
    return SavedGame::IsColour(value) ? value : SavedGame::kNoBubble;
}

// The score is written as a float; it is truncated toward zero, and whatever lies outside
// what an int can hold (or is not a number at all) is kept within the score range.
int ScoreFromFloat(float value) {
    if (!(value > 0.0f)) {
        return 0;
    }
    if (value >= static_cast<float>(kMaxPoints)) {
        return kMaxPoints;
    }
    return static_cast<int>(std::trunc(value));
}

} // namespace

SavedGame::SavedGame() {
    for (auto& column : cells) {
        column.fill(kNoBubble);
    }
}

SavedGame SavedGame::FromField(const GameMap& field, const Launcher* launcher) {
    SavedGame saved;
    saved.playerBubble = ColourOf(launcher != nullptr ? launcher->Loaded() : nullptr);
    saved.nextBubble = ColourOf(field.NextBubble());
    saved.score = field.Score;
    saved.gameId = 0;
    saved.tripleBonus = field.TripleBonus;
    saved.comboCount = field.ComboCount;
    saved.elapsedTime = field.ElapsedTime;
    saved.numMovesLeft = field.NumMovesLeft;
    saved.numBeginMoves = field.NumBeginMoves;
    saved.nextNumBeginMoves = field.NextNumBeginMoves;
    saved.numAddLines = field.NumAddLines;
    saved.numAddedeLines = field.NumAddedeLines;
    field.ForEachBubble([&saved](const BaseBubble& bubble, int c, int k) {
        saved.cells[c][k] = ColourOrNone(bubble.Colour());
    });
    return saved;
}

void SavedGame::Write(TwDefFile& file, int columns, int rows) const {
    file.SetInt("PlayerBubbleID", playerBubble);
    file.SetInt("NextPlayerBubbleID", nextBubble);
    file.SetFloat("Score", static_cast<float>(score));
    file.SetInt("GameID", gameId);
    file.SetInt("TripleBonus", tripleBonus);
    file.SetInt("LongestCombo", comboCount);
    file.SetInt("ElapsedTime", elapsedTime);
    file.SetInt("NumMovesLeft", numMovesLeft);
    file.SetInt("NumBeginMoves", numBeginMoves);
    file.SetInt("NextNumBeginMoves", nextNumBeginMoves);
    file.SetInt("NumAddLines", numAddLines);
    file.SetInt("NumAddedeLines", numAddedeLines);
    if (gameId == ModeNumber(GameMode::kPuzzle)) {
        file.SetString("PuzzleSet", puzzleSet);
        file.SetInt("PuzzleLevel", puzzleLevel);
        file.SetInt("CeilingRow", ceilingRow);
    }

    std::string grid(std::size_t{kGridSize} * kGridSize, static_cast<char>(kOutsideCell));
    for (int c = 0; c < std::min(columns, kGridSize); ++c) {
        for (int k = 0; k < std::min(rows, kGridSize); ++k) {
            const int colour = cells[c][k];
            grid[static_cast<std::size_t>(c) * kGridSize + static_cast<std::size_t>(k)] =
                static_cast<char>(IsColour(colour) ? kFirstColourCell + colour : kEmptyCell);
        }
    }
    file.SetCharGrid("Map", grid, kGridSize, kGridSize, ' ');
}

SavedGame SavedGame::Read(TwDefFile& file) {
    SavedGame saved;
    // The launcher's bubbles keep whatever the file says; the restore replaces a colour that
    // has no bubble picture by one present in the field.
    saved.playerBubble = file.GetInt("PlayerBubbleID", 0);
    saved.nextBubble = file.GetInt("NextPlayerBubbleID", 0);
    saved.gameId = file.GetInt("GameID", 0);
    saved.score = ScoreFromFloat(file.GetFloat("Score", 0.0f));
    saved.tripleBonus = std::clamp(file.GetInt("TripleBonus", 0), 0, kMaxPoints);
    saved.comboCount = std::clamp(file.GetInt("LongestCombo", 0), 0, kMaxCombo);
    saved.elapsedTime = std::clamp(file.GetInt("ElapsedTime", 0), 0, kArcadeTick);
    saved.numMovesLeft = std::clamp(file.GetInt("NumMovesLeft", 0), -1, kMaxMoves);
    saved.numBeginMoves = std::clamp(file.GetInt("NumBeginMoves", 0), -kMaxMoves, kMaxMoves);
    saved.nextNumBeginMoves =
        std::clamp(file.GetInt("NextNumBeginMoves", 0), -kMaxMoves, kMaxMoves);
    saved.numAddLines = std::clamp(file.GetInt("NumAddLines", 0), 0, kMaxAddLines);
    saved.numAddedeLines = std::clamp(file.GetInt("NumAddedeLines", 0), 0, kMaxAddLines);
    if (saved.gameId == ModeNumber(GameMode::kPuzzle)) {
        saved.puzzleSet = file.GetCString("PuzzleSet");
        saved.puzzleLevel = std::clamp(file.GetInt("PuzzleLevel", 0), 0, kMaxPuzzleLevel);
        // The ceiling never comes below the last row but one, where a bubble would already
        // have ended the game.
        saved.ceilingRow = std::clamp(file.GetInt("CeilingRow", 0), 0, kGridSize - 2);
    }

    int width = kGridSize;
    int height = kGridSize;
    const std::string grid = file.GetCharGrid("Map", width, height, ' ');
    // Grid row c is field column c; a short or missing grid leaves the rest empty.
    for (int c = 0; c < std::min(height, kGridSize); ++c) {
        for (int k = 0; k < std::min(width, kGridSize); ++k) {
            const std::size_t at = static_cast<std::size_t>(c) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(k);
            if (at >= grid.size()) {
                continue;
            }
            const int value = static_cast<unsigned char>(grid[at]) - kFirstColourCell;
            saved.cells[c][k] = ColourOrNone(value);
        }
    }
    return saved;
}

bool SavedGame::HasBubbles(int columns, int rows) const {
    for (int c = 0; c < std::min(columns, kGridSize); ++c) {
        for (int k = 0; k < std::min(rows, kGridSize); ++k) {
            if (IsColour(cells[c][k])) {
                return true;
            }
        }
    }
    return false;
}
