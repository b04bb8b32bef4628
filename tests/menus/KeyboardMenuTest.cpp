// The menus used from the keyboard alone, on the whole application: keys go through the
// window's own path, and no mouse event is sent at all.
#include <gtest/gtest.h>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "data/TwSysConfig.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwPanel.h"
#include "gui/TwProfileDlg.h"
#include "records/TwProfileStore.h"

using menutest::MenuHarness;

namespace {

// The name of what has the keyboard focus on the top panel: the element, or the radio box.
std::string Focused(MenuHarness& menu) {
    TwPanel* top = menu.Top();
    if (top == nullptr || !top->HasKeyboardFocus()) {
        return "";
    }
    TwBaseGuiElemen* element = top->ElementAt(top->Focus());
    if (const auto* group = dynamic_cast<TwCheckBoxGroup*>(element)) {
        return group->Boxes()[static_cast<std::size_t>(top->FocusBox())]->Name();
    }
    return element != nullptr ? element->Name() : "";
}

// Presses Down until the focus rests on `name` (the keys wrap round the panel).
bool FocusOn(MenuHarness& menu, const std::string& name) {
    for (int i = 0; i < 24; ++i) {
        menu.Key("Down");
        menu.Frame();
        if (Focused(menu) == name) {
            return true;
        }
    }
    return false;
}

std::string EntryName(const std::string& player) {
    return std::string(TwProfileDlg::kEntryPrefix) + player;
}

} // namespace

TEST(KeyboardMenus, PlayerOptionsAndANewGameWithoutTheMouse) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "Bob"});
    menu.WriteSettings(true, 240, 200, 0);
    ASSERT_TRUE(menu.Start());
    menu.Settle();

    // Players: open the list, pick Bob, close with Escape.
    ASSERT_TRUE(FocusOn(menu, "MainMenuDlg.Profile"));
    menu.Key("Return");
    menu.Settle();
    ASSERT_EQ(menu.TopName(), "ProfileDlg");
    ASSERT_TRUE(FocusOn(menu, EntryName("Bob")));
    menu.Key("space");
    menu.Settle();
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "Bob");
    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    EXPECT_EQ(menu.Menu().WelcomeButton()->Caption(), "WELCOME: Bob");

    // Options: the sound slider down two steps, Hard chosen, closed with its OK button.
    ASSERT_TRUE(FocusOn(menu, "MainMenuDlg.Options"));
    menu.Key("Return");
    menu.Settle();
    ASSERT_EQ(menu.TopName(), "OptionsDlg");
    ASSERT_TRUE(FocusOn(menu, "OptionsDlg.SoundSlider"));
    menu.Key("Left");
    menu.Frame();
    menu.Key("Left");
    menu.Frame();
    EXPECT_EQ(TwSysConfig::Instance().SoundVolume, 210);
    ASSERT_TRUE(FocusOn(menu, "OptionsDlg.Hard"));
    menu.Key("Return");
    menu.Settle();
    EXPECT_EQ(TwSysConfig::Instance().DifficultLevel, 2);
    ASSERT_TRUE(FocusOn(menu, "OptionsDlg.Ok"));
    menu.Key("Return");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");

    // A new Classic game.
    ASSERT_TRUE(FocusOn(menu, "MainMenuDlg.Classic"));
    menu.Key("Return");
    menu.Settle();
    EXPECT_EQ(menu.Game().gameId, 0);
    EXPECT_EQ(menu.Game().newGames, 1);
}
