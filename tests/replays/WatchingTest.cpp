// Watching recorded games in the application: from the high-score table, from the result
// dialog of the game just played, and the aim guide's check box in the options.
#include <filesystem>

#include "Game.h"
#include "GameAppHarness.h"
#include "GameScreenFixture.h"
#include "MenuGui.h"
#include "RenderCompare.h"
#include "ReplayRecorder.h"
#include "data/TwDefFile.h"
#include "data/TwSysConfig.h"
#include "gfx/TwClip.h"
#include "gui/TwLabelledCheckBox.h"
#include "gui/TwScoreDlg.h"
#include "platform/input/TwEvents.h"
#include "platform/os/TwRand.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"
#include "records/TwHighScoreTables.h"
#include "records/TwTop.h"

namespace {

const std::string kGolden = zvtest::SourceDir() + "/tests/replays/golden/Classic-2-2-12.Twv";

// A Classic table whose first entry keeps a real game and whose second keeps a damaged one.
void WriteTableWithRecordings() {
    const std::string folder = TwUserPath(ReplayRecorder::kFolder);
    ASSERT_TRUE(TwMakeDirs(folder));
    std::filesystem::copy_file(kGolden, folder + "good.Twv");
    ASSERT_TRUE(TwWriteFileAtomic(folder + "bad.Twv", "ZVRP\x01\x05"));
    ASSERT_TRUE(TwWriteFileAtomic(TwUserPath("Data/Classic.Twt"),
                                  "0.PlayerName=\"Ann\"\n0.Scores=870\n0.Replay=\"good.Twv\"\n"
                                  "0.Guided=1\n1.PlayerName=\"Bob\"\n1.Scores=500\n"
                                  "1.Replay=\"bad.Twv\"\n2.PlayerName=\"Cy\"\n2.Scores=100\n"
                                  "NumRecords=3\n"));
}

// The screen height at which the dialog draws a row.
float RowY(const TwScoreDlg& dialog, int row) {
    for (int y = 0; y < 600; ++y) {
        if (dialog.RowAt(static_cast<float>(y)) == row) {
            return static_cast<float>(y + 4);
        }
    }
    ADD_FAILURE() << "no row " << row;
    return 0.0f;
}

} // namespace

TEST(Watching, AnEntryOfTheTableIsWatchedAndEscapeGoesBackToTheTable) {
    zvtest::GameAppHarness harness;
    harness.WriteProfiles({"Ann"});
    WriteTableWithRecordings();
    ASSERT_TRUE(harness.Start());
    std::vector<std::string> messages;
    TwSetMessageSink(
        [&messages](const std::string&, const std::string& text) { messages.push_back(text); });
    harness.Settle();
    harness.Click(TwBaseMenuGui::kMainMenu, "MainMenuDlg.Score");
    harness.Frames(40);
    TwScoreDlg& dialog = *harness.Menu().ScoreDialog();
    harness.Screenshot("replay-table");

    // An entry without a recording does nothing; a damaged one says so and stays.
    harness.ClickAt(TwVector(400, RowY(dialog, 2)));
    EXPECT_EQ(harness.TopName(), TwBaseMenuGui::kScoreDialog);
    harness.ClickAt(TwVector(400, RowY(dialog, 1)));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("cannot be watched"), std::string::npos) << messages[0];
    EXPECT_EQ(harness.CurrentScreen(), static_cast<TwEventListener*>(&harness.Menu()));

    harness.ClickAt(TwVector(400, RowY(dialog, 0)));
    Game& game = *harness.RealGame();
    ASSERT_TRUE(game.Replaying());
    EXPECT_EQ(harness.CurrentScreen(), static_cast<TwEventListener*>(&game));
    harness.Frames(400); // eight seconds of the game
    EXPECT_GT(game.ShotsFired(), 0);
    harness.Screenshot("replay-midway");
    harness.Key("Space");
    EXPECT_EQ(game.ReplaySpeed(), 8);
    harness.Frames(100);
    harness.Key("Escape");
    harness.Settle();
    EXPECT_FALSE(game.Replaying());
    EXPECT_EQ(harness.CurrentScreen(), static_cast<TwEventListener*>(&harness.Menu()));
    EXPECT_EQ(harness.TopName(), TwBaseMenuGui::kScoreDialog);
    // Nothing was entered and nothing saved.
    EXPECT_EQ(TwHighScoreTable(0)->Count(), 3);
    EXPECT_FALSE(std::filesystem::exists(TwUserPath("Data/Save/Ann.Tws")));
    harness.Stop();
    TwSetMessageSink(nullptr);
}

// Without the mouse: the entries that keep a recording are focus stops between the arrows
// and the buttons, lit while focused; Enter (or a controller's A) watches the focused one.
TEST(Watching, TheTableIsWatchedWithTheKeyboardAndAController) {
    zvtest::GameAppHarness harness;
    harness.WriteProfiles({"Ann"});
    WriteTableWithRecordings();
    ASSERT_TRUE(harness.Start());
    TwSetMessageSink([](const std::string&, const std::string&) {});
    harness.Settle();
    harness.Click(TwBaseMenuGui::kMainMenu, "MainMenuDlg.Score");
    harness.Frames(40);
    TwScoreDlg& dialog = *harness.Menu().ScoreDialog();

    // Tab goes round every stop once: the two recorded entries in table order, never the
    // third (nothing to watch), and every button.
    // Five stops: the right arrow, the two entries, Clear and OK.
    std::vector<int> rows;
    for (int i = 0; i < 15; ++i) {
        harness.Key("Tab");
        if (dialog.FocusedRow() >= 0) {
            rows.push_back(dialog.FocusedRow());
        }
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 0, 1, 0, 1}));

    // Down from the damaged entry's neighbour: the focus shows, Enter asks for the damaged
    // game and the table stays with its message; on the good one Enter starts watching.
    while (dialog.FocusedRow() != 0) {
        harness.Key("Down");
    }
    harness.Screenshot("replay-table-keyboard");
    harness.Key("Down");
    EXPECT_EQ(dialog.FocusedRow(), 1);
    harness.Key("Return");
    EXPECT_EQ(harness.TopName(), TwBaseMenuGui::kScoreDialog);
    harness.Key("Up");
    EXPECT_EQ(dialog.FocusedRow(), 0);
    harness.Key("Return");
    Game& game = *harness.RealGame();
    ASSERT_TRUE(game.Replaying());
    harness.Frames(20);
    harness.Key("Escape");
    harness.Settle();
    EXPECT_FALSE(game.Replaying());
    ASSERT_EQ(harness.TopName(), TwBaseMenuGui::kScoreDialog);

    // A controller speaks as keys, its button in the message (the platform's mapping is
    // tested with a virtual controller in test_platform): the d-pad moves the focus and A
    // watches.
    auto pad = [&harness](std::uint32_t key, int button) {
        harness.App().HandleMessage({kTwMsgKeyDown, key, button + 1, 0});
        harness.App().HandleMessage({kTwMsgKeyUp, key, button + 1, 0});
        harness.Frame();
    };
    constexpr int kPadA = 0, kPadDown = 12; // SDL's numbers of the buttons
    harness.Key("Tab"); // away from the entry: the d-pad must bring the focus back
    ASSERT_NE(dialog.FocusedRow(), 0);
    for (int i = 0; i < 8 && dialog.FocusedRow() != 0; ++i) {
        pad(40, kPadDown);
    }
    ASSERT_EQ(dialog.FocusedRow(), 0);
    pad(32, kPadA);
    EXPECT_TRUE(game.Replaying());
    harness.Key("Escape");
    harness.Settle();
    harness.Stop();
    TwSetMessageSink(nullptr);
}

TEST(Watching, TheAimGuideBoxIsKeptInTheSettings) {
    zvtest::GameAppHarness harness;
    harness.WriteProfiles({"Ann"});
    ASSERT_TRUE(harness.Start());
    harness.Settle();
    EXPECT_FALSE(TwSysConfig::Instance().AimGuide);
    harness.Click(TwBaseMenuGui::kMainMenu, "MainMenuDlg.Options");
    const auto* box = dynamic_cast<const TwLabelledCheckBox*>(
        harness.Element(MenuGui::kOptionsDialog, "OptionsDlg.AimGuideCheckBox"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Label(), "Aim guide");
    harness.Click(MenuGui::kOptionsDialog, "OptionsDlg.AimGuideCheckBox");
    EXPECT_TRUE(TwSysConfig::Instance().AimGuide);
    harness.Screenshot("options-aim-guide");
    TwDefFile settings;
    ASSERT_EQ(settings.LoadFromFile(TwSysConfig::Instance().FilePath()), 0);
    EXPECT_EQ(settings.GetInt("AimGuide", 0), 1);

    // In play, aimed at a bounce off the left wall: the guide's faint bubble sits in the cell
    // the shot then fills, and the game is marked as played with the guide.
    harness.Click(MenuGui::kOptionsDialog, "OptionsDlg.Ok");
    harness.Click(TwBaseMenuGui::kMainMenu, "MainMenuDlg.Classic");
    Game& game = *harness.RealGame();
    for (int i = 0; i < 400 && game.Field()->MapState != GameMap::kReady; ++i) {
        harness.Frame();
    }
    harness.MoveTo(250, 420);
    harness.Frames(30);
    harness.Screenshot("aim-guide-in-play");
    EXPECT_TRUE(game.Recorder().Current().guided);
    const std::vector<std::uint32_t> guided = zvtest::DrawnPicture(game);
    TwSysConfig::Instance().AimGuide = false;
    const std::vector<std::uint32_t> plain = zvtest::DrawnPicture(game);
    TwSysConfig::Instance().AimGuide = true;
    harness.LeftClick(250, 420);
    ASSERT_TRUE(game.GetLauncher()->Flying());
    const TwCell filled = game.Field()->TargetCell();
    const TwVector centre = game.Field()->CellToScreen(filled.x, filled.y);
    const int radius = game.Field()->Radius();
    int changed = 0;
    for (int y = -radius; y < radius; ++y) {
        for (int x = -radius; x < radius; ++x) {
            const std::size_t at = static_cast<std::size_t>(centre.y + y) * 800u +
                                   static_cast<std::size_t>(centre.x + x);
            changed += guided.at(at) != plain.at(at);
        }
    }
    // Most of the cell, not a dot or two of the route passing by.
    EXPECT_GT(changed, 2 * radius * radius) << "cell " << filled.x << "," << filled.y;
    harness.Key("Escape");
    harness.Settle();
    harness.Click(TwBaseMenuGui::kMainMenu, "MainMenuDlg.Options");
    harness.Click(MenuGui::kOptionsDialog, "OptionsDlg.AimGuideCheckBox");
    EXPECT_FALSE(TwSysConfig::Instance().AimGuide);
    harness.Stop();
}

using gstest::GameScreenTest;

class WatchTheGameJustPlayed : public GameScreenTest {};

TEST_F(WatchTheGameJustPlayed, TheResultDialogReplaysItAndItsEntryCarriesTheGuideSign) {
    TwSysConfig::Instance().AimGuide = true;
    TwSRand(31);
    StartGame(Game::kClassic);
    for (int shot = 0; shot < 1500 && game.State() == PlayState::kPlaying; ++shot) {
        int refused = 0;
        while (!ShootAt(BotAim()) && game.State() == PlayState::kPlaying && ++refused < 5) {
        }
    }
    TwSysConfig::Instance().AimGuide = false;
    ASSERT_NE(game.State(), PlayState::kPlaying);
    const ReplayResult live = game.CurrentResult();
    ASSERT_GT(live.score, 0);
    EXPECT_TRUE(Table(ModeNumber(Game::kClassic)).Records()[0].Guided);
    EXPECT_TRUE(game.Recorder().Current().guided);

    const char* panel =
        live.outcome == ReplayResult::kLost ? Game::kGameOverPanel : Game::kCompletePanel;
    const char* watch =
        live.outcome == ReplayResult::kLost ? Game::kGameOverWatch : Game::kCompleteWatch;
    ASSERT_TRUE(RunUntil([&] { return game.GetPanel(panel)->IsSteady(); }));
    const TwBaseGuiElemen* button = game.GetPanel(panel)->FindElement(watch);
    ASSERT_NE(button, nullptr);
    std::vector<std::string> messages;
    TwSetMessageSink(
        [&messages](const std::string&, const std::string& text) { messages.push_back(text); });
    EXPECT_FALSE(button->IsDisabled());
    // The application test before may have closed the packs, so the button may lack its
    // picture to be clicked on; its event is the same.
    if (button->Clip() != nullptr && button->Clip()->Width() > 0) {
        LeftClick(button->Position().x, button->Position().y);
    } else {
        game.SetPendingEvent(watch);
    }
    Frame();
    TwSetMessageSink([](const std::string&, const std::string&) {});
    for (const std::string& message : messages) {
        EXPECT_EQ(message.find("cannot be watched"), std::string::npos) << message;
    }
    ASSERT_TRUE(game.Replaying());
    EXPECT_FALSE(game.IsOpen(panel));
    ASSERT_TRUE(RunUntil([&] { return game.IsOpen(panel); }, 100000));
    EXPECT_EQ(game.CurrentResult(), live);
    // Its OK leads to the menu; the table has still one entry.
    game.SetPendingEvent(live.outcome == ReplayResult::kLost ? Game::kGameOverButton
                                                             : Game::kCompleteButton);
    Frame();
    EXPECT_FALSE(game.Replaying());
    EXPECT_EQ(router.Current(), &menu);
    EXPECT_EQ(Table(ModeNumber(Game::kClassic)).Count(), 1);
}
