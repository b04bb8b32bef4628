#include "AimGuide.h"

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "FieldMath.h"
#include "Launcher.h"
#include "gfx/TwClip.h"

namespace {
// The dots start clear of the loaded bubble and stop short of the ghost.
constexpr float kClearOfMuzzle = 24.0f;
} // namespace

AimGuide::AimGuide() = default;
AimGuide::~AimGuide() = default;

bool AimGuide::Applies(const GameMap& field, const Launcher& launcher) {
    return launcher.Loaded() != nullptr && !launcher.Flying() &&
           field.MapState == GameMap::kReady && !field.RowPending;
}

TwClip* AimGuide::ClipOf(const GameMap& field, int colour) {
    if (colour < 0 || colour >= GameMap::kColourCount) {
        return nullptr;
    }
    if (!clips_[colour]) {
        const BaseBubble* prototype = field.Banks().BubblePrototype(colour);
        if (prototype == nullptr) {
            return nullptr;
        }
        clips_[colour] = std::make_unique<TwClip>(*prototype);
        clips_[colour]->SetFrame(clips_[colour]->Animation().frameCount - 1);
    }
    return clips_[colour].get();
}

void AimGuide::Draw(GameMap& field, const Launcher& launcher) {
    route_ = field.PredictRoute(launcher.Muzzle(), launcher.Direction());
    TwClip* clip = ClipOf(field, launcher.Loaded() != nullptr ? launcher.Loaded()->Colour() : -1);
    if (clip == nullptr || !field.InField(route_.target) || route_.path.size() < 2) {
        return;
    }
    const TwVector goal = field.CellToScreen(route_.target.x, route_.target.y);
    const float stopShort = static_cast<float>(field.Radius());

    clip->scale = kDotScale;
    clip->SetTint(255.0f, 255.0f, 255.0f, kDotAlpha);
    float travelled = 0.0f;
    float nextDot = kClearOfMuzzle;
    for (std::size_t i = 1; i < route_.path.size(); ++i) {
        const TwVector a = FieldMath::Flat(route_.path[i - 1]);
        const TwVector b = FieldMath::Flat(route_.path[i]);
        const float length = FieldMath::Distance(a, b);
        while (length > 0.0f && nextDot <= travelled + length) {
            const TwVector at = a + (b - a) * ((nextDot - travelled) / length);
            if (FieldMath::Distance(at, goal) < stopShort) {
                break;
            }
            clip->SetPosition(at.x, at.y, 0.0f);
            clip->Draw();
            nextDot += kDotSpacing;
        }
        travelled += length;
    }

    clip->scale = 1.0f;
    clip->SetTint(255.0f, 255.0f, 255.0f, kGhostAlpha);
    clip->SetPosition(goal.x, goal.y, 0.0f);
    clip->Draw();
}
