#include "ArcadeMap.h"

#include "Launcher.h"

ArcadeMap::ArcadeMap(BubbleBanks& banks, int difficulty) : GameMap(banks, difficulty) {}

ArcadeMap::ArcadeMap(BubbleBanks& banks, const FieldGeometry& geometry, int difficulty)
    : GameMap(banks, geometry, difficulty) {}

bool ArcadeMap::ClockRuns() const {
    if (State() != PlayState::kPlaying || MapState == kResume) {
        return false;
    }
    const Launcher* launcher = GetLauncher();
    return launcher == nullptr || !launcher->Flying();
}

void ArcadeMap::Update(int elapsed) {
    GameMap::Update(elapsed);
    if (!ClockRuns()) {
        return;
    }
    ElapsedTime += elapsed;
    // What the clock runs past the tick is dropped, so each tick takes a little over 5 s.
    if (ElapsedTime > kTickTime) {
        NumMovesLeft -= 1;
        ElapsedTime = 0;
    }
    AdvanceRowCounter();
}

void ArcadeMap::Reset(bool fill) {
    GameMap::Reset(fill);
    ElapsedTime = 0;
}
