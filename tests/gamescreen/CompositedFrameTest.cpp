// Whole frames of the real game look the same drawn by the game's software compositor as drawn
// by SDL's software renderer before it: the main menu with a dialog fading in, and a busy
// moment of play (a burst, bubbles falling, the launcher turned).
#include <gtest/gtest.h>

#include "BaseBubble.h"
#include "Game.h"
#include "GameAppHarness.h"
#include "GameMap.h"
#include "MenuGui.h"
#include "RenderCompare.h"
#include "gfx/TwRenderDevice.h"
#include "platform/os/TwRand.h"
#include "platform/window/TwVideo.h"

namespace {

// `most`: the largest difference allowed in a channel; `share`: at most 1/share of the
// pixels may differ by more than 3.
void ExpectSameAsBefore(TwEventListener& screen, const char* what, int most, std::size_t share) {
    // Each switch of renderer reloads the pictures, which the screens take as a reset
    // device (the next bubble shows again from the second frame on): both pictures are the
    // second drawn after a switch.
    std::vector<std::uint32_t> reference;
    {
        zvtest::SdlReferenceRenderer sdl(true);
        zvtest::DrawnPicture(screen);
        reference = zvtest::DrawnPicture(screen);
    }
    zvtest::DrawnPicture(screen);
    const std::vector<std::uint32_t> composed = zvtest::DrawnPicture(screen);
    ASSERT_EQ(composed.size(), 800u * 600u);
    zvtest::KeepPictureForLooking(composed, 800, std::string(what) + "-composed");
    zvtest::KeepPictureForLooking(reference, 800, std::string(what) + "-reference");
    // Each translucent layer is within rounding (see CompositorTest); SDL cut its results
    // where the compositor rounds, so where several translucent layers lie on each other
    // (the menu dimmed behind a fading dialog) SDL's picture is up to 2 darker per layer.
    const zvtest::ChannelDifference d = zvtest::CompareChannels(composed, reference, 800, 3);
    EXPECT_LE(d.largest, most) << what << ": differs by up to " << d.largest << " at (" << d.x
                               << ", " << d.y << ")";
    EXPECT_LE(d.pixelsOver, composed.size() / share)
        << what << ": " << d.pixelsOver << " pixels differ by more than 3";
}

class CompositedFrameTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(harness.Start()); }
    void TearDown() override { harness.Stop(); }
    zvtest::GameAppHarness harness;
};

TEST_F(CompositedFrameTest, MenuWithADialogFadingInLooksAsBefore) {
    MenuGui& menu = *harness.App().Menu();
    harness.Frame();
    menu.OpenPanel(MenuGui::kOptionsDialog);
    menu.Update(100); // half-way: dialog and dimming both translucent
    ExpectSameAsBefore(menu, "menu", 8, 20);
}

TEST_F(CompositedFrameTest, BusyMomentOfPlayLooksAsBefore) {
    Game& game = *harness.RealGame();
    TwSRand(7);
    harness.App().Menu()->StartNewGame(GameMode::kClassic, true);
    GameMap& field = *game.Field();
    for (int i = 0; i < 200 && field.MapState != GameMap::kReady; ++i) {
        game.Update(16); // the field's opening reveal
    }
    // Rows of bubbles down to the launcher, a row of one colour burst, what hung from it
    // falling.
    const int burstRow = field.Rows() - 6;
    for (int k = 0; k <= burstRow; ++k) {
        for (int c = 0; c < field.Columns(); ++c) {
            field.TakeBubble(c, k);
            field.PlaceNewBubble(c, k, k == burstRow && c < 8 ? 5 : (c / 2 + k) % 5);
        }
    }
    for (int c = 0; c < 6; ++c) {
        field.TakeBubble(c, burstRow + 1);
        field.PlaceNewBubble(c, burstRow + 1, c % 5);
    }
    field.ResolveMatch(0, burstRow, 5);
    field.DropUnsupported();
    field.Score = 123450;
    for (int i = 0; i < 6; ++i) {
        game.Update(16);
    }
    // Drawing the busy scene lets its burst effects run on a little (finished ones leave the
    // list), so the two pictures may differ at a few sprites besides the rounding: no bound
    // on the largest difference, but 99.5 % of the picture within 3.
    ExpectSameAsBefore(game, "game", 255, 200);
}

} // namespace
