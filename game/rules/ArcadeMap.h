#pragma once
#include "GameMap.h"

// The Arcade field: the same bubbles, shots, matches and scoring as Classic, but new rows
// come with a clock instead of missed shots. Every 5000 ms of aiming time is one tick of the
// moves counter; a miss costs nothing.
class ArcadeMap : public GameMap {
public:
    // Milliseconds of aiming time per tick; the tick comes once the clock has gone past it.
    static constexpr int kTickTime = 5000;

    explicit ArcadeMap(BubbleBanks& banks, int difficulty = 0);
    ArcadeMap(BubbleBanks& banks, const FieldGeometry& geometry, int difficulty = 0);

    // The field's frame, then the clock. The clock stands still while no game is being
    // played, while a restored field is being revealed and while a shot is in flight; row
    // insertions hold it at zero.
    void Update(int elapsed) override;
    // A new game starts with the clock at zero.
    void Reset(bool fill) override;
    void OnMiss() override {}

private:
    bool ClockRuns() const;
};
