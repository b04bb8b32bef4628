// Building one frame's sprite list on the game's own thread, without composing or presenting
// it: what every frame costs above the drawing layer even when the picture does not change
// (the idle menu, whose frames the drawing layer finds equal to the one on screen and skips).
// The game's clock moves 16 ms a frame, as at 60 frames a second.
#include <benchmark/benchmark.h>

#include "Game.h"
#include "GameApplication.h"
#include "GameMap.h"
#include "Launcher.h"
#include "LiveGame.h"
#include "MenuGui.h"
#include "PlayState.h"
#include "app/TwCursor.h"
#include "gui/TwEventRouter.h"
#include "platform/os/TwClock.h"
#include "platform/os/TwRand.h"

namespace {

constexpr std::uint32_t kFrameMs = 16;

// One frame of the application as its loop runs it, up to the point where the frame would be
// handed to the drawing layer: the frame timer, the current screen's logic and sprites, the
// game's pointer.
[[gnu::noinline]] void BuildFrame(GameApplication& app, TwFixedClock& clock) {
    clock.Advance(kFrameMs);
    app.BeginFrame();
    app.UpdateAndDraw();
    if (TwCursor* cursor = app.Cursor()) {
        cursor->Draw();
    }
}

// The game's clock for the benchmark's lifetime.
class BenchClock {
public:
    BenchClock() { TwSetClock(&clock_); }
    ~BenchClock() { TwSetClock(nullptr); }
    TwFixedClock& Get() { return clock_; }

private:
    TwFixedClock clock_{1000};
};

// The main menu standing still: a returning player, music playing, the mouse at rest.
void BM_IdleMenuFrameBuild(benchmark::State& state) {
    GameApplication* app = zvbench::LiveGame();
    if (!app || !app->Menu() || !app->Router()) {
        state.SkipWithError("no packs or no display");
        return;
    }
    BenchClock clock;
    app->Router()->SwitchScreen(GameApplication::kMenuScreen);
    for (int i = 0; i < 60; ++i) {
        BuildFrame(*app, clock.Get()); // the menu settles (the launcher loads its bubbles)
    }
    for (auto _ : state) {
        BuildFrame(*app, clock.Get());
    }
}
BENCHMARK(BM_IdleMenuFrameBuild)->Unit(benchmark::kMicrosecond);

// A Classic game in play: a shot fired every two seconds, alternately to each side, so that
// frames hold flights, landings, bursts, falls and wobbling neighbours; a new game once the
// field is lost or cleared, or after a minute of play.
void BM_PlayFrameBuild(benchmark::State& state) {
    GameApplication* app = zvbench::LiveGame();
    Game* game = app ? dynamic_cast<Game*>(app->GameScreen()) : nullptr;
    if (!game || !app->Menu() || !app->Router()) {
        state.SkipWithError("no packs, display or game screen");
        return;
    }
    BenchClock clock;
    int frame = 0, shots = 0, games = 0;
    const auto newGame = [&] {
        TwSRand(7);
        app->Menu()->StartNewGame(GameMode::kClassic, true);
        frame = 0;
        ++games;
    };
    newGame();
    for (auto _ : state) {
        if (++frame % 120 == 0 && game->GetLauncher() != nullptr) {
            Launcher& launcher = *game->GetLauncher();
            const float side = (++shots % 2 == 0) ? 1.0f : -1.0f;
            launcher.Aim(launcher.RestPosition() +
                         TwVector(side * (60.0f + float(shots % 5) * 40.0f), -300.0f, 0.0f));
            launcher.Fire();
        }
        BuildFrame(*app, clock.Get());
        if (game->State() != PlayState::kPlaying || frame >= 3600) {
            state.PauseTiming();
            newGame();
            state.ResumeTiming();
        }
    }
    state.counters["shots"] = shots;
    state.counters["games"] = games;
    app->Router()->SwitchScreen(GameApplication::kMenuScreen);
}
BENCHMARK(BM_PlayFrameBuild)->Unit(benchmark::kMicrosecond);

} // namespace
