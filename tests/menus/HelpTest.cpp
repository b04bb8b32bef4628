#include <gtest/gtest.h>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "gui/TwHelpDialog.h"
#include "gui/TwPanel.h"

using menutest::MenuHarness;

TEST(Help, TextsRulesAndModes) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Help");
    ASSERT_EQ(menu.TopName(), "HelpDlg");
    auto* help = dynamic_cast<TwHelpDialog*>(menu.Top());
    ASSERT_NE(help, nullptr);
    ASSERT_EQ(help->Paragraphs().size(), 4u);
    EXPECT_EQ(help->Paragraphs()[0]->Text(),
              "RELAX MODE#The new rows will appear when you miss a certain#number of shots.");
    EXPECT_EQ(help->Paragraphs()[1]->Text(),
              "TIME MODE#The new row will appear when a certain time has passed.");
    EXPECT_EQ(help->Paragraphs()[2]->Text(),
              "GAME RULES#Put three or more balls at same color together so that#they burst and "
              "disappear. The more balls are blown#up at one shot, the more points you "
              "gain!#Balls that fall apart from the rest will explode#too giving you much more "
              "score!#Symbols on the shown represent the number of unsuccessful#moves left to "
              "add new row.");
    // The rules run over eight lines, each but the last ending in its '#'.
    const auto& rules = help->Paragraphs()[2]->Lines();
    ASSERT_EQ(rules.size(), 8u);
    for (std::size_t i = 0; i + 1 < rules.size(); ++i) {
        EXPECT_EQ(rules[i].back(), '#');
    }
    EXPECT_NE(rules.back().back(), '#');
    // The rules are above the modes, all starting at the same left margin.
    EXPECT_LT(help->Paragraphs()[2]->Position().y, help->Paragraphs()[0]->Position().y);
    EXPECT_EQ(help->Paragraphs()[2]->Position().x, help->Paragraphs()[1]->Position().x);
    // Below the modes, the keys and buttons in force.
    EXPECT_EQ(help->Paragraphs()[3]->Text(),
              "KEYBOARD:   turn Left / Right   finer Shift   fire Space   swap Down#pause P   "
              "menu Escape#GAMEPAD:   turn D-pad left / D-pad right   finer LB   fire A   swap "
              "X#pause Start   menu B");
    EXPECT_GT(help->Paragraphs()[3]->Position().y, help->Paragraphs()[1]->Position().y);
    menu.Screenshot("help");
}

// The credits come over the help, which stays fully drawn underneath; Escape closes one
// dialog at a time.
TEST(Help, CreditsOverHelpAndEscapeBackOutOneByOne) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Help");
    TwPanel* help = menu.Top();

    TwBaseGuiElemen* credits = menu.Element("HelpDlg", "Help.Credits");
    ASSERT_NE(credits, nullptr);
    menu.MoveTo(credits->Position().x, credits->Position().y);
    menu.Frame();
    menu.LeftDown(credits->Position().x, credits->Position().y);
    menu.LeftUp(credits->Position().x, credits->Position().y);
    menu.Frame();
    menu.Frame();
    ASSERT_EQ(menu.TopName(), "CreditsDlg");
    EXPECT_FALSE(menu.Top()->IsSteady()) << "still fading in";
    EXPECT_TRUE(menu.Menu().DrawAllPanels());
    EXPECT_EQ(help->Alpha(), 255.0f);
    EXPECT_EQ(menu.Menu().PanelStack().size(), 3u);
    menu.Settle();
    menu.Screenshot("credits");

    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "HelpDlg");
    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    EXPECT_FALSE(menu.Menu().DrawAllPanels());
}
