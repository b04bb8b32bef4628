// The menu screen's decorative launcher in the corner: it turns towards the mouse, a left
// click on empty space fires its bubble (which bursts at the end of a short flight), a right
// click swaps its two bubbles. Also the screen's input, update and drawing around it.
#include <algorithm>
#include <cmath>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "BubbleDestroy.h"
#include "GameControl.h"
#include "GameSoundPlayer.h"
#include "MenuGui.h"
#include "gfx/TwClip.h"
#include "gfx/TwScreenSize.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwRand.h"

namespace {

// The decorative launcher: where the bubbles sit and leave relative to its centre, the
// frame that shows a whole bubble, and how fast and how long fired bubbles fly.
constexpr float kMuzzleDistance = 43.0f;
constexpr float kLoadedDistance = 32.0f;
constexpr float kWaitingDistance = 6.0f;
constexpr int kWholeBubbleFrame = 8;
constexpr float kMoveScale = 0.1f;
constexpr int kMinLifeMs = 400;
constexpr int kLifeSpreadMs = 201;
constexpr float kPopDepth = 16.0f;

TwVector Normalised(const TwVector& v) {
    const float length = v.Length();
    return length > 0.0f ? v / length : v;
}

bool OffScreen(const TwVector& p) {
    const TwScreenSize& screen = TwScreenSize::Instance();
    return p.x < 0.0f || p.y < 0.0f || p.x > static_cast<float>(screen.width) ||
           p.y > static_cast<float>(screen.height);
}

} // namespace

BubbleBanks* MenuGui::Banks() const {
    return game_ != nullptr ? game_->Banks() : nullptr;
}

std::unique_ptr<BaseBubble> MenuGui::RandomBubble() const {
    const BubbleBanks* banks = Banks();
    if (banks == nullptr) {
        return nullptr;
    }
    std::vector<int> colours;
    for (int colour = 0; colour < BubbleBanks::kColours; ++colour) {
        if (banks->BubblePrototype(colour) != nullptr) {
            colours.push_back(colour);
        }
    }
    if (colours.empty()) {
        return nullptr;
    }
    const int pick = colours[static_cast<std::size_t>(TwRand()) % colours.size()];
    return banks->NewBubble(pick);
}

void MenuGui::RefillLauncher() {
    if (!currentBubble_) {
        currentBubble_ = RandomBubble();
    }
    if (!nextBubble_) {
        nextBubble_ = RandomBubble();
    }
}

bool MenuGui::HandleInput(TwInputEvent& input) {
    aim_ = Normalised(TwVector{input.eventX, input.eventY, 0.0f} - LauncherPosition());
    if (input.button == TwInputEvent::kRightReleased && currentBubble_ && nextBubble_ &&
        currentBubble_->Colour() != nextBubble_->Colour()) {
        std::swap(currentBubble_, nextBubble_);
        GameSoundPlayer::Play(GameSound::kSwap);
    }
    const bool fired = input.button == TwInputEvent::kLeftReleased;
    const bool handled = TwEventListener::HandleInput(input);
    if (!handled && fired) {
        Fire();
    }
    return handled;
}

void MenuGui::Fire() {
    RefillLauncher();
    if (!currentBubble_) {
        return;
    }
    const float speed = static_cast<float>(TwRand()) / 32767.0f * 6.0f + 6.0f;
    FlyingBubble shot;
    shot.bubble = std::move(currentBubble_);
    shot.bubble->PlaceAt(LauncherPosition() + aim_ * kMuzzleDistance);
    shot.bubble->SetVelocity(aim_ * speed);
    shot.bubble->SetFrame(kWholeBubbleFrame);
    shot.lifeMs = kMinLifeMs + TwRand() % kLifeSpreadMs;
    flyingBubbles_.push_back(std::move(shot));
    currentBubble_ = std::move(nextBubble_);
    nextBubble_ = RandomBubble();
}

// A fired bubble bursts where it is when its time is up or it leaves the screen.
void MenuGui::Pop(const BaseBubble& bubble) {
    const BubbleBanks* banks = Banks();
    std::unique_ptr<BubbleDestroy> burst = banks ? banks->NewBurst(bubble.Colour()) : nullptr;
    if (!burst) {
        return;
    }
    const TwVector where = bubble.Position();
    burst->SetPosition(where.x, where.y, kPopDepth);
    burst->emitPosition = TwVector{where.x, where.y, kPopDepth};
    burst->Emit(TwRand() % 7 + 2);
    poppingBubbles_.push_back(std::move(burst));
    GameSoundPlayer::Play(GameSound::kBallDelete);
}

void MenuGui::MoveFlyingBubbles(int elapsedMs) {
    for (FlyingBubble& shot : flyingBubbles_) {
        BaseBubble& bubble = *shot.bubble;
        bubble.PlaceAt(bubble.Position() +
                       bubble.Velocity() * (kMoveScale * static_cast<float>(elapsedMs)));
        shot.lifeMs -= elapsedMs;
    }
    // The bubbles still flying close up in place, in their order.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < flyingBubbles_.size(); ++i) {
        FlyingBubble& shot = flyingBubbles_[i];
        if (shot.lifeMs <= 0 || OffScreen(shot.bubble->Position())) {
            Pop(*shot.bubble);
        } else {
            if (kept != i) {
                flyingBubbles_[kept] = std::move(shot);
            }
            ++kept;
        }
    }
    flyingBubbles_.erase(flyingBubbles_.begin() + static_cast<std::ptrdiff_t>(kept),
                         flyingBubbles_.end());
}

void MenuGui::Update(int elapsedMs) {
    TwEventListener::Update(elapsedMs);
    MoveFlyingBubbles(elapsedMs);
    for (auto& pop : poppingBubbles_) {
        pop->Update(elapsedMs);
    }
    std::erase_if(poppingBubbles_, [](const auto& pop) { return pop->state == TwClip::Finished; });
}

void MenuGui::Draw() {
    UpdateWelcomeCaption();
    TwEventListener::Draw();

    aim_ = Normalised(aim_);
    if (launcher_) {
        const float turn = std::acos(std::clamp(-aim_.y, -1.0f, 1.0f));
        launcher_->rotation = aim_.x > 0.0f ? -turn : turn;
    }
    RefillLauncher();
    if (nextBubble_) {
        nextBubble_->SetFrame(kWholeBubbleFrame);
        nextBubble_->PlaceAt(LauncherPosition() - aim_ * kWaitingDistance);
        nextBubble_->Draw();
    }
    if (launcher_) {
        launcher_->Draw();
    }
    if (currentBubble_) {
        currentBubble_->SetFrame(kWholeBubbleFrame);
        currentBubble_->PlaceAt(LauncherPosition() + aim_ * kLoadedDistance);
        currentBubble_->Draw();
    }
    for (const FlyingBubble& shot : flyingBubbles_) {
        shot.bubble->Draw();
    }
    for (const auto& pop : poppingBubbles_) {
        pop->Draw();
    }
}
