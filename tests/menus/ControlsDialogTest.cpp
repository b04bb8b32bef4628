// The controls dialog of the options: new keys and buttons, refusals, defaults, and the
// settings file that keeps them.
#include <gtest/gtest.h>

#include "ControlBindings.h"
#include "ControlsPanel.h"
#include "MenuTestSupport.h"
#include "data/TwSysConfig.h"
#include "gui/TwInputEvent.h"

using menutest::MenuHarness;

namespace {

using B = ControlBindings;

B BindingsOnDisk() {
    TwSysConfig stored;
    stored.Load();
    B bindings;
    bindings.Load(stored.Table());
    return bindings;
}

ControlsPanel& OpenControls(MenuHarness& menu) {
    menu.Click("MainMenuDlg", "MainMenuDlg.Options");
    menu.Click("OptionsDlg", "OptionsDlg.Controls");
    EXPECT_EQ(menu.TopName(), ControlsPanel::kName);
    return *dynamic_cast<ControlsPanel*>(menu.Top());
}

void ClickCell(MenuHarness& menu, B::Action action, bool pad) {
    menu.Click(ControlsPanel::kName, ControlsPanel::CellName(action, pad));
}

class ControlsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        menu.WriteProfiles({"Ann"});
        ASSERT_TRUE(menu.Start());
        menu.Settle();
    }
    void TearDown() override { B::Current() = B::Defaults(); }
    MenuHarness menu;
};

TEST_F(ControlsDialog, ANewKeyAppliesAtOnceIsSavedAndEscapeKeepsTheOld) {
    ControlsPanel& controls = OpenControls(menu);
    menu.Screenshot("controls");
    ClickCell(menu, B::kFire, false);
    EXPECT_TRUE(controls.Waiting());
    EXPECT_FALSE(controls.Message().empty());
    menu.Key("F");
    menu.Frame();
    EXPECT_FALSE(controls.Waiting());
    EXPECT_EQ(B::Current().Key(B::kFire), 'F');
    EXPECT_EQ(BindingsOnDisk().Key(B::kFire), 'F');

    // Escape stops waiting and leaves the dialog open and the key as it was.
    ClickCell(menu, B::kSwap, false);
    menu.Key("Escape");
    menu.Frames(3);
    EXPECT_FALSE(controls.Waiting());
    EXPECT_EQ(menu.TopName(), ControlsPanel::kName);
    EXPECT_EQ(B::Current().Key(B::kSwap), TwInputCodes::kDown);

    // Enter is a key like any other (its typed character does not press a button).
    ClickCell(menu, B::kSwap, false);
    menu.Key("Return");
    menu.Frames(3);
    EXPECT_EQ(B::Current().Key(B::kSwap), TwInputCodes::kEnter);
    EXPECT_EQ(menu.TopName(), ControlsPanel::kName);
}

TEST_F(ControlsDialog, AKeyInUseIsRefusedWithTheActionThatHasIt) {
    ControlsPanel& controls = OpenControls(menu);
    ClickCell(menu, B::kSwap, false);
    menu.Key("Space");
    menu.Frame();
    EXPECT_EQ(B::Current().Key(B::kSwap), TwInputCodes::kDown);
    EXPECT_NE(controls.Message().find(ActionLabel(B::kFire)), std::string::npos)
        << controls.Message();
    menu.Screenshot("controls-refused");
}

// A button's cell takes the next controller button (as the window reports it, a key-down
// with its button) and ignores the keyboard; Escape from the controller's B is a button too.
TEST_F(ControlsDialog, AButtonCellTakesAControllerButtonAndDefaultsPutAllBack) {
    ControlsPanel& controls = OpenControls(menu);
    ClickCell(menu, B::kPause, true);
    menu.Key("Y");
    menu.Frame();
    EXPECT_TRUE(controls.Waiting());
    TwInputEvent button;
    button.eventClass = TwInputEvent::kKeyboard;
    button.messageId = TwInputCodes::kKeyDown;
    button.key = TwInputCodes::kEscape; // B speaks as Escape
    button.padButton = 1;
    EXPECT_TRUE(controls.HandleInput(button));
    EXPECT_FALSE(controls.Waiting());
    EXPECT_EQ(B::Current().Pad(B::kPause), 6) << "B belongs to the menu";
    EXPECT_NE(controls.Message().find(ActionLabel(B::kMenu)), std::string::npos);

    ClickCell(menu, B::kPause, true);
    button.key = 0;
    button.padButton = 3; // Y
    EXPECT_TRUE(controls.HandleInput(button));
    EXPECT_EQ(B::Current().Pad(B::kPause), 3);
    EXPECT_EQ(BindingsOnDisk().Pad(B::kPause), 3);

    menu.Click(ControlsPanel::kName, ControlsPanel::kDefaultsButton);
    EXPECT_TRUE(B::Current() == B::Defaults());
    EXPECT_TRUE(BindingsOnDisk() == B::Defaults());
    menu.Click(ControlsPanel::kName, ControlsPanel::kOkButton);
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "OptionsDlg");
}

TEST_F(ControlsDialog, TheBindingsComeBackAfterARestart) {
    OpenControls(menu);
    ClickCell(menu, B::kTurnLeft, false);
    menu.Key("A");
    menu.Frame();
    menu.Stop();
    B::Current() = B::Defaults();

    ASSERT_TRUE(menu.Start()); // the same player folders
    EXPECT_EQ(B::Current().Key(B::kTurnLeft), 'A');
    EXPECT_EQ(B::Current().Key(B::kTurnRight), TwInputCodes::kRight);
}

} // namespace
