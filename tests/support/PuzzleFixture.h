#pragma once
#include <string>
#include <vector>

#include "FieldFixture.h"
#include "LevelSet.h"
#include "PuzzleMap.h"

namespace zvtest {

// A Puzzle field of the shipped size with its launcher, wired as the game screen wires
// them, and the moves of a player: aiming, firing, swapping and waiting until the field is
// at rest again.
class PuzzleField {
public:
    PuzzleField() : field(banks, ShippedGeometry()) {
        launcher.SetField(&field);
        field.SetLauncher(&launcher);
        field.ComputeWalls();
    }

    // Starts a level as the game does: its field, then the reveal until play may begin.
    void Start(const PuzzleLevel& level, const std::string& setId = "Test.Txt", int number = 1) {
        field.SetState(PlayState::kPlaying);
        field.SetLevel(level, setId, number);
        launcher.Reset();
        field.Reset(true);
        Settle();
    }

    // Runs frames until the field is ready for the next shot, the game has ended, or
    // `limit` frames have passed. True when the field is ready.
    bool Settle(int limit = 5000) {
        for (int i = 0; i < limit; ++i) {
            if (Ended()) {
                return false;
            }
            if (field.Settled() && launcher.CanFire()) {
                return true;
            }
            launcher.Update(16);
            field.Update(16);
        }
        return false;
    }

    bool Ended() const {
        return field.State() == PlayState::kLost || field.State() == PlayState::kCleared;
    }
    bool Won() const { return field.State() == PlayState::kCleared; }

    // Aims at a screen point (as the mouse does) and fires; then waits for rest.
    bool Shoot(const TwVector& aim) {
        launcher.Aim(aim);
        launcher.PlaceLoadedBubble();
        if (!launcher.Fire()) {
            return false;
        }
        Settle();
        return true;
    }

    // The cell a shot aimed at a screen point would land in, by the game's own route.
    TwCell RouteTarget(const TwVector& aim) {
        launcher.Aim(aim);
        launcher.PlaceLoadedBubble();
        field.ComputePath();
        return field.TargetCell();
    }

    // Lays out a field from text rows ('0'..'5' a colour, anything else empty) as a level.
    static PuzzleLevel LevelOf(const std::vector<std::string>& rows, int shots) {
        PuzzleLevel level;
        level.shots = shots;
        for (const std::string& row : rows) {
            std::string cells;
            for (int c = 0; c < 12; ++c) {
                const char ch = c < static_cast<int>(row.size()) ? row[c] : '.';
                cells += ch >= '0' && ch <= '5' ? ch : '.';
            }
            level.rows.push_back(cells);
        }
        return level;
    }

    BubbleBanks banks;
    PuzzleMap field;
    Launcher launcher;
};

} // namespace zvtest
