// Drawing one whole frame of the real game with SDL's software renderer, the slowest device
// the game runs on: the busiest moment of play and the main menu with a dialog fading in.
// Only the drawing is timed (the screen's Draw and the renderer's work), not the logic.
#include <benchmark/benchmark.h>

#include "BaseBubble.h"
#include "GameApplication.h"
#include "GameMap.h"
#include "LiveGame.h"
#include "MenuGui.h"
#include "gfx/TwRenderDevice.h"
#include "gui/TwEventListener.h"
#include "platform/os/TwRand.h"
#include "platform/window/TwVideo.h"
#if __has_include("Game.h")
#include "Game.h"
#define ZV_HAVE_GAME_SCREEN 1
#endif

namespace {

// One frame of a screen, drawn in full but not presented.
void DrawFrame(TwEventListener& screen) {
    TwRenderDevice::Instance().StartScene();
    screen.Draw();
    TwVideo::FinishDrawing();
}

void BM_MenuFrameWithDialogFading(benchmark::State& state) {
    GameApplication* app = zvbench::LiveGame();
    if (!app || !app->Menu()) {
        state.SkipWithError("no packs or no display");
        return;
    }
    MenuGui& menu = *app->Menu();
    // Half-way through the options dialog's fade-in: dialog and dimming both translucent.
    menu.OpenPanel(MenuGui::kOptionsDialog);
    menu.Update(100);
    for (auto _ : state) {
        DrawFrame(menu);
    }
    menu.ClosePanel(MenuGui::kOptionsDialog);
    for (int i = 0; i < 30; ++i) {
        menu.Update(20);
    }
}
BENCHMARK(BM_MenuFrameWithDialogFading)->Unit(benchmark::kMicrosecond);

#ifdef ZV_HAVE_GAME_SCREEN
// A Classic field packed down to three rows above the launcher, a group of eight just burst
// (eight burst effects flying), the bubbles that hung from it falling, the launcher loaded and
// a six-digit score.
void BuildBusiestScene(Game& game) {
    GameMap& field = *game.Field();
    for (int i = 0; i < 200 && field.MapState != GameMap::kReady; ++i) {
        game.Update(16); // the field's opening reveal
    }
    const int burstRow = field.Rows() - 6;
    for (int k = 0; k < burstRow; ++k) {
        for (int c = 0; c < field.Columns(); ++c) {
            field.TakeBubble(c, k);
            field.PlaceNewBubble(c, k, (c / 2 + k) % 5);
        }
    }
    for (int c = 0; c < field.Columns(); ++c) {
        field.TakeBubble(c, burstRow);
        field.PlaceNewBubble(c, burstRow, c < 8 ? 5 : (c + burstRow) % 5);
    }
    for (int k = burstRow + 1; k <= burstRow + 2; ++k) {
        for (int c = 0; c < 6; ++c) {
            field.TakeBubble(c, k);
            field.PlaceNewBubble(c, k, (c + k) % 5);
        }
    }
    field.ResolveMatch(0, burstRow, 5);
    field.DropUnsupported();
    field.Score = 123450;
    for (int i = 0; i < 4; ++i) {
        game.Update(16);
    }
}

void BM_BusiestGameFrame(benchmark::State& state) {
    GameApplication* app = zvbench::LiveGame();
    Game* game = app ? dynamic_cast<Game*>(app->GameScreen()) : nullptr;
    if (!game || !app->Menu()) {
        state.SkipWithError("no packs, display or game screen");
        return;
    }
    TwSRand(7);
    app->Menu()->StartNewGame(GameMode::kClassic, true);
    if (!game->Field()) {
        state.SkipWithError("no field");
        return;
    }
    BuildBusiestScene(*game);
    state.counters["falling"] = static_cast<double>(game->Field()->FallingList().size());
    for (auto _ : state) {
        DrawFrame(*game);
    }
}
BENCHMARK(BM_BusiestGameFrame)->Unit(benchmark::kMicrosecond);

// The same scene's logic for one 16 ms frame (bursts, falls, launcher), without drawing.
void BM_BusiestGameLogicFrame(benchmark::State& state) {
    GameApplication* app = zvbench::LiveGame();
    Game* game = app ? dynamic_cast<Game*>(app->GameScreen()) : nullptr;
    if (!game || !app->Menu()) {
        state.SkipWithError("no packs, display or game screen");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        TwSRand(7);
        app->Menu()->StartNewGame(GameMode::kClassic, true);
        BuildBusiestScene(*game);
        state.ResumeTiming();
        game->Update(16);
    }
}
BENCHMARK(BM_BusiestGameLogicFrame)->Unit(benchmark::kMicrosecond)->Iterations(50);
#endif

} // namespace
