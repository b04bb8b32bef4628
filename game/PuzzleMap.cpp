#include "PuzzleMap.h"

#include <algorithm>

#include "GameSound.h"
#include "gfx/TwAnimation.h"
#include "gfx/TwClip.h"

PuzzleMap::PuzzleMap(BubbleBanks& banks) : GameMap(banks) {}
PuzzleMap::PuzzleMap(BubbleBanks& banks, const FieldGeometry& geometry)
    : GameMap(banks, geometry) {}
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
    GameSound::Play(GameSound::kColourRemoved);
}

void PuzzleMap::Draw() {
    GameMap::Draw();
    if (CeilingRow <= 0) {
        return;
    }
    if (!ceiling_) {
        ceiling_ = std::make_unique<TwClip>();
        ceiling_->SetImage("Ceiling");
        ceiling_->SetAnimation(1, TwAnimation::Still, 1, 1);
    }
    const GameMap::Walls& walls = GetWalls();
    const float x = static_cast<float>(walls.leftX + walls.rightX) / 2.0f;
    // While the field slides down, the newest plate slides with it.
    const bool sliding = MapState == kRowSlide || MapState == kRowStart;
    const float lag = sliding ? static_cast<float>(1.0 - SlideProgress()) : 0.0f;
    for (int k = 0; k < CeilingRow; ++k) {
        const float y =
            CellToScreen(0, k).y -
            (k == CeilingRow - 1 ? lag * static_cast<float>(Geometry().Diameter()) : 0.0f);
        ceiling_->SetPosition(x, y, 0.0f);
        ceiling_->Draw();
    }
}
