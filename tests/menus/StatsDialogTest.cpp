// The statistics dialog of the player list: the chosen player's numbers, clearing them after
// a question, and the statistics going with a deleted player.
#include <filesystem>
#include <gtest/gtest.h>

#include "MenuTestSupport.h"
#include "PlayerStats.h"
#include "StatsPanel.h"
#include "records/TwProfileStore.h"

using menutest::MenuHarness;

namespace {

StatsPanel& OpenStats(MenuHarness& menu) {
    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    menu.Click("ProfileDlg", "ProfileDlg.Stats");
    EXPECT_EQ(menu.TopName(), StatsPanel::kName);
    return *dynamic_cast<StatsPanel*>(menu.Top());
}

TEST(StatsDialog, ShowsTheActivePlayersNumbersAndClearsThemAfterAsking) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "Bob"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    ASSERT_TRUE(UpdatePlayerStats("Ann", [](PlayerStats& s) {
        s.GameStarted(0);
        s.ShotDone(3, 2);
        s.ShotDone(0, 0);
        s.GameEnded(0, true, 1240);
        s.AddSeconds(3725);
    }));
    ASSERT_TRUE(UpdatePlayerStats("Bob", [](PlayerStats& s) { s.GameStarted(1); }));

    StatsPanel& stats = OpenStats(menu);
    EXPECT_EQ(stats.Player(), "Ann");
    EXPECT_EQ(stats.Shown().shots, 2);
    EXPECT_EQ(stats.Shown().modes[0].bestScore, 1240);
    EXPECT_EQ(StatsPanel::TimeText(3725), "1:02:05");
    menu.Screenshot("statistics");

    menu.Click(StatsPanel::kName, StatsPanel::kClearButton);
    ASSERT_EQ(menu.TopName(), StatsPanel::kQuestion);
    menu.Click(StatsPanel::kQuestion, StatsPanel::kClearRefused);
    EXPECT_EQ(menu.TopName(), StatsPanel::kName);
    EXPECT_EQ(PlayerStats::Load("Ann").shots, 2);

    menu.Click(StatsPanel::kName, StatsPanel::kClearButton);
    menu.Click(StatsPanel::kQuestion, StatsPanel::kClearConfirmed);
    EXPECT_EQ(menu.TopName(), StatsPanel::kName);
    EXPECT_EQ(stats.Shown(), PlayerStats());
    EXPECT_EQ(PlayerStats::Load("Ann"), PlayerStats());
    EXPECT_EQ(PlayerStats::Load("Bob").modes[1].started, 1) << "only Ann's were cleared";

    menu.Click(StatsPanel::kName, StatsPanel::kOkButton);
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
}

TEST(StatsDialog, ADeletedPlayersStatisticsGoWithThem) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "Bob"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    ASSERT_TRUE(UpdatePlayerStats("Ann", [](PlayerStats& s) { s.ShotDone(3, 0); }));
    ASSERT_TRUE(UpdatePlayerStats("Bob", [](PlayerStats& s) { s.ShotDone(0, 0); }));
    ASSERT_EQ(TwProfileStore::Instance().ActiveName(), "Ann");

    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    menu.Click("ProfileDlg", "ProfileDlg.Delete");
    menu.Click("DeletePlayerNameDlg", "DeletePlayerNameDlg.Ok");
    EXPECT_FALSE(std::filesystem::exists(PlayerStats::PathOf("Ann")));
    EXPECT_EQ(PlayerStats::Load("Bob").shots, 1);
}

} // namespace
