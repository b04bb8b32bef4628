// GameMap: groups that no longer hang from the ceiling come loose, fall and burst one by one.
#include "BaseBubble.h"
#include "GameMap.h"
#include "GameSound.h"

namespace {

constexpr int kBurstInterval = 64; // ms between two falling bursts
} // namespace

void GameMap::MarkOccupiedCells() {
    supportGroup_.clear();
    grid_.Fill(ColourGrid::kEmpty);
    ForEachBubble([this](const BaseBubble&, int c, int k) { grid_.At(c, k) = 1; });
}

void GameMap::DropUnsupported() {
    MarkOccupiedCells();
    DetachFloatingGroups();
}

void GameMap::DetachFloatingGroups() {
    for (int c = 0; c < Columns(); ++c) {
        for (int k = 0; k < Rows(); ++k) {
            if (grid_.At(c, k) == ColourGrid::kEmpty) {
                continue;
            }
            supportGroup_.clear();
            const bool hanging = grid_.CollectSupport(c, k, supportGroup_);
            popTimer_ = -kBurstInterval;
            if (!hanging) {
                DetachGroup(supportGroup_);
            }
        }
    }
}

void GameMap::DetachGroup(const std::vector<TwCell>& group) {
    for (const TwCell& cell : group) {
        std::unique_ptr<BaseBubble>& bubble = cells_[cell.x][cell.y];
        if (!bubble) {
            continue;
        }
        const float speed =
            static_cast<float>(random_.Next()) / static_cast<float>(GameRandom::kMax) * 0.045f +
            0.09f;
        bubble->SetVelocity(TwVector(0.0f, speed, 0.0f));
        fallingList_.push_back(std::move(bubble));
        ++ShotDrops;
    }
}

void GameMap::BurstAndForget(std::unique_ptr<BaseBubble> bubble) {
    RemoveFromScene(*bubble);
    bubble->BurstInField(*this);
}

void GameMap::UpdateFalling(int elapsed) {
    popTimer_ += elapsed;
    for (auto& bubble : fallingList_) {
        bubble->PlaceAt(bubble->Position() + bubble->Velocity() * static_cast<float>(elapsed));
    }
    if (popTimer_ > kBurstInterval && !fallingList_.empty()) {
        popTimer_ = 0;
        burstSoundToggle_ = !burstSoundToggle_;
        if (burstSoundToggle_) {
            PlaySound(GameSound::kBallDelete);
        }
        std::unique_ptr<BaseBubble> bubble = std::move(fallingList_.front());
        fallingList_.erase(fallingList_.begin());
        BurstAndForget(std::move(bubble));
        AddScore(5);
    }
    if (fallingList_.empty()) {
        popTimer_ = kBurstInterval;
        if (RowPending) {
            RowPending = false;
            MapState = kRowStart;
        }
    }
}
