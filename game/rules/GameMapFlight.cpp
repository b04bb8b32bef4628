// GameMap: the shot in flight along its route, the bubbles it shakes on the way, and its
// landing in the target cell.
#include <cmath>

#include "BaseBubble.h"
#include "FieldMath.h"
#include "GameMap.h"
#include "GameSound.h"
#include "Launcher.h"
#include "TwDrawList.h"

using FieldMath::Distance;
using FieldMath::Flat;

namespace {
constexpr double kFlightRate = 0.003; // with 300 / length: 0.9 pixels per millisecond
} // namespace

bool GameMap::AdvanceFlight(int elapsed) {
    BaseBubble* bubble = launcher_ != nullptr ? launcher_->Loaded() : nullptr;
    if (bubble == nullptr || flightPath_.size() < 2) {
        return true;
    }
    const TwVector first = flightPath_[0];
    const TwVector second = flightPath_[1];
    const double length = Distance(first, second);
    if (!segmentStarted_) {
        flightRate_ = length > 1e-6 ? 300.0 / length : 0.0;
        segmentStarted_ = true;
    }
    flightProgress_ += elapsed * kFlightRate * flightRate_;
    bool finished = length <= 1e-6; // a zero-length leg is over at once
    if (flightProgress_ > 1.0 || finished) {
        flightProgress_ = 1.0;
        finished = true;
        if (flightPath_.size() > 2) {
            const float nearWall = 1.0625f * static_cast<float>(Radius());
            if (std::fabs(second.x - static_cast<float>(walls_.leftX)) < nearWall) {
                PlaySound(GameSound::kHitWall);
            }
            if (std::fabs(second.x - static_cast<float>(walls_.rightX)) < nearWall) {
                PlaySound(GameSound::kHitWall);
            }
        }
    }
    bubble->SetPreviousPosition(bubble->Position());
    bubble->PlaceAt(first + (second - first) * static_cast<float>(flightProgress_));
    if (!finished) {
        return false;
    }
    segmentStarted_ = false;
    flightProgress_ = 0.0;
    if (flightPath_.size() == 2) {
        return true;
    }
    flightPath_.erase(flightPath_.begin());
    return false;
}

void GameMap::NudgeAlongFlight() {
    BaseBubble* flying = launcher_ != nullptr ? launcher_->Loaded() : nullptr;
    if (flying == nullptr) {
        return;
    }
    const TwVector source = flying->Position();
    ForEachBubble([&](BaseBubble& bubble, int, int) {
        const float e = Distance(Flat(bubble.Position()), Flat(source));
        if (e < 40.0f) {
            bubble.Push(source, 16.0);
        } else if (e < 50.0f) {
            bubble.Push(source, 12.0);
        } else if (e < 60.0f) {
            bubble.Push(source, 8.0);
        }
    });
}

void GameMap::Land() {
    if (launcher_ == nullptr || launcher_->Loaded() == nullptr) {
        return;
    }
    BaseBubble& bubble = *launcher_->Loaded();
    // It shakes along the direction it arrived from.
    bubble.SetRestPosition(bubble.Position());
    bubble.Push(TwVector(), 8.0);
    bubble.SetPushDirection(NormaliseOrKeep(bubble.Position() - bubble.PreviousPosition()));
    if (scene_ != nullptr) {
        scene_->ClearTop(&bubble);
    }
    PlaySound(GameSound::kStopBall);

    if (InField(targetCell_) && !cells_[targetCell_.x][targetCell_.y]) {
        const TwCell cell = targetCell_;
        const int colour = bubble.Colour();
        bubble.PlaceAt(CellToScreen(cell.x, cell.y));
        cells_[cell.x][cell.y] = launcher_->TakeLoaded();
        ResolveMatch(cell.x, cell.y, colour);
        DropUnsupported();
        if (IsEmpty()) {
            launcher_->Reset();
            MapState = kCleared;
            state_ = PlayState::kCleared;
            return;
        }
        LoadLauncher();
    } else {
        // Nowhere to go (every cell taken): the bubble goes back to the launcher.
        RemoveFromScene(bubble);
    }
    DropUnsupported();
    launcher_->SetFlying(false);
}
