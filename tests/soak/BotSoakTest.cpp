// A bot plays whole games on the real game screen, in both modes and at every difficulty,
// with a fixed fast clock, and checks the field after every frame: every bubble has exactly
// one owner and sits in a cell of the field (never two in one cell), the scene shows only
// owned bubbles, the flying bubble stays between the walls and the score never goes down.
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <vector>

#include "BaseBubble.h"
#include "BubbleBanks.h"
#include "Game.h"
#include "GameAppHarness.h"
#include "GameMap.h"
#include "Launcher.h"
#include "PlayState.h"
#include "SoakLength.h"
#include "TwDrawList.h"
#include "data/TwSysConfig.h"
#include "gfx/TwRenderDevice.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwRand.h"

namespace {

constexpr int kFrameMs = 40;  // a fast but ordinary frame: 25 frames a second
constexpr int kDrawEvery = 8; // the scene is drawn every eighth frame
constexpr int kMaxFramesPerGame = 60000;
constexpr int kMaxGameShots = 3000;

// Every bubble the field and launcher own, with the number of owners each has.
std::map<const BaseBubble*, int> Owners(const GameMap& field, const Launcher& launcher) {
    std::map<const BaseBubble*, int> owners;
    field.ForEachBubble([&owners](const BaseBubble& bubble, int, int) { ++owners[&bubble]; });
    for (const auto& bubble : field.FallingList()) {
        ++owners[bubble.get()];
    }
    for (int c = 0; c < GameMap::kMaxCells; ++c) {
        if (const BaseBubble* bubble = field.IncomingBubble(c)) {
            ++owners[bubble];
        }
    }
    if (field.NextBubble() != nullptr) {
        ++owners[field.NextBubble()];
    }
    if (launcher.Loaded() != nullptr) {
        ++owners[launcher.Loaded()];
    }
    owners.erase(nullptr);
    return owners;
}

// Describes every broken rule of the field as it is now; empty when all hold.
std::string CheckField(const GameMap& field, const Launcher& launcher, TwDrawList& scene) {
    std::ostringstream faults;
    const auto owners = Owners(field, launcher);
    for (const auto& [bubble, count] : owners) {
        if (count != 1) {
            faults << "a bubble has " << count << " owners; ";
        }
    }

    const bool settled = field.MapState == GameMap::kReady && !field.RowPending;
    std::vector<std::vector<int>> occupied(GameMap::kMaxCells,
                                           std::vector<int>(GameMap::kMaxCells, 0));
    field.ForEachBubble([&](const BaseBubble& bubble, int c, int k) {
        if (!field.InField(c, k)) {
            faults << "bubble in cell (" << c << "," << k << ") outside the field; ";
            return;
        }
        if (!settled) {
            return;
        }
        // At rest every bubble lies on the centre of its own cell, so no two share one.
        const TwCell home = field.ScreenToCell(bubble.RestPosition());
        if (home.x != c || home.y != k) {
            faults << "bubble of cell (" << c << "," << k << ") rests in cell (" << home.x << ","
                   << home.y << "); ";
        } else if (++occupied[c][k] > 1) {
            faults << "two bubbles in cell (" << c << "," << k << "); ";
        }
    });

    if (launcher.Flying() && launcher.Loaded() != nullptr) {
        const GameMap::Walls& walls = field.GetWalls();
        const TwVector p = launcher.Loaded()->Position();
        const float slack = 1.0f;
        if (p.x < walls.leftX - slack || p.x > walls.rightX + slack || p.y < walls.topY - slack) {
            faults << "flying bubble at (" << p.x << "," << p.y << ") outside the walls; ";
        }
    }

    std::map<const TwClip*, int> shown;
    for (const MoveObj& entry : scene.Entries()) {
        if (++shown[entry.object] > 1) {
            faults << "an object is twice in the scene; ";
        }
        if (entry.owned) {
            continue; // burst effects belong to the scene itself
        }
        const auto* bubble = dynamic_cast<const BaseBubble*>(entry.object);
        if (bubble == nullptr) {
            faults << "the scene shows an unowned object that is no bubble; ";
        } else if (owners.count(bubble) == 0) {
            faults << "the scene shows a bubble nobody owns; ";
        }
    }
    return faults.str();
}

TwInputEvent MouseEvent(int messageId, int button, const TwVector& at) {
    TwInputEvent input;
    input.eventClass = TwInputEvent::kMouse;
    input.messageId = messageId;
    input.button = button;
    input.mouseX = input.eventX = at.x;
    input.mouseY = input.eventY = at.y;
    return input;
}

// Where the bot aims: mostly at a bubble of the loaded colour (so groups burst and games
// last), sometimes anywhere above the launcher.
TwVector ChooseTarget(const GameMap& field, const Launcher& launcher) {
    std::vector<TwVector> sameColour;
    const int colour = launcher.Loaded() ? launcher.Loaded()->Colour() : -1;
    field.ForEachBubble([&](const BaseBubble& bubble, int, int) {
        if (bubble.Colour() == colour) {
            sameColour.push_back(bubble.RestPosition());
        }
    });
    if (!sameColour.empty() && TwRand() % 4 != 0) {
        return sameColour[std::size_t(TwRand()) % sameColour.size()];
    }
    const GameMap::Walls& walls = field.GetWalls();
    const float width = float(std::max(1, walls.rightX - walls.leftX));
    const float x = float(walls.leftX) + width * float(TwRand()) / 32767.0f;
    const float y = float(walls.topY) + 380.0f * float(TwRand()) / 32767.0f;
    return {x, y, 0.0f};
}

struct GameResult {
    int frames = 0;
    int shots = 0;
    int score = 0;
    bool ended = false;
    bool saved = false;
};

// Plays one game to its end (or to the shot limit) and checks the field after every frame.
GameResult PlayOneGame(Game& game, int mode, bool saveMidway) {
    GameResult result;
    if (mode == ModeNumber(Game::kArcade)) {
        game.StartArcade();
    } else {
        game.StartClassic();
    }
    game.NewGame();
    TwRenderDevice& device = TwRenderDevice::Instance();
    int lastScore = 0;
    int restoreAtShot = saveMidway ? 3 + TwRand() % 10 : -1;
    for (; result.frames < kMaxFramesPerGame && result.shots < kMaxGameShots; ++result.frames) {
        GameMap* field = game.Field();
        Launcher* launcher = game.GetLauncher();
        if (field == nullptr || launcher == nullptr) {
            ADD_FAILURE() << "the game lost its field";
            return result;
        }
        if (game.IsFinished()) {
            result.ended = true;
            break;
        }
        if (launcher->CanFire()) {
            if (result.shots == restoreAtShot) {
                // Put the game aside and take it up again: the same field comes back.
                const int bubbles = field->BubbleCount();
                const int score = field->Score;
                EXPECT_TRUE(game.SaveGame());
                EXPECT_TRUE(game.Restore());
                field = game.Field();
                launcher = game.GetLauncher();
                EXPECT_EQ(field->BubbleCount(), bubbles);
                EXPECT_EQ(field->Score, score);
                result.saved = true;
                restoreAtShot = -1;
                continue;
            }
            TwInputEvent aim =
                MouseEvent(512, TwInputEvent::kNoButton, ChooseTarget(*field, *launcher));
            game.HandleInput(aim);
            const bool swap = TwRand() % 16 == 0;
            TwInputEvent release = MouseEvent(
                swap ? 517 : 514, swap ? TwInputEvent::kRightReleased : TwInputEvent::kLeftReleased,
                TwVector(aim.mouseX, aim.mouseY, 0.0f));
            game.HandleInput(release);
            result.shots += swap ? 0 : 1;
        }

        game.OnEvent();
        game.Update(kFrameMs);
        if (result.frames % kDrawEvery == 0) {
            device.StartScene();
            game.Draw();
            device.FinishScene();
        }

        if (game.Field() == nullptr || game.GetLauncher() == nullptr) {
            ADD_FAILURE() << "the game lost its field";
            return result;
        }
        const std::string faults =
            CheckField(*game.Field(), *game.GetLauncher(), game.Banks()->Scene());
        if (!faults.empty()) {
            ADD_FAILURE() << "frame " << result.frames << " of a game in mode " << mode << ": "
                          << faults;
            return result;
        }
        const int score = game.Field()->Score;
        if (score < lastScore) {
            ADD_FAILURE() << "the score went down from " << lastScore << " to " << score;
            return result;
        }
        lastScore = score;
    }
    result.score = lastScore;
    return result;
}

TEST(SoakBot, PlaysWholeGamesInBothModesAtEveryDifficultyKeepingTheFieldSound) {
    zvtest::GameAppHarness app;
    app.WriteProfiles({"Soak"});
    ASSERT_TRUE(app.Start());
    Game* game = app.RealGame();
    ASSERT_NE(game, nullptr);
    TwSRand(20261207);

    const int games = soak::GamesToPlay();
    int ended = 0, saved = 0;
    long long frames = 0, shots = 0;
    for (int g = 0; g < games; ++g) {
        const int mode = g % 2;
        TwSysConfig::Instance().DifficultLevel = (g / 2) % 3;
        const GameResult result = PlayOneGame(*game, mode, g % 5 == 2);
        if (::testing::Test::HasFailure()) {
            FAIL() << "game " << g << " (mode " << mode << ", difficulty " << (g / 2) % 3
                   << ") after " << result.frames << " frames and " << result.shots << " shots";
        }
        ended += result.ended ? 1 : 0;
        saved += result.saved ? 1 : 0;
        frames += result.frames;
        shots += result.shots;
        // Back to the menu from the result dialog, as the player would.
        game->Abandon();
        if ((g + 1) % 100 == 0) {
            std::printf("%d games played, %lld frames\n", g + 1, frames);
            std::fflush(stdout);
        }
    }
    // Random shots lose in the end: games that never finish would mean the field stalls.
    EXPECT_GE(ended, games * 9 / 10);
    EXPECT_GT(saved, 0);
    std::printf("%d games, %d ended, %d saved and restored, %lld frames, %lld shots\n", games,
                ended, saved, frames, shots);
}

} // namespace
