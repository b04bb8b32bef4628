#pragma once
#include <array>
#include <string>

#include "GameMode.h"

class GameMap;
class Launcher;
class TwDefFile;

// A game put aside: the field's bubbles, the two bubbles at the launcher and the counters,
// as the player's save slot holds them. The slot is a text definition file with twelve
// number keys and a 20 x 20 character grid "Map" whose grid row i is field column i and
// whose cell j is field row j: '1' for an empty cell, '2' + colour for a bubble and byte 255
// for cells outside the field.
//
// Reading never trusts the file: colours without a bubble picture become "no bubble",
// missing grid cells are empty and counters are kept within what a game can reach, so a
// damaged or hostile slot can at worst give a smaller game, never a broken one.
struct SavedGame {
    static constexpr int kGridSize = 20;
    static constexpr int kNoBubble = -1;
    static constexpr int kColours = 6;
    // Grid bytes.
    static constexpr unsigned char kEmptyCell = '1';
    static constexpr unsigned char kFirstColourCell = '2';
    static constexpr unsigned char kOutsideCell = 255;

    int playerBubble = kNoBubble; // colour loaded in the launcher
    int nextBubble = kNoBubble;   // colour waiting beside it
    int score = 0;
    int gameId = 0; // a GameMode's number; anything else cannot be restored
    int tripleBonus = 0;
    int comboCount = 0;
    int elapsedTime = 0; // the Arcade clock
    int numMovesLeft = 0;
    int numBeginMoves = 0;
    int nextNumBeginMoves = 0;
    int numAddLines = 0;
    int numAddedeLines = 0;
    // A Puzzle level: the set's id, the level's number (from 1) and the rows the ceiling has
    // come down by. Written for Puzzle games only.
    std::string puzzleSet;
    int puzzleLevel = 0;
    int ceilingRow = 0;
    // cells[column][row]: a colour 0..5 or kNoBubble.
    std::array<std::array<int, kGridSize>, kGridSize> cells{};

    SavedGame();

    // Everything the field and launcher show now. A launcher without a bubble (or no
    // launcher) gives kNoBubble.
    static SavedGame FromField(const GameMap& field, const Launcher* launcher);

    // Fills a definition file with the twelve keys and the grid of a field of
    // `columns` x `rows` cells.
    void Write(TwDefFile& file, int columns, int rows) const;
    // Takes the keys out of a loaded file (a missing key reads as 0).
    static SavedGame Read(TwDefFile& file);

    bool HasKnownMode() const { return ModeFromNumber(gameId).has_value(); }
    // True when at least one bubble lies inside a field of that size.
    bool HasBubbles(int columns, int rows) const;
    static bool IsColour(int colour) { return colour >= 0 && colour < kColours; }
};
