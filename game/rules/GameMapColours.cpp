// GameMap: which colours are still in the field, the random colour of a new bubble, and the
// checks for an empty field and a full last row.
#include "BaseBubble.h"
#include "GameMap.h"
#include "GameSound.h"

void GameMap::RecountColours() {
    const std::size_t before = ColourSet.size();
    ColourSet.clear();
    ForEachBubble([this](const BaseBubble& bubble, int, int) {
        if (bubble.Colour() >= 0 && bubble.Colour() < kColourCount) {
            ColourSet.insert(bubble.Colour());
        }
    });
    if (ColourSet.size() != before && MapState != kIntro) {
        OnColourLost();
    }
}

void GameMap::OnColourLost() {
    PlaySound(GameSound::kColourRemoved);
    NumBeginMoves -= 1;
    NumAddLines += 1;
    RowPending = true;
}

int GameMap::PickColour() const {
    // The smallest present colour is chosen for m = 0 and m = 1, so it comes up twice as
    // often as each of the others.
    const int n = static_cast<int>(ColourSet.size());
    const int m = random_.Next() % (n + 1);
    int i = 0;
    for (int colour : ColourSet) {
        ++i;
        if (i >= m) {
            return colour;
        }
    }
    return kNoColour;
}

bool GameMap::ColourPresent(int colour) const {
    bool found = false;
    ForEachBubble([&](const BaseBubble& bubble, int, int) { found |= bubble.Colour() == colour; });
    return found;
}

bool GameMap::IsEmpty() const {
    return BubbleCount() == 0;
}

bool GameMap::RowEmpty(int row) const {
    if (row < 0 || row >= kMaxCells) {
        return true;
    }
    for (int c = 0; c < Columns(); ++c) {
        if (cells_[c][row]) {
            return false;
        }
    }
    return true;
}

bool GameMap::CheckBottomRow() {
    if (RowEmpty(Rows() - 1)) {
        return false;
    }
    state_ = PlayState::kLost;
    MapState = kReady;
    return true;
}
