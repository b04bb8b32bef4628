#include "PuzzleMap.h"

#include <algorithm>

#include "GameSound.h"

PuzzleMap::PuzzleMap(BubbleBanks& banks, int difficulty) : GameMap(banks, difficulty) {}
PuzzleMap::PuzzleMap(BubbleBanks& banks, const FieldGeometry& geometry, int difficulty)
    : GameMap(banks, geometry, difficulty) {}
PuzzleMap::~PuzzleMap() = default;

void PuzzleMap::SetLevel(const PuzzleLevel& level, const std::string& setId, int number) {
    level_ = level;
    setId_ = setId;
    number_ = number;
}

void PuzzleMap::Reset(bool) {
    GameMap::Reset(false);
    for (int k = 0; k < std::min(static_cast<int>(level_.rows.size()), Rows() - 1); ++k) {
        for (int c = 0; c < Columns(); ++c) {
            const int colour = level_.Cell(c, k);
            if (colour >= 0) {
                PlaceNewBubble(c, k, colour);
            }
        }
    }
}

void PuzzleMap::InitPacing() {
    const int start = CounterStart(std::max(1, level_.shots));
    NumMovesLeft = start;
    NumBeginMoves = start;
    NextNumBeginMoves = start;
    NumAddLines = 1;
    NumAddedeLines = 0;
    InitialNumMovesLeft = start;
    InitialNumBeginMoves = start;
    InitialNextNumBeginMoves = start;
    InitialNumAddLines = 1;
    InitialNumAddedeLines = 0;
}

void PuzzleMap::OnMiss() {
    NumMovesLeft -= 1;
    if (NumMovesLeft >= 0) {
        return;
    }
    // The ceiling comes down at once: from now on the top row hangs from it, so the slide
    // that moves every bubble down a row (and brings no new ones) drops nothing.
    NumMovesLeft = std::max(0, NumBeginMoves);
    SetCeilingRow(CeilingRow + 1);
    MapState = kRowStart;
}

void PuzzleMap::OnColourLost() {
    PlaySound(GameSound::kColourRemoved);
}
