#include "BubbleBanks.h"

#include <string>

#include "BaseBubble.h"
#include "BubbleDestroy.h"
#include "FieldGeometry.h"
#include "TwDrawList.h"
#include "data/TwLanguage.h"
#include "gfx/TwAnimation.h"
#include "platform/window/TwMessageBox.h"

namespace {
// Bubbles grow into view over nine frames in 256 ms; bursts play 16-frame strips.
constexpr int kBubbleTime = 256;
constexpr int kBubbleFrames = 9;
constexpr int kBurstTime = 512;
constexpr int kBurstFrames = 16;

std::unique_ptr<TwClip> MakeClip(const std::string& picture, int totalTime, int mode, int columns) {
    auto clip = std::make_unique<TwClip>();
    clip->SetImage(picture);
    clip->SetAnimation(totalTime, mode, columns, 1);
    return clip;
}
} // namespace

BubbleBanks::BubbleBanks() : scene_(std::make_unique<TwDrawList>()) {
    // Without pictures the prototypes still exist, so a field can run (tests, tools).
    shadow_ = std::make_unique<TwClip>();
    shadow_->SetAnimation(kBubbleTime, TwAnimation::Once, kBubbleFrames, 1);
    for (int c = 0; c < kColours; ++c) {
        bubbles_[c] = std::make_unique<BaseBubble>();
        bubbles_[c]->SetAnimation(kBubbleTime, TwAnimation::Once, kBubbleFrames, 1);
        bubbles_[c]->SetColour(c);
        bubbles_[c]->SetShadow(shadow_.get());
        bubbles_[c]->SetBanks(this);
        bursts_[c] = std::make_unique<BubbleDestroy>();
        bursts_[c]->SetAnimation(kBurstTime, TwAnimation::Still, kBurstFrames, 1);
        bursts_[c]->Init("None");
    }
    for (int i = 0; i < kMoveSymbols; ++i) {
        moves_[i] = std::make_unique<TwClip>();
        moves_[i]->SetAnimation(1, TwAnimation::Still, 1, 1);
    }
}

BubbleBanks::~BubbleBanks() = default;

void BubbleBanks::Build() {
    scene_->Clear();
    shadow_->SetImage("Bubbles/Shadow");
    shadow_->SetAnimation(kBubbleTime, TwAnimation::Once, kBubbleFrames, 1);

    for (int c = 0; c < kColours; ++c) {
        BaseBubble& bubble = *bubbles_[c];
        bubble.SetImage("Bubbles/" + std::to_string(c));
        if (bubble.Width() <= 0) {
            TwShowErrorMessage(TwLanguage::Instance().GetBoxText(
                "BubblesMissing", "Error Loading Bubbles.#The pictures of the bubbles are "
                                  "missing. Reinstall the game to repair it."));
        }
        bubble.SetAnimation(kBubbleTime, TwAnimation::Once, kBubbleFrames, 1);
        bubble.SetColour(c);
        bubble.SetShadow(shadow_.get());
        // The picture is a strip of nine frames; a bubble is one frame wide.
        if (bubble.CellWidth() > 0) {
            FieldGeometry::Shared().radius = bubble.CellWidth() / 2;
        }
    }

    for (int c = 0; c < kColours; ++c) {
        auto burst = std::make_unique<BubbleDestroy>();
        burst->SetImage("ExpBubbles/" + std::to_string(c));
        burst->SetAnimation(kBurstTime, TwAnimation::Still, kBurstFrames, 1);
        burst->Init("None");
        for (int strip = 0; strip < 2; ++strip) {
            burst->AddExtraClip(
                MakeClip("ExpBubbles/" + std::to_string(c) + "/" + std::to_string(strip),
                         kBurstTime, TwAnimation::Still, kBurstFrames));
        }
        bursts_[c] = std::move(burst);
    }

    for (int i = 0; i < kMoveSymbols; ++i) {
        moves_[i] = MakeClip("Moves/" + std::to_string(i), 1, TwAnimation::Still, 1);
    }
}

const BaseBubble* BubbleBanks::BubblePrototype(int colour) const {
    return colour >= 0 && colour < kColours ? bubbles_[colour].get() : nullptr;
}

const BubbleDestroy* BubbleBanks::BurstPrototype(int colour) const {
    return colour >= 0 && colour < kColours ? bursts_[colour].get() : nullptr;
}

TwClip* BubbleBanks::MovesClip(int index) const {
    return index >= 0 && index < kMoveSymbols ? moves_[index].get() : nullptr;
}

std::unique_ptr<BaseBubble> BubbleBanks::NewBubble(int colour) const {
    const BaseBubble* prototype = BubblePrototype(colour);
    return prototype != nullptr ? std::make_unique<BaseBubble>(*prototype) : nullptr;
}

std::unique_ptr<BubbleDestroy> BubbleBanks::NewBurst(int colour) const {
    const BubbleDestroy* prototype = BurstPrototype(colour);
    return prototype != nullptr ? std::make_unique<BubbleDestroy>(*prototype) : nullptr;
}
