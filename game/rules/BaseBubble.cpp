#include "BaseBubble.h"

#include <cmath>

#include "BubbleBanks.h"
#include "BubbleDestroy.h"
#include "GameMap.h"
#include "TwDrawList.h"
#include "platform/os/TwRand.h"

namespace {
constexpr double kHandOnPhase = 1.5707963267948966; // a quarter swing
constexpr double kRepushPhase = 6.0;                // a shake younger than this ignores new pushes
constexpr double kEndPhase = 16.0;                  // 1280 ms at the usual phase rate
constexpr float kHandOnDistance = 40.0f;
constexpr float kShadowAlpha = 80.0f;
constexpr float kBurstDepth = 16.0f; // effects draw over the bubbles
} // namespace

TwVector NormaliseOrKeep(const TwVector& v) {
    const float length = v.Length();
    if (length <= 1e-8f) {
        return v;
    }
    return v / length;
}

BaseBubble::BaseBubble(const BaseBubble& prototype)
    : TwClip(prototype), colour_(prototype.colour_), shadow_(prototype.shadow_),
      banks_(prototype.banks_) {}

std::unique_ptr<TwClip> BaseBubble::Clone() const {
    return std::make_unique<BaseBubble>(*this);
}

void BaseBubble::Draw() {
    if (shadow_ != nullptr) {
        shadow_->SetTint(255.0f, 255.0f, 255.0f, kShadowAlpha);
        shadow_->SetPosition(x, y, z);
        shadow_->SetFrame(Frame());
        shadow_->Draw();
    }
    TwClip::Draw();
}

void BaseBubble::Burst() {
    if (banks_ == nullptr) {
        return;
    }
    std::unique_ptr<BubbleDestroy> effect = banks_->NewBurst(colour_);
    if (!effect) {
        return;
    }
    effect->tag = 1;
    effect->SetPosition(x, y, kBurstDepth);
    effect->emitPosition = TwVector(x, y, z);
    effect->Emit(TwRand() % 7 + 2);
    banks_->Scene().AddOnTop(std::move(effect), true);
}

void BaseBubble::BurstInField(GameMap&) {
    Burst();
}

void BaseBubble::Push(const TwVector& source, double amplitude) {
    if (wobbleState_ != kStill && phase_ < kRepushPhase) {
        return;
    }
    pushSource_ = source;
    amplitude_ = amplitude;
    phase_ = 0.0;
    wobbleBase_ = rest_;
    phaseRate_ = 0.0125;
    pushDirection_ = NormaliseOrKeep(Position() - source);
    wobbleState_ = kPushed;
}

void BaseBubble::UpdateWobble(int elapsedMs, GameMap& field) {
    if (wobbleState_ == kPushed) {
        wobbleState_ = kMoving;
    }
    if (wobbleState_ != kMoving) {
        return;
    }
    if (phase_ > kHandOnPhase && !handedOn_) {
        handedOn_ = true;
        const TwVector here = Position();
        field.ForEachBubble([&](BaseBubble& other, int, int) {
            if (&other != this && (other.Position() - here).Length() < kHandOnDistance) {
                other.Push(pushSource_, amplitude_ * 0.5);
            }
        });
    }
    phase_ += elapsedMs * phaseRate_;
    const double swing = std::sin(phase_) * std::sqrt(1.0 - std::tanh(phase_ / 5.0)) * amplitude_;
    wobbleOffset_ = pushDirection_ * static_cast<float>(swing);
    PlaceAt(wobbleBase_ + wobbleOffset_);
    if (phase_ > kEndPhase) {
        wobbleState_ = kStill;
        handedOn_ = false;
    }
}
