// The level select: pages over every set, tiles locked, open and cleared from the player's
// progress, the page the player goes on from, and choosing only open levels.
#include <string>

#include "LevelLibrary.h"
#include "LevelSelectPanel.h"
#include "PuzzleProgress.h"
#include "TestSupport.h"
#include "gui/TwButton.h"

#include <gtest/gtest.h>

namespace {

std::string SetOf(int levels) {
    std::string text = "Title = \"Set\"\n";
    for (int n = 1; n <= levels; ++n) {
        const std::string key = "Level" + std::to_string(n);
        text += key + ".Shots = 3\n" + key + ".Field = {[0 0 1 1 . . . . . . . .]}\n";
    }
    return text;
}

// The tiles of the page shown, in order.
std::vector<const TwBaseGuiElemen*> Tiles(const LevelSelectPanel& panel) {
    std::vector<const TwBaseGuiElemen*> tiles;
    for (const auto& element : panel.Elements()) {
        if (element->Name() == LevelSelectPanel::kTileEvent) {
            tiles.push_back(element.get());
        }
    }
    return tiles;
}

TEST(LevelSelect, ShowsTheProgressAndChoosesOnlyOpenLevels) {
    zvtest::ScopedUserDirs dirs;
    LevelLibrary library;
    const std::string big = SetOf(25);
    const std::string small = SetOf(3);
    ASSERT_TRUE(library.Add("A.Txt", true, "A.Txt", big.data(), big.size(), 12, 12));
    ASSERT_TRUE(library.Add("B.Txt", true, "B.Txt", small.data(), small.size(), 12, 12));

    PuzzleProgress progress;
    progress.Load("Ann");
    for (int n = 1; n <= 20; ++n) {
        progress.RecordClear("A.Txt", n, 100 + n);
    }
    ASSERT_TRUE(progress.Save());

    LevelSelectPanel panel;
    panel.OnCreate(); // the arrows and the back button (Create does it with the picture)
    panel.Show(library, "Ann");
    // Twenty tiles a page: A's two pages and B's one; Ann goes on at A's second page.
    EXPECT_EQ(panel.PageCount(), 3);
    EXPECT_EQ(panel.CurrentPage(), 1);
    std::vector<const TwBaseGuiElemen*> tiles = Tiles(panel);
    ASSERT_EQ(tiles.size(), 5u);
    EXPECT_FALSE(tiles[0]->IsDisabled()); // level 21 follows the cleared level 20
    EXPECT_TRUE(tiles[1]->IsDisabled());
    EXPECT_FALSE(panel.Choose(tiles[1]));
    ASSERT_TRUE(panel.Choose(tiles[0]));
    EXPECT_EQ(panel.ChosenSet(), "A.Txt");
    EXPECT_EQ(panel.ChosenLevel(), 21);

    // Back a page: the cleared levels, all open.
    panel.TurnPage(-1);
    tiles = Tiles(panel);
    ASSERT_EQ(tiles.size(), 20u);
    for (const TwBaseGuiElemen* tile : tiles) {
        EXPECT_FALSE(tile->IsDisabled());
    }
    EXPECT_EQ(panel.Progress().Best("A.Txt", 7), 107);
    // Round to the last page: set B, only its first level open.
    panel.TurnPage(-1);
    EXPECT_EQ(panel.CurrentPage(), 2);
    tiles = Tiles(panel);
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_FALSE(tiles[0]->IsDisabled());
    EXPECT_TRUE(tiles[2]->IsDisabled());
    // A tile of an earlier page is no tile any more.
    EXPECT_FALSE(panel.Choose(nullptr));

    // Another player starts at the very first page.
    LevelSelectPanel fresh;
    fresh.OnCreate();
    fresh.Show(library, "Bob");
    EXPECT_EQ(fresh.CurrentPage(), 0);
    EXPECT_NE(fresh.FindElement(LevelSelectPanel::kBackEvent), nullptr);
}

} // namespace
