// Menus and dialogs without the mouse: Tab and the arrows move the focus, Enter and Space
// press, Left and Right move a slider, and the mouse takes over again as soon as it moves.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "data/TwEngineDefs.h"
#include "gui/TwButton.h"
#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwGuiSound.h"
#include "gui/TwInputEvent.h"
#include "gui/TwSlider.h"
#include "gui/TwTextDialogPanel.h"
#include "platform/input/TwEvents.h"
#include "platform/window/TwVideo.h"
#include "records/TwProfileStore.h"

using namespace guitest;

namespace {

constexpr unsigned char kTab = 9, kEnter = 13, kEscape = 27, kSpace = 32;
constexpr unsigned char kLeft = 37, kUp = 38, kRight = 39, kDown = 40;

// An options-like dialog: a button, a check box, a slider, a radio group of three boxes, a
// disabled button and a cancel button, in this order.
class KeyboardNavigation : public ::testing::Test {
protected:
    void SetUp() override {
        panel = screen.AddPanel("Dlg", std::make_unique<TwPanel>());
        play = AddButton("Dlg.Play", 400, 100, TwPanel::kPlainRole);
        auto box = std::make_unique<TwCheckBox>();
        box->Load("Interface/CheckBox");
        box->SetPosition({400, 150, 0});
        fullScreen = panel->AddElement("Dlg.FullScreen", std::move(box));
        auto track = std::make_unique<TwSlider>();
        track->Create("Interface/Slider", "Interface/SliderThumb", 0, 255, 15);
        track->SetPosition({400, 200, 0});
        track->SetValue(240);
        slider = panel->AddElement("Dlg.Volume", std::move(track));
        auto made = std::make_unique<TwCheckBoxGroup>("Dlg.Difficult");
        made->AddCheckBox("Dlg.Easy", "", 1, 300, 300);
        made->AddCheckBox("Dlg.Normal", "", 1, 400, 300);
        made->AddCheckBox("Dlg.Hard", "", 1, 500, 300);
        made->Check("Dlg.Normal");
        group = panel->AddElement("Dlg.Difficult", std::move(made));
        greyed = AddButton("Dlg.Greyed", 400, 400, TwPanel::kPlainRole);
        greyed->Disable();
        close = AddButton("Dlg.Close", 400, 500, TwPanel::kCancelRole);
        screen.OpenPanel("Dlg");
        screen.SettleFades();
        env.ClearSounds();
    }

    TwButton* AddButton(const std::string& name, float x, float y, int role) {
        TwButton* button = panel->AddButton("Interface/Btn", 0, 0, name, role);
        button->SetPosition({x, y, 0});
        return button;
    }

    // Each key as the window delivers it: key-down, then the character of keys that have one.
    bool Press(unsigned char key) {
        const bool used = screen.Send(KeyDown(key));
        if (key == kTab || key == kEnter || key == kEscape || key == kSpace) {
            screen.Send(Character(key));
        }
        return used;
    }

    std::string TakeEvent() {
        screen.Frame();
        std::string last = screen.handled.empty() ? "" : screen.handled.back();
        screen.handled.clear();
        return last;
    }

    // Which element shows the focused look: its name, or "Box<n>" for a radio box.
    std::string Lit() const {
        std::string lit;
        for (const auto& element : panel->Elements()) {
            if (element.get() == group) {
                for (std::size_t i = 0; i < group->Boxes().size(); ++i) {
                    if (group->Boxes()[i]->IsHover()) {
                        lit += "Box" + std::to_string(i) + " ";
                    }
                }
            } else if (element->IsHover()) {
                lit += element->Name() + " ";
            }
        }
        return lit;
    }

    GuiEnvironment env;
    RecordingScreen screen;
    TwPanel* panel = nullptr;
    TwButton* play = nullptr;
    TwCheckBox* fullScreen = nullptr;
    TwSlider* slider = nullptr;
    TwCheckBoxGroup* group = nullptr;
    TwButton* greyed = nullptr;
    TwButton* close = nullptr;
};

} // namespace

// Tab goes through every stop once, passing over the disabled button and stopping at each
// radio box, then wraps round; the arrows step the same way, Up from nothing to the end.
TEST_F(KeyboardNavigation, TabAndArrowsWalkEveryStopInOrder) {
    EXPECT_EQ(Lit(), "");
    const std::vector<std::string> order = {"Dlg.Play ",  "Dlg.FullScreen ", "Dlg.Volume ",
                                            "Box0 ",      "Box1 ",           "Box2 ",
                                            "Dlg.Close ", "Dlg.Play "};
    for (const std::string& expected : order) {
        EXPECT_TRUE(Press(kTab));
        EXPECT_EQ(Lit(), expected);
    }
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonGetFocus), static_cast<int>(order.size()));
    EXPECT_EQ(play->Frame(), 1) << "the focused button shows its focused frame";
    Press(kUp);
    EXPECT_EQ(Lit(), "Dlg.Close ");
    EXPECT_EQ(play->Frame(), 0);
    Press(kDown);
    Press(kRight); // Right moves on from anything but a slider
    EXPECT_EQ(Lit(), "Dlg.FullScreen ");
    EXPECT_EQ(TakeEvent(), "") << "moving the focus raises nothing";

    TwPanel other;
    other.MoveFocus(1); // an empty panel has nowhere to go
    EXPECT_FALSE(other.PressFocused());

    panel->SetKeyboardNavigation(false); // a panel over play leaves the keys to the game
    EXPECT_FALSE(Press(kDown)) << "not used, although an element is lit";
    EXPECT_EQ(Lit(), "Dlg.FullScreen ");
    Press(kEscape);
    EXPECT_EQ(TakeEvent(), "Dlg.Close");
    panel->SetKeyboardNavigation(true);

    screen.OpenPanel("Dlg"); // opening again starts without focus
    screen.SettleFades();
    Press(kUp);
    EXPECT_EQ(Lit(), "Dlg.Close ");

    // A button added last but placed at the top comes first: the focus follows the screen.
    // A second button raising the same event (one control drawn in two parts) is no stop of
    // its own.
    TwButton* top = AddButton("Dlg.Top", 400, 50, TwPanel::kPlainRole);
    AddButton("Dlg.Top", 400, 60, TwPanel::kPlainRole);
    screen.OpenPanel("Dlg");
    screen.SettleFades();
    Press(kTab);
    EXPECT_EQ(Lit(), "Dlg.Top ");
    EXPECT_EQ(top->Frame(), 1);
    Press(kTab);
    EXPECT_EQ(Lit(), "Dlg.Play ");
}

TEST_F(KeyboardNavigation, EnterAndSpacePressWhatIsFocused) {
    // Nothing focused yet: the first press only shows where the focus is.
    Press(kEnter);
    EXPECT_EQ(TakeEvent(), "");
    EXPECT_EQ(Lit(), "Dlg.Play ");
    Press(kEnter);
    EXPECT_EQ(TakeEvent(), "Dlg.Play");
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 1);
    Press(kSpace);
    EXPECT_EQ(TakeEvent(), "Dlg.Play");
    EXPECT_EQ(Lit(), "Dlg.Play ") << "the pressed button keeps the focus";

    Press(kTab);
    Press(kSpace);
    EXPECT_EQ(TakeEvent(), "Dlg.FullScreen");
    EXPECT_TRUE(fullScreen->IsChecked());
    Press(kSpace);
    EXPECT_EQ(TakeEvent(), "Dlg.FullScreen");
    EXPECT_FALSE(fullScreen->IsChecked());

    // Escape keeps its meaning whatever has the focus.
    Press(kEscape);
    EXPECT_EQ(TakeEvent(), "Dlg.Close");
}

// A radio box pressed by key acts as clicked: the mark moves and the box's name is raised,
// the box that was checked is remembered; the checked box raises the group's name.
TEST_F(KeyboardNavigation, RadioBoxesAreChosenLikeClicks) {
    for (int i = 0; i < 6; ++i) {
        Press(kTab);
    }
    ASSERT_EQ(Lit(), "Box2 ");
    Press(kEnter);
    EXPECT_EQ(TakeEvent(), "Dlg.Hard");
    EXPECT_EQ(group->CheckedIndex(), 2);
    EXPECT_EQ(group->PreviousIndex(), 1);
    EXPECT_EQ(group->Name(), "Dlg.Difficult");
    group->RestorePrevious();
    EXPECT_EQ(group->CheckedIndex(), 1);
    Press(kLeft);
    Press(kSpace);
    EXPECT_EQ(TakeEvent(), "Dlg.Difficult");
    EXPECT_EQ(group->CheckedIndex(), 1);
}

// Left and Right move a focused slider by its step within its range and report each move
// with the new value; Up and Down still leave it.
TEST_F(KeyboardNavigation, SliderMovesByItsStep) {
    Press(kTab);
    Press(kTab);
    Press(kTab);
    ASSERT_EQ(Lit(), "Dlg.Volume ");
    EXPECT_FALSE(panel->IsCaptured()) << "a keyboard focus does not hold the mouse";
    Press(kRight);
    screen.Frame();
    Press(kRight); // 240 + 15 + 15 stops at 255
    screen.Frame();
    EXPECT_EQ(slider->GetValue(), 255);
    Press(kLeft);
    screen.Frame();
    EXPECT_EQ(screen.handled, (std::vector<std::string>{"Dlg.Volume", "Dlg.Volume", "Dlg.Volume"}));
    EXPECT_EQ(screen.handledValues, (std::vector<int>{255, 255, 240}));
    Press(kEnter); // nothing to press on a slider
    EXPECT_EQ(TakeEvent(), "Dlg.Volume") << "only the earlier move is pending";
    Press(kDown);
    EXPECT_EQ(Lit(), "Box0 ");
    EXPECT_EQ(slider->GetValue(), 240);
}

// A disabled button keeps its greyed frame while the mouse lights its neighbours up.
TEST_F(KeyboardNavigation, DisabledButtonStaysGreyWhileTheMouseMovesOverOthers) {
    greyed->Disable();                // as dialogs do after opening
    screen.Send(MouseMove(400, 500)); // over the close button
    EXPECT_TRUE(close->IsHover());
    EXPECT_EQ(greyed->Frame(), 2);
    EXPECT_EQ(play->Frame(), 0);
}

// The mouse takes the looks back: a keyboard-focused slider does not follow the pointer, a
// focused button loses its look, and clicks work as before.
TEST_F(KeyboardNavigation, MouseTakesOverFromTheKeyboard) {
    Press(kTab);
    Press(kTab);
    Press(kTab);
    ASSERT_EQ(Lit(), "Dlg.Volume ");
    screen.Send(MouseMove(360, 500)); // left on the track's scale, over the close button
    EXPECT_EQ(slider->GetValue(), 240);
    EXPECT_EQ(Lit(), "Dlg.Close ");
    EXPECT_FALSE(panel->HasKeyboardFocus());
    screen.Send(LeftDown(360, 500));
    screen.Send(LeftUp(360, 500));
    EXPECT_EQ(TakeEvent(), "Dlg.Close");
    // The keyboard goes on from where the mouse is.
    screen.Send(MouseMove(400, 100));
    Press(kDown);
    EXPECT_EQ(Lit(), "Dlg.FullScreen ");
}

// Keys from the real window: the player's Tab and Enter, translated as the window does.
TEST_F(KeyboardNavigation, KeysFromTheWindowReachTheFocus) {
    ASSERT_TRUE(TwVideo::Init());
    TwFlushMessages();
    TwInputEvent record;
    auto deliver = [&](const char* key) {
        TwSyntheticEvent down{TwSyntheticEvent::Kind::KeyDown, key, "", 1, 0, 0};
        TwSyntheticEvent up{TwSyntheticEvent::Kind::KeyUp, key, "", 1, 0, 0};
        ASSERT_TRUE(TwPushSyntheticEvent(down));
        ASSERT_TRUE(TwPushSyntheticEvent(up));
        TwWindowMessage message;
        while (TwPeekMessage(message)) {
            if (record.Translate(message, true)) {
                screen.Send(record);
            }
        }
    };
    deliver("Tab");
    deliver("Tab");
    EXPECT_EQ(Lit(), "Dlg.FullScreen ");
    deliver("Left Shift");
    TwSyntheticEvent shift{TwSyntheticEvent::Kind::KeyDown, "Left Shift", "", 1, 0, 0};
    TwPushSyntheticEvent(shift); // held for Shift+Tab
    deliver("Tab");
    EXPECT_EQ(Lit(), "Dlg.Play ");
    TwSyntheticEvent release{TwSyntheticEvent::Kind::KeyUp, "Left Shift", "", 1, 0, 0};
    TwPushSyntheticEvent(release);
    deliver("Return");
    EXPECT_EQ(TakeEvent(), "Dlg.Play");
}

namespace {

const char kNameLayout[] = "EnterNameDlg = {\n"
                           "    InputWidth = 200\n"
                           "    OkButtonPos = [25, 80, 0]\n"
                           "    CancelButtonPos = [75, 80, 0]\n"
                           "    TextPos = [400, 280, 0]\n"
                           "}\n";

} // namespace

// In the name dialog Space is part of the name and Enter means OK, wherever the focus is;
// Tab still moves between the buttons.
TEST(NameDialogKeyboard, SpaceTypesAndEnterMeansOk) {
    zvtest::ScopedUserDirs dirs;
    GuiEnvironment env;
    RecordingScreen screen;
    TwProfileStore::Instance().Reset();
    TwProfileStore::Instance().AddProfile("Ann");
    TwEngineDefs().LoadFromMemory(kNameLayout, sizeof kNameLayout - 1);
    auto made = std::make_unique<TwTextDialogPanel>();
    ASSERT_TRUE(made->Create("Interface/Dialog"));
    TwTextDialogPanel* dialog = screen.AddPanel("PlayerNameDlg", std::move(made));
    screen.OpenPanel("PlayerNameDlg");
    screen.SettleFades();
    screen.Frame();

    screen.Send(KeyDown('A'));
    screen.Send(Character('a'));
    screen.Send(KeyDown(kTab));
    screen.Send(Character(kTab));
    screen.Send(KeyDown(kTab));
    EXPECT_TRUE(dialog->CancelButton()->IsHover()) << "Tab reached Cancel";
    screen.Send(KeyDown(kSpace));
    screen.Send(Character(' '));
    screen.Send(KeyDown('B'));
    screen.Send(Character('b'));
    EXPECT_EQ(dialog->Text(), "a b");
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty()) << "Space did not press Cancel";
    screen.Send(KeyDown(kEnter));
    screen.Send(Character(kEnter));
    screen.Frame();
    EXPECT_EQ(screen.handled, std::vector<std::string>{"PlayerNameDlg.Ok"});
    TwEngineDefs().LoadFromMemory("", 0);
    TwProfileStore::Instance().Reset();
}
