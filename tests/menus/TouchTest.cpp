// Playing on a touch screen: SDL finger events pushed into the real event queue, as a touch
// screen sends them, through the whole application.
#include <gtest/gtest.h>

#include "BaseBubble.h"
#include "Game.h"
#include "GameMap.h"
#include "GameSound.h"
#include "Launcher.h"
#include "MenuTestSupport.h"
#include "gui/TwBaseGuiElemen.h"
#include "platform/input/TwEvents.h"

using menutest::MenuHarness;

namespace {

using Kind = TwSyntheticEvent::Kind;

void Finger(MenuHarness& menu, Kind kind, float x, float y) {
    TwSyntheticEvent event;
    event.kind = kind;
    event.button = 7; // the finger's number
    event.x = static_cast<int>(x);
    event.y = static_cast<int>(y);
    ASSERT_TRUE(menu.Push(event));
}

void Tap(MenuHarness& menu, const TwVector& where) {
    Finger(menu, Kind::FingerDown, where.x, where.y);
    Finger(menu, Kind::FingerUp, where.x, where.y);
    menu.Frame();
}

int Count(MenuHarness& menu, int sound) {
    int n = 0;
    for (int id : menu.Sounds()) {
        n += id == sound;
    }
    return n;
}

TEST(Touch, TapsWorkTheMenusAndAFingerAimsFiresAndSwaps) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start(true));
    menu.Settle();

    // A tap on a button presses it, once.
    Tap(menu, menu.Element("MainMenuDlg", "MainMenuDlg.Options")->Position());
    menu.Settle();
    ASSERT_EQ(menu.TopName(), "OptionsDlg");
    Tap(menu, menu.Element("OptionsDlg", "OptionsDlg.Ok")->Position());
    menu.Settle();
    ASSERT_EQ(menu.TopName(), "MainMenuDlg");
    Tap(menu, menu.Element("MainMenuDlg", "MainMenuDlg.Classic")->Position());
    menu.Settle();
    Game* game = menu.RealGame();
    ASSERT_NE(game, nullptr);
    ASSERT_EQ(menu.CurrentScreen(), game);
    for (int i = 0; i < 200 && game->Field()->MapState != GameMap::kReady; ++i) {
        menu.Frame();
    }
    ASSERT_EQ(game->Field()->MapState, GameMap::kReady);
    menu.Frames(40);
    menu.Sounds().clear();

    // A finger put down and dragged aims; nothing fires until it is lifted, then once.
    Finger(menu, Kind::FingerDown, 400, 420);
    Finger(menu, Kind::FingerMotion, 300, 300);
    menu.Frame();
    const TwVector aim = game->GetLauncher()->Direction();
    EXPECT_LT(aim.x, -0.2f) << "the launcher turned towards the finger";
    EXPECT_FALSE(game->GetLauncher()->Flying());
    Finger(menu, Kind::FingerUp, 300, 300);
    menu.Frame();
    EXPECT_TRUE(game->GetLauncher()->Flying());
    menu.Frames(100);
    EXPECT_EQ(Count(menu, GameSound::kFireBall), 1) << "one lift, one shot";

    // A tap on the launcher swaps its two bubbles instead of firing.
    ASSERT_NE(game->GetLauncher()->Loaded(), nullptr);
    const int loadedColour = game->GetLauncher()->Loaded()->Colour();
    game->Field()->SetNextBubble(game->Field()->NewBubbleOfColour((loadedColour + 1) % 6));
    BaseBubble* next = game->Field()->NextBubble();
    ASSERT_NE(next, nullptr);
    Tap(menu, game->GetLauncher()->RestPosition());
    menu.Frames(3);
    EXPECT_EQ(game->GetLauncher()->Loaded(), next);
    EXPECT_EQ(Count(menu, GameSound::kSwap), 1);
    EXPECT_EQ(Count(menu, GameSound::kFireBall), 1);
    EXPECT_FALSE(game->GetLauncher()->Flying());
    menu.Screenshot("touch-game");
}

} // namespace
