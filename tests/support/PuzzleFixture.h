#pragma once
#include <string>
#include <vector>

#include "FieldFixture.h"
#include "GameSession.h"
#include "LevelSet.h"
#include "PuzzleMap.h"

namespace zvtest {

// A Puzzle level of the shipped size on a game session of its own, and the moves of a
// player: aiming, firing, swapping and waiting until the field is at rest again.
class PuzzleField {
public:
    PuzzleField() : field(SetUp(session)), launcher(*session.GetLauncher()) {}

    // Starts a level as the game does: its field, then the reveal until play may begin. The
    // field's generator goes on from where it stands (seeded from the engine's).
    void Start(const PuzzleLevel& level, const std::string& setId = "Test.Txt", int number = 1) {
        session.SetLevel(level, setId, number);
        session.Begin(field.Random().State());
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
            session.Step(16);
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

    GameSession session;
    PuzzleMap& field;
    Launcher& launcher;

private:
    static PuzzleMap& SetUp(GameSession& session) {
        session.SetUp(GameMode::kPuzzle, ShippedGeometry(), 0);
        return dynamic_cast<PuzzleMap&>(*session.Field());
    }
};

} // namespace zvtest
