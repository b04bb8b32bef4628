// Panels: creation and placement, fades, Escape, opening and closing, keyboard focus, and the
// paragraphs of dialog messages.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gfx/TwClip.h"
#include "gui/TwButton.h"
#include "gui/TwDialogPanel.h"
#include "gui/TwGuiSound.h"
#include "gui/TwParagraph.h"
#include "gui/TwProfileButton.h"
#include "gui/TwSlider.h"

using namespace guitest;

namespace {

class PanelTest : public ::testing::Test {
protected:
    // A dialog on the 400 x 200 picture, registered but not opened.
    TwDialogPanel* MakeDialog(const std::string& name) {
        auto dialog = std::make_unique<TwDialogPanel>();
        EXPECT_TRUE(dialog->Create("Interface/Dialog"));
        return screen.AddPanel(name, std::move(dialog));
    }

    void OpenSteady(const std::string& name) {
        screen.OpenPanel(name);
        screen.SettleFades();
        env.ClearSounds();
    }

    GuiEnvironment env;
    RecordingScreen screen;
};

TEST_F(PanelTest, CreateCentresThePanelAndPlacesByPercentOfTheBackground) {
    TwDialogPanel* dialog = MakeDialog("Dlg");
    EXPECT_EQ(dialog->Position(), (TwVector{400, 300, 0}));
    ASSERT_NE(dialog->FadeOverlay(), nullptr);
    EXPECT_EQ(dialog->FadeOverlay()->scale, 25.0f);
    // The background spans x 200..600 and y 200..400.
    EXPECT_EQ(dialog->PointInPanel(0, 0), (TwVector{200, 200, 0}));
    EXPECT_EQ(dialog->PointInPanel(50, 50), (TwVector{400, 300, 0}));
    EXPECT_EQ(dialog->PointInPanel(33.3f, 80), (TwVector{333, 360, 0})); // 133.2 truncated
    TwButton* ok = dialog->AddButton("Interface/Btn", 25, 80, "Dlg.Ok", TwPanel::kDefaultRole);
    EXPECT_EQ(ok->Position(), (TwVector{300, 360, 0}));
    EXPECT_EQ(dialog->DefaultButton(), ok);
    EXPECT_EQ(dialog->FindElement("Dlg.Ok"), ok);
    EXPECT_EQ(dialog->FindElement("Dlg.Other"), nullptr);
    dialog->PlaceElementByName(50, 50, "Dlg.Ok");
    EXPECT_EQ(ok->Position(), (TwVector{400, 300, 0}));
    dialog->PlaceElementByName(50, 50, "Dlg.Missing"); // harmless

    // Without a background the percentages are of the screen, from the panel's position.
    TwPanel bare;
    EXPECT_EQ(bare.PointInPanel(50, 25), (TwVector{400, 150, 0}));
}

TEST_F(PanelTest, CreateFailsWithoutItsPicture) {
    zvtest::CapturedMessages messages; // the missing picture is reported to the player
    bool built = false;
    struct Probe : TwPanel {
        bool* built;
        explicit Probe(bool* b) : built(b) {}
        void OnCreate() override { *built = true; }
    } probe(&built);
    EXPECT_FALSE(probe.Create("Interface/NoSuchPicture"));
    EXPECT_FALSE(built);
    EXPECT_TRUE(probe.Create("Interface/Dialog"));
    EXPECT_TRUE(built);
}

TEST_F(PanelTest, FadeStepsByElapsedTimeAndAtLeastOne) {
    TwDialogPanel* dialog = MakeDialog("Dlg");
    screen.OpenPanel("Dlg");
    EXPECT_EQ(env.Played(TwGuiSounds::kOpenDialog), 1);
    EXPECT_EQ(dialog->GetState(), TwPanel::kFadingIn);
    EXPECT_EQ(dialog->Alpha(), 0.0f);
    dialog->Update(0);
    EXPECT_EQ(dialog->Alpha(), 1.0f);
    dialog->Update(17);
    EXPECT_EQ(dialog->Alpha(), 18.0f);
    dialog->Update(237);
    EXPECT_EQ(dialog->Alpha(), 255.0f);
    EXPECT_EQ(dialog->GetState(), TwPanel::kFadingIn) << "steady only once past 255";
    dialog->Update(1);
    EXPECT_TRUE(dialog->IsSteady());
    EXPECT_EQ(dialog->Alpha(), 255.0f);
}

TEST_F(PanelTest, EscapeTriggersAnEnabledCancelButtonAndIsAlwaysTaken) {
    TwDialogPanel* withCancel = MakeDialog("Ask");
    TwButton* no = withCancel->AddButton("Interface/Btn", 75, 80, "Ask.No", TwPanel::kCancelRole);
    MakeDialog("Info");

    OpenSteady("Info");
    TwInputEvent escape = KeyDown(27);
    EXPECT_TRUE(screen.HandleInput(escape)) << "consumed although nothing fires";
    EXPECT_EQ(escape.eventClass, 0);
    EXPECT_FALSE(screen.Send(KeyDown('A')));
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty());

    screen.RemoveTopPanel();
    OpenSteady("Ask");
    // The key-down and its character message each raise the event.
    EXPECT_TRUE(screen.Send(KeyDown(27)));
    EXPECT_EQ(screen.PendingEvent(), "Ask.No");
    screen.Frame();
    EXPECT_TRUE(screen.Send(Character(27)));
    screen.Frame();
    EXPECT_EQ(screen.handled, (std::vector<std::string>{"Ask.No", "Ask.No"}));

    no->Disable();
    EXPECT_TRUE(screen.Send(KeyDown(27)));
    EXPECT_EQ(screen.PendingEvent(), "");
}

TEST_F(PanelTest, OpeningResetsTheLookAndClosingWakesTheDialogButtons) {
    TwDialogPanel* dialog = MakeDialog("Dlg");
    TwButton* ok = dialog->AddButton("Interface/Btn", 25, 80, "Dlg.Ok", TwPanel::kDefaultRole);
    TwButton* cancel =
        dialog->AddButton("Interface/Btn", 75, 80, "Dlg.Cancel", TwPanel::kCancelRole);
    ok->SetHover();
    ok->ShowFocused();
    cancel->Disable();

    screen.OpenPanel("Dlg");
    EXPECT_FALSE(ok->IsHover());
    EXPECT_EQ(ok->Frame(), 0);
    EXPECT_TRUE(cancel->IsDisabled()) << "opening keeps the flag";
    EXPECT_EQ(cancel->Frame(), 0) << "but shows the normal look until disabled again";

    screen.SettleFades();
    screen.ClosePanel("Dlg");
    EXPECT_EQ(dialog->GetState(), TwPanel::kFadingOut);
    EXPECT_EQ(dialog->Alpha(), 255.0f);
    EXPECT_FALSE(cancel->IsDisabled());
    EXPECT_EQ(env.Played(TwGuiSounds::kCloseDialog), 1);
}

TEST_F(PanelTest, KeyboardFocusMovesTheFocusedLook) {
    TwDialogPanel* dialog = MakeDialog("Dlg");
    TwButton* first = dialog->AddButton("Interface/Btn", 25, 30, "Dlg.A", TwPanel::kPlainRole);
    TwButton* second = dialog->AddButton("Interface/Btn", 25, 60, "Dlg.B", TwPanel::kPlainRole);
    auto made = std::make_unique<TwSlider>();
    made->Create("Interface/Slider", "Interface/SliderThumb", 0, 255, 15);
    TwSlider* slider = dialog->AddElement("Dlg.Slider", std::move(made));
    OpenSteady("Dlg");

    EXPECT_EQ(dialog->GetFocused(), 0) << "nothing focused: the first element";
    dialog->SetFocus(1);
    EXPECT_EQ(dialog->Focus(), 1);
    EXPECT_TRUE(second->IsHover());
    EXPECT_EQ(second->Frame(), 1);
    EXPECT_EQ(dialog->GetFocused(), 1);

    dialog->SetFocus(2);
    EXPECT_FALSE(second->IsHover());
    EXPECT_EQ(second->Frame(), 0);
    EXPECT_TRUE(slider->IsHover());
    EXPECT_TRUE(dialog->IsCaptured()) << "a focused slider takes the mouse";
    dialog->SetFocus(0);
    EXPECT_FALSE(dialog->IsCaptured());

    second->SetHover();
    dialog->ClearOtherFocus(0);
    EXPECT_TRUE(first->IsHover());
    EXPECT_FALSE(second->IsHover());
    dialog->SetFocus(7); // outside the list: every look cleared, nothing focused
    EXPECT_FALSE(first->IsHover());
}

TEST_F(PanelTest, RemovedElementsLeaveNoDanglingPointers) {
    TwDialogPanel* dialog = MakeDialog("Dlg");
    TwButton* cancel =
        dialog->AddButton("Interface/Btn", 50, 80, "Dlg.Cancel", TwPanel::kCancelRole);
    for (const char* name : {"Ann", "Bob"}) {
        auto entry = std::make_unique<TwProfileButton>();
        entry->Load("Interface/ProfileItem");
        dialog->AddElement(name, std::move(entry));
    }
    dialog->PlaceElementByName(50, 30, "Ann");
    OpenSteady("Dlg");
    screen.Send(MouseMove(400, 260));
    screen.Send(LeftUp(400, 260));
    ASSERT_EQ(screen.PendingEvent(), "Ann");

    dialog->RemoveElementsOfKind(TwBaseGuiElemen::kProfileButton);
    EXPECT_EQ(dialog->ElementCount(), 1);
    EXPECT_EQ(screen.EventSource(), nullptr) << "the removed entry is no longer the source";
    dialog->RemoveElement(cancel);
    EXPECT_EQ(dialog->CancelButton(), nullptr);
    EXPECT_TRUE(screen.Send(KeyDown(27)));
}

TEST(ParagraphTest, LinesEndAfterEachHash) {
    TwParagraph paragraph;
    paragraph.SetText("GAME RULES#Burst three or more.");
    EXPECT_EQ(paragraph.Lines(), (std::vector<std::string>{"GAME RULES#", "Burst three or more."}));
    paragraph.SetText("A#");
    EXPECT_EQ(paragraph.Lines(), (std::vector<std::string>{"A#", ""}));
    paragraph.SetText("");
    EXPECT_EQ(paragraph.Lines(), (std::vector<std::string>{""}));
}

TEST(ParagraphTest, DoubleHashLeavesHalfABlankLineAndTheBlockIsCentred) {
    TwParagraph paragraph;
    paragraph.SetLineSpacing(20);
    paragraph.SetPosition({400, 300, 0});
    paragraph.SetText("One##Two");
    // Three lines of 20: the block starts 30 above the centre; the lone '#' takes 10.
    const auto placed = paragraph.Layout();
    ASSERT_EQ(placed.size(), 2u);
    EXPECT_EQ(placed[0].text, "One#");
    EXPECT_EQ(placed[0].y, 270);
    EXPECT_EQ(placed[1].text, "Two");
    EXPECT_EQ(placed[1].y, 300);
    EXPECT_EQ(placed[1].x, 400);

    paragraph.SetText("Score#5");
    ASSERT_EQ(paragraph.Layout().size(), 2u) << "a one-character line is text, not a gap";
}

TEST(ParagraphTest, LineSpacingComesFromTheFontOnceOnly) {
    GuiEnvironment env;
    TwParagraph paragraph;
    paragraph.SetFont(0);
    EXPECT_EQ(paragraph.LineSpacing(), 15); // three quarters of the 20-pixel font
    paragraph.SetLineSpacing(30);
    paragraph.SetFont(0);
    EXPECT_EQ(paragraph.LineSpacing(), 30);
    TwParagraph noFont;
    noFont.SetFont(9);
    EXPECT_EQ(noFont.LineSpacing(), -1);
}

} // namespace
