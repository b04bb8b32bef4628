#include "BubbleDestroy.h"

#include <algorithm>

#include "platform/os/TwRand.h"

namespace {
constexpr int kSharedStripFragments = 3;
}

BubbleDestroy::BubbleDestroy(const BubbleDestroy& other) : TwBound(other) {
    for (std::size_t i = 0; i < extra_.size(); ++i) {
        if (other.extra_[i]) {
            extra_[i] = other.extra_[i]->Clone();
        }
    }
}

bool BubbleDestroy::Init(const std::string&) {
    minLife = 384;
    maxLife = 896;
    minVelocity = TwVector(-0.125f, -0.125f, 0.0f);
    maxVelocity = TwVector(0.125f, 0.125f, 0.0f);
    const float gravity =
        0.0005f + static_cast<float>(TwRand()) / static_cast<float>(TW_RAND_MAX) * 0.0005f;
    minAcceleration = TwVector(0.0f, 0.0f, 0.0f);
    maxAcceleration = TwVector(0.0f, gravity, 0.0f);
    continuous = 0;
    return true;
}

void BubbleDestroy::Emit(int n) {
    const int first = count_;
    TwBound::Emit(n);
    for (int i = first; i < count_; ++i) {
        TwParticle& p = particles_[i];
        p.colour = TwParticle::Colour{255.0f, 255.0f, 255.0f, 255.0f};
        p.colourRate = TwParticle::Colour{0.0f, 0.0f, 0.0f, 0.0f};
        p.choice = -1;
    }
    const int shared = TwRand() % 2;
    for (int i = 0; i < kSharedStripFragments; ++i) {
        particles_[i].choice = shared;
    }
}

void BubbleDestroy::AddExtraClip(std::unique_ptr<TwClip> clip) {
    for (auto& slot : extra_) {
        if (!slot) {
            slot = std::move(clip);
            return;
        }
    }
}

TwClip* BubbleDestroy::ExtraClip(int index) const {
    if (index < 0 || index >= static_cast<int>(extra_.size())) {
        return nullptr;
    }
    return extra_[index].get();
}

TwClip& BubbleDestroy::ClipFor(int choice) {
    TwClip* extra = ExtraClip(choice);
    return extra != nullptr ? *extra : static_cast<TwClip&>(*this);
}

void BubbleDestroy::Draw() {
    if (state == Finished) {
        return;
    }
    for (int i = 0; i < count_; ++i) {
        const TwParticle& p = particles_[i];
        TwClip& clip = ClipFor(p.choice);
        clip.SetTint(p.colour.red, p.colour.green, p.colour.blue, p.colour.alpha);
        clip.rotation = p.rotation;
        clip.SetFrame(p.frame);
        clip.SetPosition(p.position.x, p.position.y, p.position.z);
        // The effect's own strip is drawn as a plain clip, not as a whole effect again.
        clip.TwClip::Draw();
    }
}
