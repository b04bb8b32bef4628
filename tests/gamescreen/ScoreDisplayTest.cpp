// The score at the top left of the field shows the score of the moment: its digits are only
// printed again when the score changes, and a frame with a score shows exactly what any other
// frame with that score showed.
#include <gtest/gtest.h>

#include "Game.h"
#include "GameAppHarness.h"
#include "GameMap.h"
#include "MenuGui.h"
#include "RenderCompare.h"
#include "gfx/TwRenderDevice.h"
#include "platform/os/TwRand.h"

TEST(ScoreDisplay, ShowsEveryNewScoreAndTheSameDigitsForTheSameScore) {
    zvtest::GameAppHarness harness;
    ASSERT_TRUE(harness.Start());
    Game& game = *harness.RealGame();
    TwSRand(7);
    harness.App().Menu()->StartNewGame(GameMode::kClassic, true);
    GameMap& field = *game.Field();
    for (int i = 0; i < 200 && field.MapState != GameMap::kReady; ++i) {
        game.Update(16);
    }
    field.Score = 0;
    zvtest::DrawnPicture(game);
    const std::vector<std::uint32_t> zero = zvtest::DrawnPicture(game);
    field.Score = 4080;
    const std::vector<std::uint32_t> some = zvtest::DrawnPicture(game);
    EXPECT_TRUE(some != zero);
    EXPECT_TRUE(zvtest::DrawnPicture(game) == some);
    field.Score = 4090; // as wide as the one before, one digit changed
    const std::vector<std::uint32_t> more = zvtest::DrawnPicture(game);
    EXPECT_TRUE(more != some);
    field.Score = 0;
    EXPECT_TRUE(zvtest::DrawnPicture(game) == zero);
    harness.Stop();
}
