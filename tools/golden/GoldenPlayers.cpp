#include "GoldenPlayers.h"

#include <cmath>
#include <set>
#include <utility>
#include <vector>

#include "BaseBubble.h"
#include "PlayedGame.h"

namespace {

// The same-colour group a bubble of `colour` in `cell` would join, itself included.
int GroupAt(const GameMap& field, TwCell cell, int colour) {
    const float reach = 2.2f * static_cast<float>(field.Radius());
    std::vector<TwCell> open{cell};
    std::set<std::pair<int, int>> seen{{cell.x, cell.y}};
    while (!open.empty()) {
        const TwCell at = open.back();
        open.pop_back();
        const TwVector centre = field.CellToScreen(at.x, at.y);
        field.ForEachBubble([&](const BaseBubble& bubble, int c, int k) {
            if (bubble.Colour() == colour && !seen.count({c, k}) &&
                (field.CellToScreen(c, k) - centre).Length() < reach) {
                seen.insert({c, k});
                open.push_back({c, k});
            }
        });
    }
    return static_cast<int>(seen.size());
}

// The best aim for a bubble of `colour`: the one that bursts the biggest group, else the one
// beside most of its colour, the highest of equals. Its worth through `value`. Turns the
// launcher through every aim it weighs, as a player sweeping the mouse would.
TwVector BestAim(PlayedGame& game, int colour, int& value) {
    GameMap& field = game.Field();
    Launcher& gun = game.Gun();
    const TwVector base = gun.Position();
    TwVector best = SimpleAim(game);
    value = -1;
    for (int step = 0; step <= 160; ++step) {
        const float angle = 0.15f + static_cast<float>(step) * (2.84f / 160.0f);
        const TwVector point(base.x + std::cos(angle) * 300.0f, base.y - std::sin(angle) * 300.0f,
                             0.0f);
        gun.Aim(point);
        const GameMap::ShotRoute route = field.PredictRoute(gun.Muzzle(), gun.Direction());
        if (!field.InField(route.target)) {
            continue;
        }
        const int group = GroupAt(field, route.target, colour);
        // Bursts first, the bigger the better; otherwise beside its colour, as high up as
        // possible, so the field does not grow downwards.
        const int worth = (group >= 3 ? 1000 + group * 20 : group * 20) - route.target.y;
        if (worth > value) {
            value = worth;
            best = point;
        }
    }
    return best;
}

// The planner's aim for the loaded bubble, or for the next one after swapping when only the
// next one bursts a group.
TwVector PlannedAim(PlayedGame& game) {
    const BaseBubble* loadedBubble = game.Gun().Loaded();
    const BaseBubble* nextBubble = game.Field().NextBubble();
    const int loaded = loadedBubble != nullptr ? loadedBubble->Colour() : -1;
    const int next = nextBubble != nullptr ? nextBubble->Colour() : -1;
    int loadedValue = 0, nextValue = 0;
    const TwVector loadedAim = BestAim(game, loaded, loadedValue);
    if (next < 0 || next == loaded) {
        return loadedAim;
    }
    const TwVector nextAim = BestAim(game, next, nextValue);
    if (nextValue >= 1000 && loadedValue < 1000) {
        game.RightClick(TwVector(400, 300));
        return nextAim;
    }
    return loadedAim;
}

} // namespace

TwVector SimpleAim(const PlayedGame& game) {
    const GameMap& field = game.Field();
    const BaseBubble* loaded = game.Gun().Loaded();
    const int colour = loaded != nullptr ? loaded->Colour() : -1;
    int bestColumn = -1, bestRow = -1;
    bool bestMatches = false;
    field.ForEachBubble([&](const BaseBubble& bubble, int c, int k) {
        const bool matches = bubble.Colour() == colour;
        const bool better = (matches && !bestMatches) ||
                            (matches == bestMatches && (k > bestRow || bestColumn < 0));
        if (better) {
            bestColumn = c;
            bestRow = k;
            bestMatches = matches;
        }
    });
    return bestColumn < 0 ? TwVector(400, 100)
                          : field.CellToScreen(bestColumn, bestRow) + TwVector(0, 6);
}

void PlayGame(PlayedGame& game, PlayerStyle style, std::uint32_t seed, int maxShots) {
    std::uint32_t dice = seed * 2654435761u + 1;
    auto roll = [&dice](int range) {
        dice = dice * 1103515245u + 12345u;
        return static_cast<int>((dice >> 16) % static_cast<std::uint32_t>(range));
    };
    for (int shot = 0; shot < maxShots && game.Playing(); ++shot) {
        if (style == PlayerStyle::kSwapper && roll(4) == 0) {
            game.RunUntil([&game] { return game.Field().MapState == GameMap::kReady; });
            game.RightClick(TwVector(400, 300));
        }
        game.RunUntil([&game] {
            return game.Field().MapState == GameMap::kReady && !game.Field().RowPending;
        });
        TwVector aim;
        if (style == PlayerStyle::kAnywhere) {
            // The height is drawn first, then the side.
            const int y = 100 + roll(350);
            aim = TwVector(static_cast<float>(150 + roll(500)), static_cast<float>(y));
        } else if (style == PlayerStyle::kPlanner) {
            aim = PlannedAim(game);
        } else {
            aim = SimpleAim(game);
        }
        // In Arcade a row may start between aiming and the click; then aim again.
        int refused = 0;
        while (!game.ShootAt(aim) && game.Playing() && ++refused < 5) {
        }
        if (refused == 5) {
            break;
        }
    }
}
