// Screens, their panel stacks and the one pending event, driven by input records as the
// window delivers them.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/TwButton.h"
#include "gui/TwEventRouter.h"
#include "gui/TwGuiSound.h"

using namespace guitest;

namespace {

class EventRoutingTest : public ::testing::Test {
protected:
    // A window panel at the bottom with two buttons side by side, steady.
    void SetUp() override {
        auto window = std::make_unique<TwPanel>();
        window->AddButton("Interface/Btn", 0, 0, "Win.Left", TwPanel::kPlainRole)
            ->SetPosition({200, 300, 0});
        window->AddButton("Interface/Btn", 0, 0, "Win.Right", TwPanel::kPlainRole)
            ->SetPosition({600, 300, 0});
        screen.AddPanel("Win", std::move(window));
        screen.OpenPanel("Win");
        screen.SettleFades();
    }

    void Click(float x, float y) {
        screen.Send(MouseMove(x, y));
        screen.Send(LeftDown(x, y));
        screen.Send(LeftUp(x, y));
    }

    // A dialog with one button at the screen centre.
    TwPanel* AddDialog(const std::string& name) {
        auto dialog = std::make_unique<TwPanel>();
        dialog->AddButton("Interface/Btn", 0, 0, name + ".Ok", TwPanel::kCancelRole)
            ->SetPosition({400, 300, 0});
        return screen.AddPanel(name, std::move(dialog));
    }

    GuiEnvironment env;
    RecordingScreen screen;
};

TEST_F(EventRoutingTest, OnlyTheLastOfSeveralEventsBeforeAFrameIsHandled) {
    Click(200, 300);
    Click(600, 300);
    ASSERT_EQ(screen.PendingEvent(), "Win.Right");
    screen.Frame();
    EXPECT_EQ(screen.handled, std::vector<std::string>{"Win.Right"});
    EXPECT_EQ(screen.PendingEvent(), "");
    EXPECT_EQ(screen.EventSource(), nullptr);
}

TEST_F(EventRoutingTest, AClickDuringTheFadeInIsIgnoredAndLeftForTheScreen) {
    AddDialog("Dlg");
    screen.OpenPanel("Dlg");
    TwInputEvent move = MouseMove(400, 300);
    EXPECT_FALSE(screen.HandleInput(move));
    EXPECT_EQ(move.eventClass, TwInputEvent::kMouse) << "an ignored record stays unconsumed";
    TwInputEvent up = LeftUp(400, 300);
    EXPECT_FALSE(screen.HandleInput(up));
    EXPECT_EQ(up.messageId, 0x202);
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty());

    // About 255 ms of frames later the dialog answers.
    for (int i = 0; i < 26; ++i) {
        screen.Frame(10);
    }
    ASSERT_TRUE(screen.TopPanel()->IsSteady());
    TwInputEvent again = MouseMove(400, 300);
    EXPECT_TRUE(screen.HandleInput(again));
    EXPECT_EQ(again.eventClass, 0);
    EXPECT_EQ(again.messageId, -1);
    TwInputEvent release = LeftUp(400, 300);
    EXPECT_TRUE(screen.HandleInput(release));
    EXPECT_EQ(release.button, 0);
    screen.Frame();
    EXPECT_EQ(screen.handled, std::vector<std::string>{"Dlg.Ok"});
}

TEST_F(EventRoutingTest, OnlyTheTopPanelTakesInput) {
    AddDialog("Dlg");
    screen.OpenPanel("Dlg");
    screen.SettleFades();
    Click(200, 300); // a window button under the dialog
    screen.Frame();
    EXPECT_TRUE(screen.handled.empty());
    EXPECT_FALSE(screen.GetPanel("Win")->FindElement("Win.Left")->IsHover());
}

TEST_F(EventRoutingTest, EmptyRecordsAndEmptyStacksAreHarmless) {
    TwInputEvent none;
    none.eventClass = 0;
    none.messageId = 0x202;
    EXPECT_TRUE(screen.HandleInput(none));
    EXPECT_EQ(none.messageId, 0x202) << "an empty record is not touched";

    RecordingScreen bare;
    EXPECT_FALSE(bare.Send(LeftUp(10, 10)));
    bare.RemoveTopPanel("Anything");
    bare.OpenPanel("Never");
    bare.ClosePanel("Never");
    EXPECT_EQ(bare.GetPanel("Never"), nullptr);
    EXPECT_TRUE(bare.PanelStack().empty());
    bare.Update(10);
    bare.Draw();
}

TEST_F(EventRoutingTest, RemoveTopPanelDropsWhateverIsOnTop) {
    AddDialog("A");
    AddDialog("B");
    screen.OpenPanel("A");
    screen.OpenPanel("B");
    screen.RemoveTopPanel("A");
    ASSERT_EQ(screen.PanelStack().size(), 2u);
    EXPECT_EQ(screen.TopPanel()->Name(), "A");
    EXPECT_FALSE(screen.IsOpen("B"));
}

TEST_F(EventRoutingTest, AClosedPanelLeavesTheStackWhenItsFadeOutEnds) {
    TwPanel* dialog = AddDialog("Dlg");
    screen.OpenPanel("Dlg");
    screen.SettleFades();
    env.ClearSounds();
    screen.ClosePanel("Dlg");
    EXPECT_EQ(env.Played(TwGuiSounds::kCloseDialog), 1);
    EXPECT_EQ(screen.TopPanel(), dialog) << "still shown while it fades";
    EXPECT_FALSE(screen.Send(MouseMove(400, 300))) << "a fading panel takes no input";
    int frames = 0;
    while (screen.IsOpen("Dlg") && frames < 100) {
        screen.Frame(10);
        ++frames;
    }
    EXPECT_EQ(frames, 26);
    EXPECT_EQ(screen.TopPanel()->Name(), "Win");
    EXPECT_TRUE(dialog->IsSteady());
    EXPECT_EQ(dialog->Alpha(), 255.0f) << "ready for its next opening";
}

TEST(EventRoutingDrawTest, TheDialogBelowTheTopFadesOppositeToIt) {
    GuiEnvironment env;
    std::vector<std::pair<std::string, float>> log;
    RecordingScreen screen;
    for (const char* name : {"Win", "First", "Second"}) {
        screen.AddPanel(name, std::make_unique<LoggingPanel>(&log));
    }
    screen.OpenPanel("Win");
    screen.SettleFades();

    // Window and one dialog: the window is drawn twice, then the dialog.
    screen.OpenPanel("First");
    screen.SettleFades();
    log.clear();
    screen.Draw();
    using Entries = std::vector<std::pair<std::string, float>>;
    EXPECT_EQ(log, (Entries{{"Win", 255.0f}, {"Win", 255.0f}, {"First", 255.0f}}));

    // A second dialog fading in: the first takes 255 minus its alpha; nothing else is drawn.
    screen.OpenPanel("Second");
    screen.Update(100);
    log.clear();
    screen.Draw();
    EXPECT_EQ(log, (Entries{{"Win", 255.0f}, {"First", 155.0f}, {"Second", 100.0f}}));

    // With every panel drawn, the stack is drawn bottom first.
    screen.SetDrawAllPanels(true);
    log.clear();
    screen.Draw();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].first, "First");
}

TEST(EventRoutingRegistryTest, APanelReplacedUnderItsNameStaysUsableWhileOpen) {
    GuiEnvironment env;
    RecordingScreen screen;
    TwPanel* first = screen.AddPanel("Dlg", std::make_unique<TwPanel>());
    screen.OpenPanel("Dlg");
    TwPanel* second = screen.AddPanel("Dlg", std::make_unique<TwPanel>());
    EXPECT_EQ(screen.GetPanel("Dlg"), second);
    EXPECT_EQ(second->Owner(), &screen);
    EXPECT_EQ(screen.TopPanel(), first);
    screen.SettleFades();
    EXPECT_TRUE(first->IsSteady());
}

TEST(EventRouterTest, SwitchingScreensConsumesTheRecordAndDropsThePendingEvent) {
    GuiEnvironment env;
    TwInputEvent record = LeftUp(5, 5);
    int quits = 0;
    TwEventRouter router(&record, [&quits] { ++quits; });
    RecordingScreen menu, game;
    router.AddScreen("MenuWin", &menu);
    router.AddScreen("GameWin", &game);
    EXPECT_EQ(router.Current(), &game) << "the screen added last is current";
    EXPECT_EQ(router.GetScreen("MenuWin"), &menu);
    EXPECT_EQ(router.GetScreen("Nowhere"), nullptr);

    game.SetPendingEvent("GameMenu.ToMenu");
    EXPECT_TRUE(router.SwitchScreen("MenuWin"));
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_EQ(game.PendingEvent(), "");
    EXPECT_EQ(record.eventClass, 0);
    EXPECT_EQ(record.messageId, -1);
    EXPECT_EQ(record.button, 0);

    EXPECT_FALSE(router.SwitchScreen("Nowhere"));
    EXPECT_EQ(router.Current(), &menu) << "an unknown name never leaves the game without a screen";

    router.RequestQuit();
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(router.QuitRequested());
}

TEST(EventRouterTest, ForwardedInputReachesOnlyTheCurrentScreen) {
    GuiEnvironment env;
    TwInputEvent record;
    TwEventRouter router(&record);
    EXPECT_FALSE(router.ForwardInput()) << "no screen yet";

    RecordingScreen menu, game;
    for (RecordingScreen* screen : {&menu, &game}) {
        auto panel = std::make_unique<TwPanel>();
        panel->AddButton("Interface/Btn", 0, 0, "Win.Go", TwPanel::kPlainRole)
            ->SetPosition({400, 300, 0});
        screen->AddPanel("Win", std::move(panel));
        screen->OpenPanel("Win");
        screen->SettleFades();
    }
    router.AddScreen("MenuWin", &menu);
    router.AddScreen("GameWin", &game);
    router.SwitchScreen("MenuWin");
    for (const TwInputEvent& event : {MouseMove(400, 300), LeftUp(400, 300)}) {
        record = event;
        EXPECT_TRUE(router.ForwardInput());
    }
    EXPECT_EQ(menu.PendingEvent(), "Win.Go");
    EXPECT_EQ(game.PendingEvent(), "");
}

} // namespace
