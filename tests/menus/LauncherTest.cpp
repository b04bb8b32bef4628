#include <algorithm>
#include <gtest/gtest.h>

#include "BaseBubble.h"
#include "BubbleDestroy.h"
#include "GameSound.h"
#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "platform/os/TwRand.h"

using menutest::MenuHarness;

namespace {

int Count(const std::vector<int>& sounds, int id) {
    return static_cast<int>(std::count(sounds.begin(), sounds.end(), id));
}

} // namespace

// A left click on empty space fires the waiting bubble towards the mouse; it flies for
// 400-600 ms and then bursts, and the burst clears itself away.
TEST(MenuLauncher, FiredBubbleFliesThenBursts) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwSRand(11);
    MenuGui& gui = menu.Menu();
    ASSERT_NE(gui.CurrentBubble(), nullptr) << "the launcher is loaded";
    BaseBubble* waiting = gui.NextBubble();
    BaseBubble* loaded = gui.CurrentBubble();

    menu.LeftClick(600, 400);
    ASSERT_EQ(gui.FlyingBubbles().size(), 1u);
    EXPECT_EQ(gui.FlyingBubbles()[0].bubble.get(), loaded);
    EXPECT_EQ(gui.CurrentBubble(), waiting) << "the waiting bubble moves up";
    EXPECT_NE(gui.NextBubble(), nullptr);
    // Towards the mouse (up and to the left of the launcher) at 6 to 12 units.
    const TwVector velocity = loaded->Velocity();
    EXPECT_LT(velocity.x, 0.0f);
    EXPECT_LT(velocity.y, 0.0f);
    EXPECT_NEAR(velocity.x / velocity.y, 120.0f / 120.0f, 0.05f);
    EXPECT_GE(velocity.Length(), 5.99f);
    EXPECT_LE(velocity.Length(), 12.01f);
    const int life = gui.FlyingBubbles()[0].lifeMs;
    EXPECT_GE(life, 380); // one frame has gone by
    EXPECT_LE(life, 600);

    const TwVector start = loaded->Position();
    menu.Frame();
    const TwVector moved = gui.FlyingBubbles().at(0).bubble->Position();
    EXPECT_NEAR((moved - start).Length(), velocity.Length() * 0.1f * 20.0f, 0.01f);

    menu.Sounds().clear();
    menu.Frames(30); // 600 ms: every flight is over
    EXPECT_TRUE(gui.FlyingBubbles().empty());
    EXPECT_EQ(gui.PoppingBubbles().size(), 1u);
    EXPECT_EQ(Count(menu.Sounds(), 12), 1) << "the burst is heard";
    menu.Frames(60);
    EXPECT_TRUE(gui.PoppingBubbles().empty()) << "finished bursts are dropped";
}

TEST(MenuLauncher, BubbleLeavingTheScreenBurstsAtOnce) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwSRand(5);
    MenuGui& gui = menu.Menu();

    menu.LeftClick(799, 520); // straight to the right edge, 80 pixels away
    ASSERT_EQ(gui.FlyingBubbles().size(), 1u);
    menu.Frames(8); // 160 ms: at least 96 pixels
    EXPECT_TRUE(gui.FlyingBubbles().empty());
    EXPECT_EQ(gui.PoppingBubbles().size(), 1u);
}

// The right button swaps the two bubbles only when their colours differ.
TEST(MenuLauncher, RightClickSwapsDifferentColours) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    MenuGui& gui = menu.Menu();
    BaseBubble* first = gui.CurrentBubble();
    BaseBubble* second = gui.NextBubble();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    first->SetColour(1);
    second->SetColour(1);
    menu.Sounds().clear();
    menu.RightClick(600, 300);
    EXPECT_EQ(gui.CurrentBubble(), first);
    EXPECT_EQ(Count(menu.Sounds(), GameSound::kSwap), 0);

    second->SetColour(4);
    menu.RightClick(600, 300);
    EXPECT_EQ(gui.CurrentBubble(), second);
    EXPECT_EQ(gui.NextBubble(), first);
    EXPECT_EQ(Count(menu.Sounds(), GameSound::kSwap), 1);
    EXPECT_TRUE(gui.FlyingBubbles().empty()) << "the right button never fires";
}

// The launcher turns towards the mouse: straight up for a mouse right above it.
TEST(MenuLauncher, TurnsTowardsTheMouse) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    MenuGui& gui = menu.Menu();

    menu.MoveTo(720, 100);
    menu.Frame();
    EXPECT_NEAR(gui.Launcher()->rotation, 0.0f, 1e-4f);
    menu.MoveTo(620, 520);
    menu.Frame();
    EXPECT_NEAR(gui.Launcher()->rotation, 1.5707963f, 1e-4f) << "left of it: a quarter turn";
    menu.MoveTo(790, 450);
    menu.Frame();
    EXPECT_NEAR(gui.Launcher()->rotation, -0.7853982f, 1e-4f);
}

// Clicks on a menu button are the button's, not the launcher's.
TEST(MenuLauncher, ButtonClicksDoNotFire) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Help");
    EXPECT_TRUE(menu.Menu().FlyingBubbles().empty());
}
