#include "FieldPainter.h"

#include <algorithm>
#include <cmath>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "GameMap.h"
#include "Launcher.h"
#include "TwDrawList.h"
#include "gfx/TwAnimation.h"
#include "gfx/TwClip.h"
#include "gfx/TwScreenSize.h"

namespace {

// Where the moves indicator shows its symbols, left to right.
constexpr TwPoint kMoveSymbolPlaces[] = {
    {562, 560}, {585, 548}, {611, 543}, {638, 545}, {662, 539}};

std::unique_ptr<TwClip> StillClip(const std::string& picture) {
    auto clip = std::make_unique<TwClip>();
    if (!picture.empty()) {
        clip->SetImage(picture);
    }
    clip->SetAnimation(1, TwAnimation::Still, 1, 1);
    return clip;
}

} // namespace

FieldPainter::FieldPainter() : launcher_(StillClip({})), ceiling_(StillClip({})) {}

FieldPainter::~FieldPainter() = default;

void FieldPainter::Load() {
    launcher_ = StillClip("Zorbit");
    ceiling_ = StillClip("Ceiling");
}

void FieldPainter::SetBackground(const std::string& name) {
    background_ = StillClip(name);
    const TwScreenSize& screen = TwScreenSize::Instance();
    // The centre pixel, as whole pixels.
    const int centreX = screen.width / 2, centreY = screen.height / 2;
    background_->SetPosition(static_cast<float>(centreX), static_cast<float>(centreY), 0.0f);
}

void FieldPainter::Draw(GameMap& field, Launcher* launcher) const {
    if (TwDrawList* scene = field.Scene()) {
        scene->SetBackground(background_.get());
        scene->Draw();
    }
    if (launcher != nullptr) {
        DrawLauncher(field, *launcher);
    }
    DrawCeiling(field);
}

void FieldPainter::DrawLauncher(GameMap& field, Launcher& launcher) const {
    const TwVector direction = NormaliseOrKeep(launcher.Direction());
    const float angle = std::acos(std::clamp(direction.x, -1.0f, 1.0f));
    launcher.PlaceLoadedBubble();
    if (field.NextBubble() != nullptr) {
        field.NextBubble()->Draw();
    }
    const TwVector at = launcher.Position();
    launcher_->SetPosition(at.x, at.y, at.z);
    launcher_->SetTint(255.0f, 255.0f, 255.0f, 255.0f);
    launcher_->rotation = angle;
    launcher_->Draw();
    if (launcher.Loaded() != nullptr && !launcher.Flying()) {
        launcher.Loaded()->Draw();
    }
    if (field.NextBubble() == nullptr || launcher.Loaded() == nullptr) {
        return;
    }
    DrawMovesIndicator(field);
    // The next bubble waits just behind the launcher, opposite the aim.
    field.NextBubble()->SetFrame(8);
    field.NextBubble()->PlaceAt(launcher.Position() - direction * 7.25f);
}

void FieldPainter::DrawMovesIndicator(const GameMap& field) const {
    const int shown = std::min(field.NumMovesLeft, BubbleBanks::kMoveSymbols);
    for (int i = 0; i < shown; ++i) {
        TwClip* symbol = field.Banks().MovesClip(i);
        if (symbol == nullptr) {
            continue;
        }
        symbol->SetPosition(static_cast<float>(kMoveSymbolPlaces[i].x),
                            static_cast<float>(kMoveSymbolPlaces[i].y), 0.0f);
        symbol->Draw();
    }
}

// The lowered ceiling of a Puzzle level over the rows it has come down by, the newest plate
// sliding down with the bubbles while the field descends.
void FieldPainter::DrawCeiling(const GameMap& field) const {
    if (field.CeilingRow <= 0) {
        return;
    }
    const GameMap::Walls& walls = field.GetWalls();
    const float x = static_cast<float>(walls.leftX + walls.rightX) / 2.0f;
    const bool sliding =
        field.MapState == GameMap::kRowSlide || field.MapState == GameMap::kRowStart;
    const float lag = sliding ? static_cast<float>(1.0 - field.SlideProgress()) : 0.0f;
    for (int k = 0; k < field.CeilingRow; ++k) {
        const float y =
            field.CellToScreen(0, k).y -
            (k == field.CeilingRow - 1 ? lag * static_cast<float>(field.Geometry().Diameter())
                                       : 0.0f);
        ceiling_->SetPosition(x, y, 0.0f);
        ceiling_->Draw();
    }
}
