// Buttons, check boxes, sliders, radio groups and profile entries, each on a steady panel of
// a screen and driven by input records.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/TwButton.h"
#include "gui/TwCheckBox.h"
#include "gui/TwCheckBoxGroup.h"
#include "gui/TwGuiSound.h"
#include "gui/TwProfileButton.h"
#include "gui/TwSlider.h"

using namespace guitest;

namespace {

class ElementTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel = screen.AddPanel("Dlg", std::make_unique<TwPanel>());
        screen.OpenPanel("Dlg");
        screen.SettleFades();
        env.ClearSounds();
    }

    // A 100 x 30 button centred on (x, y).
    TwButton* AddButton(const std::string& name, float x, float y) {
        TwButton* button = panel->AddButton("Interface/Btn", 0, 0, name, TwPanel::kPlainRole);
        button->SetPosition({x, y, 0});
        return button;
    }

    // A slider whose scale runs 200 pixels from x = 300 to 500 at y = 200.
    TwSlider* AddSlider(int minimum = 0, int maximum = 255) {
        auto slider = std::make_unique<TwSlider>();
        EXPECT_TRUE(
            slider->Create("Interface/Slider", "Interface/SliderThumb", minimum, maximum, 15));
        slider->SetPosition({400, 200, 0});
        return panel->AddElement("Dlg.Slider", std::move(slider));
    }

    void Click(float x, float y) {
        screen.Send(MouseMove(x, y));
        screen.Send(LeftDown(x, y));
        screen.Send(LeftUp(x, y));
    }

    std::string TakeEvent() {
        screen.Frame();
        std::string last = screen.handled.empty() ? "" : screen.handled.back();
        screen.handled.clear();
        return last;
    }

    GuiEnvironment env;
    RecordingScreen screen;
    TwPanel* panel = nullptr;
};

TEST_F(ElementTest, ButtonEdgesAreOutside) {
    TwButton* button = AddButton("Dlg.Btn", 400, 300);
    struct Probe {
        float x, y;
        bool inside;
    };
    // Half width 50, half height 15 around (400, 300).
    for (const Probe& p : {Probe{350, 300, false}, Probe{351, 300, true}, Probe{449, 300, true},
                           Probe{450, 300, false}, Probe{400, 285, false}, Probe{400, 286, true},
                           Probe{400, 314, true}, Probe{400, 315, false}}) {
        EXPECT_EQ(button->HitTest(MouseMove(p.x, p.y)), p.inside) << p.x << "," << p.y;
    }
}

TEST_F(ElementTest, FocusSoundPlaysOncePerEntry) {
    TwButton* button = AddButton("Dlg.Btn", 400, 300);
    for (float x : {380.f, 390.f, 400.f, 410.f}) {
        EXPECT_TRUE(screen.Send(MouseMove(x, 300)));
    }
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonGetFocus), 1);
    EXPECT_TRUE(button->IsHover());
    EXPECT_EQ(button->Frame(), 1);

    EXPECT_FALSE(screen.Send(MouseMove(600, 300)));
    EXPECT_FALSE(button->IsHover());
    EXPECT_EQ(button->Frame(), 0);
    screen.Send(MouseMove(400, 300));
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonGetFocus), 2);
}

TEST_F(ElementTest, ButtonFiresOnReleaseOverItOnly) {
    AddButton("Dlg.Btn", 400, 300);
    screen.Send(MouseMove(400, 300));
    EXPECT_TRUE(screen.Send(LeftDown(400, 300))) << "taken, as the mouse is over a button";
    EXPECT_EQ(TakeEvent(), "");
    // Pressed over it, moved away, released elsewhere: no click.
    screen.Send(MouseMove(700, 500));
    screen.Send(LeftUp(700, 500));
    EXPECT_EQ(TakeEvent(), "");

    Click(400, 300);
    EXPECT_EQ(TakeEvent(), "Dlg.Btn");
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 1);

    // Clicked again without a move between, and clicked where the move before was lost
    // (as while a dialog fades in): the press over it is what counts.
    screen.Send(LeftDown(400, 300));
    screen.Send(LeftUp(400, 300));
    EXPECT_EQ(TakeEvent(), "Dlg.Btn");
    screen.Send(MouseMove(700, 500));
    screen.Send(LeftDown(400, 300));
    screen.Send(LeftUp(400, 300));
    EXPECT_EQ(TakeEvent(), "Dlg.Btn");
}

TEST_F(ElementTest, APressElsewhereLeavesNoButtonReadyToFire) {
    TwButton* lit = AddButton("Dlg.Lit", 400, 300);
    AddButton("Dlg.Other", 400, 400);
    screen.Send(MouseMove(400, 300));
    ASSERT_TRUE(lit->IsHover());
    // The move off it was lost; the press over the other button is where the pointer is.
    screen.Send(LeftDown(400, 400));
    EXPECT_FALSE(lit->IsHover());
    EXPECT_EQ(lit->Frame(), 0);
    screen.Send(LeftUp(400, 400));
    EXPECT_EQ(TakeEvent(), "Dlg.Other");
}

TEST_F(ElementTest, DisabledButtonNeverLightsUpOrFires) {
    TwButton* button = AddButton("Dlg.Btn", 400, 300);
    button->Disable();
    Click(400, 300);
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty());
    EXPECT_FALSE(button->IsHover());
    EXPECT_EQ(button->Frame(), 2) << "drawing keeps the disabled look";
    EXPECT_TRUE(env.Sounds().empty());

    button->Enable();
    EXPECT_EQ(button->Frame(), 0);
    Click(400, 300);
    EXPECT_EQ(TakeEvent(), "Dlg.Btn");
}

TEST_F(ElementTest, CheckBoxFlipsOnReleaseAndClicksOnPress) {
    auto box = std::make_unique<TwCheckBox>();
    box->Load("Interface/CheckBox");
    box->SetPosition({400, 300, 0});
    TwCheckBox* check = panel->AddElement("Dlg.Check", std::move(box));
    check->Disable(); // a check box does not know about being disabled

    screen.Send(MouseMove(400, 300));
    screen.Send(LeftDown(400, 300));
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 1);
    EXPECT_FALSE(check->IsChecked());
    screen.Send(LeftUp(400, 300));
    EXPECT_TRUE(check->IsChecked());
    EXPECT_EQ(TakeEvent(), "Dlg.Check");
    EXPECT_EQ(check->Frame(), 3) << "checked and under the mouse";

    screen.Send(MouseMove(100, 100));
    screen.Frame();
    EXPECT_EQ(check->Frame(), 2);
    Click(400, 300);
    EXPECT_FALSE(check->IsChecked());
}

TEST_F(ElementTest, SliderClickSetsTheValueFromTheTrack) {
    TwSlider* slider = AddSlider();
    // Strictly inside the 200-pixel scale only.
    EXPECT_FALSE(slider->HitTest(LeftDown(300, 200)));
    EXPECT_FALSE(slider->HitTest(LeftDown(500, 200)));

    screen.Send(MouseMove(301, 200));
    EXPECT_TRUE(screen.Send(LeftDown(301, 200)));
    EXPECT_EQ(slider->GetValue(), 1); // 1 * 255 / 200
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 1);
    EXPECT_TRUE(screen.Send(LeftUp(301, 200)));
    screen.Frame();
    EXPECT_EQ(screen.handledValues.back(), 1);

    Click(499, 200);
    EXPECT_EQ(slider->GetValue(), 253);
    EXPECT_FALSE(panel->IsCaptured());
}

TEST_F(ElementTest, DraggedSliderHoldsTheMouseAndClampsItsValue) {
    TwSlider* slider = AddSlider(16, 255);
    TwButton* button = AddButton("Dlg.Btn", 400, 400);

    screen.Send(MouseMove(400, 200));
    ASSERT_TRUE(screen.Send(LeftDown(400, 200)));
    EXPECT_TRUE(panel->IsCaptured());
    EXPECT_EQ(slider->Frame(), 1);
    EXPECT_EQ(TakeEvent(), "Dlg.Slider");

    // Every move reports, wherever the mouse goes; the button below sees nothing.
    EXPECT_TRUE(screen.Send(MouseMove(400, 400)));
    EXPECT_FALSE(button->IsHover());
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonGetFocus), 0);
    EXPECT_EQ(TakeEvent(), "Dlg.Slider");
    screen.Send(MouseMove(900, 200));
    EXPECT_EQ(slider->GetValue(), 255);
    screen.Send(MouseMove(-50, 200));
    EXPECT_EQ(slider->GetValue(), 16) << "the minimum clamps without moving the scale";

    // Releasing over the button ends the drag and does not click the button.
    EXPECT_TRUE(screen.Send(LeftUp(400, 400)));
    EXPECT_FALSE(panel->IsCaptured());
    EXPECT_EQ(slider->Frame(), 0);
    EXPECT_EQ(TakeEvent(), "Dlg.Slider");
    screen.Send(MouseMove(400, 200));
    EXPECT_EQ(slider->GetValue(), 16) << "a released slider no longer follows the mouse";
}

TEST_F(ElementTest, SliderStepsStayInRange) {
    TwSlider* slider = AddSlider(0, 255);
    slider->SetValue(250);
    slider->Increase();
    EXPECT_EQ(slider->GetValue(), 255);
    slider->SetValue(5);
    slider->Decrease();
    EXPECT_EQ(slider->GetValue(), 0);
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 2);
}

class RadioGroupTest : public ElementTest {
protected:
    void SetUp() override {
        ElementTest::SetUp();
        auto made = std::make_unique<TwCheckBoxGroup>("Opt.Difficult");
        made->AddCheckBox("Opt.Easy", "", 1, 200, 300);
        made->AddCheckBox("Opt.Normal", "", 1, 400, 300);
        made->AddCheckBox("Opt.Hard", "", 1, 600, 300);
        made->Check("Opt.Normal");
        group = panel->AddElement("Opt.Difficult", std::move(made));
    }
    TwCheckBoxGroup* group = nullptr;
};

TEST_F(RadioGroupTest, ChangingTheSelectionRaisesTheBoxName) {
    Click(600, 300);
    EXPECT_EQ(TakeEvent(), "Opt.Hard");
    EXPECT_EQ(group->CheckedIndex(), 2);
    EXPECT_EQ(group->Name(), "Opt.Difficult") << "back to the group name after the event";
    EXPECT_EQ(group->PreviousIndex(), 1);
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 1);

    group->RestorePrevious();
    EXPECT_EQ(group->CheckedIndex(), 1);
}

TEST_F(RadioGroupTest, ClickingTheCheckedBoxKeepsItAndRaisesTheGroupName) {
    Click(400, 300);
    EXPECT_EQ(TakeEvent(), "Opt.Difficult");
    EXPECT_EQ(group->CheckedIndex(), 1);
    EXPECT_TRUE(group->Boxes()[1]->IsChecked());
    EXPECT_FALSE(group->Boxes()[0]->IsChecked());
}

TEST_F(RadioGroupTest, ClicksBesideTheBoxesChangeNothing) {
    Click(300, 300);
    EXPECT_EQ(TakeEvent(), "");
    EXPECT_EQ(group->CheckedIndex(), 1);
    group->Check("Opt.Unknown");
    EXPECT_EQ(group->CheckedIndex(), -1);
    group->RestorePrevious(); // the press beside the boxes still noted the checked one
    EXPECT_EQ(group->CheckedIndex(), 1);
}

TEST_F(ElementTest, ProfileEntrySelectsItselfAndLightsUpSilently) {
    auto made = std::make_unique<TwProfileButton>();
    made->Load("Interface/ProfileItem");
    made->SetCaption("Ann");
    made->SetPosition({400, 300, 0});
    TwProfileButton* entry = panel->AddElement("Ann", std::move(made));

    EXPECT_TRUE(screen.Send(MouseMove(400, 300)));
    EXPECT_EQ(entry->Frame(), 1);
    EXPECT_FALSE(entry->IsHover());
    EXPECT_TRUE(env.Sounds().empty());

    screen.Send(LeftUp(400, 300));
    EXPECT_TRUE(entry->IsHover()) << "selected";
    EXPECT_EQ(TakeEvent(), "Ann");
    EXPECT_EQ(env.Played(TwGuiSounds::kButtonClick), 1);
    EXPECT_FALSE(entry->OnMouseMove(MouseMove(400, 300))) << "a selected entry stays as it is";
    screen.Send(LeftDown(700, 500));
    EXPECT_TRUE(entry->IsHover()) << "a press elsewhere keeps the selection";
}

} // namespace
