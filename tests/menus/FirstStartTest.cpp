#include <gtest/gtest.h>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwPanel.h"
#include "gui/TwTextDialogPanel.h"
#include "records/TwProfileStore.h"

using menutest::MenuHarness;

// A player starting the game for the first time must type a name before anything else.
TEST(FirstStart, NameIsAskedFirstAndCannotBeSkipped) {
    MenuHarness menu;
    ASSERT_TRUE(menu.Start());
    menu.Settle();

    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());
    ASSERT_EQ(menu.TopName(), "PlayerNameDlg");
    ASSERT_EQ(menu.Menu().PanelStack().front()->Name(), "MainMenuDlg");
    TwBaseGuiElemen* cancel = menu.Element("PlayerNameDlg", "PlayerNameDlg.Cancel");
    ASSERT_NE(cancel, nullptr);
    EXPECT_TRUE(cancel->IsDisabled());
    menu.Screenshot("first-start-name-dialog");

    // Escape and a click on the greyed Cancel leave the dialog where it is.
    menu.Key("Escape");
    menu.Click("PlayerNameDlg", "PlayerNameDlg.Cancel");
    EXPECT_EQ(menu.TopName(), "PlayerNameDlg");
    EXPECT_TRUE(TwProfileStore::Instance().IsEmpty());

    // An empty name is not taken either.
    menu.Key("Return");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "PlayerNameDlg");
    EXPECT_TRUE(TwProfileStore::Instance().IsEmpty());

    menu.Type("Ann 2");
    EXPECT_EQ(menu.Menu().NameDialog()->Text(), "Ann 2");
    menu.Key("Return");
    menu.Settle();

    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    TwProfileStore& store = TwProfileStore::Instance();
    ASSERT_EQ(store.Count(), 1);
    EXPECT_EQ(store.ActiveName(), "Ann 2");
    EXPECT_EQ(menu.Menu().WelcomeButton()->Caption(), "WELCOME: Ann 2");
    EXPECT_EQ(menu.Game().abandons, 1) << "a new player starts without a saved game";

    // The new player is on disk: a fresh read of the profiles finds them active.
    store.Reset();
    ASSERT_TRUE(store.LoadProfiles());
    EXPECT_EQ(store.ActiveName(), "Ann 2");
    menu.Screenshot("main-menu");
}

TEST(FirstStart, ReturningPlayerSeesTheMenuWithTheirGreeting) {
    MenuHarness menu;
    menu.WriteProfiles({"Bea", "Cy"}, 1);
    ASSERT_TRUE(menu.Start());
    menu.Settle();

    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    EXPECT_EQ(menu.Menu().PanelStack().size(), 1u);
    EXPECT_EQ(menu.Menu().WelcomeButton()->Caption(), "WELCOME: Cy");
    // No saved game: Continue is greyed from the first frame.
    EXPECT_TRUE(menu.App().ContinueButton()->IsDisabled());
}
