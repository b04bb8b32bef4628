#include "Launcher.h"

#include <algorithm>
#include <cmath>

#include "BaseBubble.h"
#include "GameMap.h"
#include "GameSound.h"
#include "TwDrawList.h"
#include "gfx/TwGeometry.h"

namespace {
constexpr float kAimReach = 1024.0f;
constexpr float kScreenBottom = 600.0f;
constexpr float kRecoilKick = 12.0f;   // the curve peaks at half of it
constexpr float kRecoilRate = 0.0075f; // 133 ms for the whole kick
constexpr float kMuzzle = 31.0f;       // loaded bubble's distance from the launcher centre

// Bubble colours as the cursor shows them.
constexpr std::uint32_t kTints[] = {0x8C9AE8, 0xFF9169, 0x63CE5B, 0xFFF223, 0xE68DD5, 0xFFFFFF};
} // namespace

Launcher::Launcher() = default;

Launcher::~Launcher() {
    DropLoaded();
    if (field_ != nullptr && field_->GetLauncher() == this) {
        field_->SetLauncher(nullptr);
    }
}

void Launcher::Reset() {
    DropLoaded();
    flying_ = false;
    recoilActive_ = false;
    rest_ = TwVector(400.0f, 570.0f, 0.0f);
    position_ = rest_;
}

std::uint32_t Launcher::ColourTint(int colour) {
    const std::uint32_t rgb = (colour >= 0 && colour < 6) ? kTints[colour] : 0xFFFFFFu;
    return 0xFF000000u | rgb;
}

TwVector Launcher::Position() const {
    return position_;
}

void Launcher::DropLoaded() {
    if (loaded_ && field_ != nullptr && field_->Scene() != nullptr) {
        field_->Scene()->Remove(loaded_.get());
    }
    loaded_.reset();
}

void Launcher::SetLoaded(std::unique_ptr<BaseBubble> bubble) {
    DropLoaded();
    loaded_ = std::move(bubble);
}

std::unique_ptr<BaseBubble> Launcher::TakeLoaded() {
    return std::move(loaded_);
}

bool Launcher::MayAct() const {
    return loaded_ && field_ != nullptr && field_->MapState == GameMap::kReady &&
           !field_->RowPending;
}

void Launcher::HandleInput(int, int button, int messageId, const TwVector& position, int) {
    if (messageId == kMouseMove && !Aim(position)) {
        return;
    }
    if (!MayAct()) {
        return;
    }
    if (button == kLeftReleased) {
        Fire();
    } else if (button == kRightReleased) {
        Swap();
    }
}

bool Launcher::Aim(const TwVector& mouse) {
    const TwVector k = Position();
    if (mouse.y >= k.y) {
        return false;
    }
    TwVector direction = NormaliseOrKeep(TwVector(mouse.x - k.x, mouse.y - k.y, 0.0f));
    if (field_ == nullptr) {
        direction_ = direction;
        return false;
    }
    const GameMap::Walls& walls = field_->GetWalls();
    const TwVector reach = k + direction * kAimReach;
    const float left = static_cast<float>(walls.leftX);
    const float right = static_cast<float>(walls.rightX);
    const float top = static_cast<float>(walls.topY);
    TwVector leftHit;
    TwVector rightHit;
    const bool hitsLeft =
        TwSegmentsIntersect(k, reach, TwVector(left, top), TwVector(left, kScreenBottom), &leftHit);
    const bool hitsRight = TwSegmentsIntersect(k, reach, TwVector(right, top),
                                               TwVector(right, kScreenBottom), &rightHit);
    if (hitsLeft && leftHit.y > kLowestWallAim) {
        direction = NormaliseOrKeep(TwVector(left - k.x, kLowestWallAim - k.y, 0.0f));
    }
    if (hitsRight && rightHit.y > kLowestWallAim) {
        direction = NormaliseOrKeep(TwVector(right - k.x, kLowestWallAim - k.y, 0.0f));
    }
    direction_ = direction;
    return hitsLeft || hitsRight;
}

bool Launcher::Fire() {
    if (!CanFire()) {
        return false;
    }
    if (actionSink_) {
        actionSink_(Action::kFire);
    }
    // The shot leaves from the muzzle even when the bubble was loaded or swapped in since the
    // last frame was drawn (a swap and a shot in one frame); the route starts where it is.
    PlaceLoadedBubble();
    reloadRemaining_ = reloadTime_;
    if (field_->Scene() != nullptr) {
        field_->Scene()->AddOnTop(loaded_.get(), false);
    }
    loaded_->rotation = 0.0f;
    recoilPoint_ = rest_ - direction_ * kRecoilKick;
    recoilProgress_ = 0.0f;
    recoilActive_ = true;
    field_->ComputePath();
    field_->PlaySound(GameSound::kFireBall);
    flying_ = true;
    return true;
}

bool Launcher::Swap() {
    if (!MayAct() || flying_) {
        return false;
    }
    BaseBubble* next = field_->NextBubble();
    if (next == nullptr || next->Colour() == loaded_->Colour()) {
        return false;
    }
    if (actionSink_) {
        actionSink_(Action::kSwap);
    }
    next->RestartAppearing();
    loaded_->RestartAppearing();
    std::unique_ptr<BaseBubble> waiting = field_->TakeNextBubble();
    field_->SetNextBubble(std::move(loaded_));
    loaded_ = std::move(waiting);
    field_->PlaySound(GameSound::kSwap);
    return true;
}

void Launcher::Update(int elapsedMs) {
    if (loaded_) {
        reloadRemaining_ = std::max(0, reloadRemaining_ - elapsedMs);
        loaded_->Update(elapsedMs);
    }
    if (!recoilActive_) {
        return;
    }
    recoilProgress_ += static_cast<float>(elapsedMs) * kRecoilRate;
    if (recoilProgress_ > 1.0f) {
        recoilActive_ = false;
        recoilProgress_ = 0.0f;
        position_ = rest_;
        return;
    }
    // Quadratic curve from the rest position through the recoil point and back.
    const float p = recoilProgress_;
    const float q = 1.0f - p;
    position_ = rest_ * (q * q) + recoilPoint_ * (2.0f * q * p) + rest_ * (p * p);
}

TwVector Launcher::Muzzle() const {
    return Position() + NormaliseOrKeep(direction_) * kMuzzle;
}

void Launcher::PlaceLoadedBubble() {
    if (!loaded_ || flying_) {
        return;
    }
    const TwVector direction = NormaliseOrKeep(direction_);
    loaded_->rotation = std::acos(std::clamp(direction.x, -1.0f, 1.0f));
    loaded_->PlaceAt(Muzzle());
}
