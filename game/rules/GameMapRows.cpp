// GameMap: the pacing counters that bring a new row, the colour-by-colour reveal of a fresh
// field, and a row pushed in from the top (start, slide, settle).
#include <algorithm>

#include "BaseBubble.h"
#include "GameMap.h"
#include "GameSound.h"
#include "TwDrawList.h"

namespace {
constexpr double kSlideRate = 0.0025; // a row slides in over 400 ms
} // namespace

void GameMap::OnMiss() {
    NumMovesLeft -= 1;
    AdvanceRowCounter();
}

void GameMap::AdvanceRowCounter() {
    // The counter normally runs 5, 4, ... 0 and the step below 0 brings a row. Once lost
    // colours have worn the refill value down to nothing, a row comes with every step
    // instead of the counter running away below 0 and never bringing a row again.
    if (NumMovesLeft >= 0) {
        return;
    }
    MapState = kRowStart;
    if (NextNumBeginMoves <= 0) {
        NextNumBeginMoves = NumBeginMoves;
    }
    NumMovesLeft = std::max(0, NextNumBeginMoves);
    NextNumBeginMoves -= 1;
}

// ---------------------------------------------------------------------------------------
// Intro reveal and rows

bool GameMap::UpdateIntro(int elapsed) {
    RowPending = false;
    if (!revealOrderBuilt_) {
        revealOrder_.clear();
        for (int colour = 0; colour < kColourCount; ++colour) {
            if (ColourPresent(colour)) {
                revealOrder_.push_back(colour);
            }
        }
        const int length = static_cast<int>(revealOrder_.size());
        for (int j = 0; j < length; ++j) {
            std::swap(revealOrder_[j], revealOrder_[j + random_.Next() % (length - j)]);
        }
        revealOrderBuilt_ = true;
    }
    if (revealOrder_.empty()) {
        return true;
    }
    const int colour = revealOrder_.back();
    const int step = static_cast<int>(elapsed * 2.5);
    bool allShown = true;
    ForEachBubble([&](BaseBubble& bubble, int, int) {
        if (bubble.Colour() != colour) {
            return;
        }
        bubble.AdvanceAppearing(step);
        allShown &= bubble.HasAppeared();
    });
    if (!allShown) {
        return false;
    }
    PlaySound(GameSound::kColourRevealed);
    revealOrder_.pop_back();
    return revealOrder_.empty();
}

void GameMap::RowStart() {
    slideProgress_ = 0.0;
    for (int k = Rows() - 1; k >= 0; --k) {
        for (int c = 0; c < Columns(); ++c) {
            if (BaseBubble* bubble = cells_[c][k].get()) {
                bubble->SetSlide(bubble->Position(), CellToScreen(c, k + 1));
            }
        }
    }
    for (int c = 0; c < Columns(); ++c) {
        if (incomingRow_[c]) {
            RemoveFromScene(*incomingRow_[c]);
        }
        incomingRow_[c] = FillsIncomingRow() ? CreateBubble(c, 0) : nullptr;
    }
    PlaySound(GameSound::kLineFall);
}

bool GameMap::RowSlide(int elapsed) {
    if (scene_ != nullptr) {
        scene_->RequestSort();
    }
    slideProgress_ += elapsed * kSlideRate;
    const bool finished = slideProgress_ > 1.0;
    if (finished) {
        slideProgress_ = 1.0;
    }
    const float progress = static_cast<float>(slideProgress_);
    ForEachBubble([progress](BaseBubble& bubble, int, int) {
        const TwVector point =
            bubble.SlideFrom() + (bubble.SlideTo() - bubble.SlideFrom()) * progress;
        bubble.SetRestPosition(point);
        bubble.SetWobbleBase(point);
        bubble.PlaceAt(point + bubble.WobbleOffset());
    });
    if (slideProgress_ > 0.5) {
        // The new row grows in during the second half of the slide.
        const double growth = (slideProgress_ - 0.5) * 2.0;
        for (auto& bubble : incomingRow_) {
            if (bubble) {
                bubble->SetSlide(bubble->Position(), bubble->SlideTo());
                bubble->SetFrame(static_cast<int>(growth * (bubble->FrameCount() - 1)));
            }
        }
    }
    if (!finished) {
        return false;
    }
    CheckBottomRow();
    for (int c = 0; c < Columns(); ++c) {
        // Whatever sat in the last row has already ended the game; it is not kept.
        if (cells_[c][Rows() - 1]) {
            RemoveFromScene(*cells_[c][Rows() - 1]);
            cells_[c][Rows() - 1].reset();
        }
        for (int k = Rows() - 1; k >= 1; --k) {
            cells_[c][k] = std::move(cells_[c][k - 1]);
        }
    }
    // The former top row, now row 1, still holds on to the ceiling until the new row takes
    // its place; only what the changed row parity has cut off falls now.
    MarkOccupiedCells();
    for (int c = 0; c < Columns(); ++c) {
        if (cells_[c][1]) {
            grid_.At(c, 0) = 1;
        }
    }
    DetachFloatingGroups();
    MapState = kRowSettle;
    CheckBottomRow();
    return true;
}

void GameMap::RowSettle() {
    for (int c = 0; c < Columns(); ++c) {
        if (incomingRow_[c]) {
            PlaceBubble(c, 0, std::move(incomingRow_[c]));
        }
    }
    MapState = kReady;
    DropUnsupported();
    CheckBottomRow();
    NumAddedeLines += 1;
    if (NumAddedeLines < NumAddLines) {
        MapState = kRowStart;
    } else {
        NumAddedeLines = 0;
    }
}
