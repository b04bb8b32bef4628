// GameMap: the same-colour group around a landed bubble, bursting it, and the points it brings.
#include "BaseBubble.h"
#include "GameMap.h"
#include "GameSound.h"

void GameMap::ResolveMatch(int column, int row, int colour) {
    if (colour == ColourGrid::kNoMatchColour) {
        return;
    }
    matchList_.clear();
    grid_.Fill(ColourGrid::kEmpty);
    ForEachBubble(
        [this](const BaseBubble& bubble, int c, int k) { grid_.At(c, k) = bubble.Colour(); });
    grid_.CollectGroup(column, row, colour, matchList_);
    if (matchList_.size() >= 3) {
        ComboCount += 1;
        if (ComboCount >= 3) {
            TripleBonus += 25;
        }
        RemoveMatched();
        PlaySound(GameSound::kBallDelete);
        OnMatch();
    } else {
        ComboCount = 0;
        OnMiss();
    }
    CheckBottomRow();
}

void GameMap::RemoveMatched() {
    ShotBursts += static_cast<int>(matchList_.size());
    AddScore(static_cast<int>(matchList_.size()));
    for (const TwCell& cell : matchList_) {
        std::unique_ptr<BaseBubble>& bubble = cells_[cell.x][cell.y];
        if (!bubble) {
            continue;
        }
        bubble->BurstInField(*this);
        RemoveFromScene(*bubble);
        bubble.reset();
    }
    matchList_.clear();
    DropUnsupported();
}

void GameMap::AddScore(int count) {
    int points = 0;
    int step = 0;
    for (int i = 0; i < count; ++i) {
        if (i % 3 == 0) {
            step += 10;
        }
        points += step;
    }
    Score += points;
}
