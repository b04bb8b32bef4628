#include <gtest/gtest.h>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "gui/TwBaseGuiElemen.h"
#include "gui/TwPanel.h"
#include "gui/TwScoreDlg.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

using menutest::FakeGame;
using menutest::MenuHarness;

namespace {

bool GameMusicPlays() {
    TwSoundManager& sound = TwSoundManager::Instance();
    return sound.CurrentPlayList() == sound.PlayList(kTwGamePlayList);
}

} // namespace

// Classic from the menu, out with Escape (the game is saved), back in with Continue, and a
// second Classic that asks before replacing the saved game.
TEST(GameFlow, ClassicSaveContinueAndConfirmedRestart) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    FakeGame& game = menu.Game();

    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    EXPECT_EQ(menu.CurrentScreen(), &game);
    EXPECT_EQ(game.gameId, 0);
    EXPECT_EQ(game.setUps, 1);
    EXPECT_EQ(game.newGames, 1);
    EXPECT_TRUE(GameMusicPlays());
    const int field = game.field;

    menu.Key("Escape");
    menu.Frame();
    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_FALSE(menu.App().ContinueButton()->IsDisabled()) << "Continue follows the save";

    // Continue: the same field comes back.
    game.field = 0;
    menu.Click("MainMenuDlg", "MainMenuDlg.Continue");
    EXPECT_EQ(menu.CurrentScreen(), &game);
    EXPECT_EQ(game.restores, 1);
    EXPECT_EQ(game.field, field);
    EXPECT_TRUE(GameMusicPlays());

    // Classic again over the saved game: asked first; Continue in the question restores.
    menu.Key("Escape");
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());
    EXPECT_EQ(menu.TopName(), "ConfirmGameDlg");
    menu.Screenshot("confirm-new-game");
    menu.Click("ConfirmGameDlg", "ConfirmGameDlg.Continue");
    EXPECT_EQ(menu.CurrentScreen(), &game);
    EXPECT_EQ(game.restores, 2);
    EXPECT_EQ(game.newGames, 1);
    EXPECT_EQ(menu.TopName(), "MainMenuDlg") << "the question goes at once";

    // Escape on the question leaves it: nothing starts and the saved game stays.
    menu.Key("Escape");
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Arcade");
    ASSERT_EQ(menu.TopName(), "ConfirmGameDlg");
    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    EXPECT_EQ(game.newGames, 1);
    EXPECT_EQ(game.restores, 2);
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());

    // Arcade over it, confirmed: a fresh Arcade field and the old save is gone.
    menu.Click("MainMenuDlg", "MainMenuDlg.Arcade");
    ASSERT_EQ(menu.TopName(), "ConfirmGameDlg");
    menu.Click("ConfirmGameDlg", "ConfirmGameDlg.Ok");
    EXPECT_EQ(menu.CurrentScreen(), &game);
    EXPECT_EQ(game.gameId, 1);
    EXPECT_EQ(game.newGames, 2);
    EXPECT_NE(game.field, field);
    EXPECT_FALSE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
}

// A game of the same mode that was finished keeps its field; another mode sets one up.
TEST(GameFlow, NewGameReusesTheFieldOfTheSameMode) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    FakeGame& game = menu.Game();

    menu.Click("MainMenuDlg", "MainMenuDlg.Arcade");
    game.Lose(10);
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Arcade");
    EXPECT_EQ(game.setUps, 1);
    EXPECT_EQ(game.newGames, 2);
    game.Lose(10);
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    EXPECT_EQ(game.setUps, 2);
    EXPECT_EQ(game.gameId, 0);
}

// A saved game that cannot be read leaves the player in the menu with the menu music.
TEST(GameFlow, UnreadableSaveKeepsThePlayerInTheMenu) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwProfileStore& store = TwProfileStore::Instance();
    ASSERT_TRUE(TwWriteFileAtomic(store.SavePath(), "garbage, not a game"));
    store.CheckSavedGame();
    menu.Frame();
    ASSERT_FALSE(menu.App().ContinueButton()->IsDisabled());

    menu.Click("MainMenuDlg", "MainMenuDlg.Continue");
    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());
    EXPECT_FALSE(GameMusicPlays());
    EXPECT_EQ(menu.Game().restores, 1);
}

// A lost game's score shows in its mode's table; clearing asks first and empties it for good.
TEST(GameFlow, LostGameScoreInTheTableThenCleared) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();

    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    menu.Game().Lose(1234);
    menu.Settle();
    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());

    menu.Click("MainMenuDlg", "MainMenuDlg.Score");
    ASSERT_EQ(menu.TopName(), "ScoreDlg");
    TwScoreDlg* scores = menu.Menu().ScoreDialog();
    EXPECT_EQ(scores->CurrentTable(), 0);
    EXPECT_TRUE(menu.Element("ScoreDlg", "ScoreDlg.Prev")->IsDisabled());
    EXPECT_FALSE(menu.Element("ScoreDlg", "ScoreDlg.Next")->IsDisabled());
    TwTop* classic = TwHighScoreTable(0);
    ASSERT_NE(classic, nullptr);
    ASSERT_EQ(classic->Count(), 1);
    EXPECT_EQ(classic->Records()[0].PlayerName, "Ann");
    EXPECT_EQ(classic->Records()[0].Scores, 1234);
    EXPECT_EQ(classic->Records()[0].DisplayAlpha, 255) << "the row has faded in";
    menu.Screenshot("score-dialog-classic");

    menu.Click("ScoreDlg", "ScoreDlg.Next");
    EXPECT_EQ(scores->CurrentTable(), 1);
    EXPECT_TRUE(menu.Element("ScoreDlg", "ScoreDlg.Next")->IsDisabled());
    menu.Screenshot("score-dialog-arcade");
    menu.Click("ScoreDlg", "ScoreDlg.Prev");
    EXPECT_EQ(scores->CurrentTable(), 0);

    // Cancel keeps the table, OK empties it on disk as well.
    menu.Click("ScoreDlg", "ScoreDlg.Clear");
    ASSERT_EQ(menu.TopName(), "ConfirmScoreClearDlg");
    menu.Screenshot("confirm-clear-scores");
    menu.Click("ConfirmScoreClearDlg", "ConfirmScoreClearDlg.Cancel");
    EXPECT_EQ(classic->Count(), 1);
    menu.Click("ScoreDlg", "ScoreDlg.Clear");
    menu.Click("ConfirmScoreClearDlg", "ConfirmScoreClearDlg.Ok");
    EXPECT_EQ(menu.TopName(), "ScoreDlg");
    EXPECT_EQ(classic->Count(), 0);
    TwTop reread("Data/Classic.Twt");
    reread.Load();
    EXPECT_EQ(reread.Count(), 0);

    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
}

TEST(GameFlow, ExitEndsTheProgram) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    EXPECT_FALSE(menu.QuitRequested());
    menu.Click("MainMenuDlg", "MainMenuDlg.Exit");
    EXPECT_TRUE(menu.QuitRequested());
}

// A game under way when the program ends is kept for its player.
TEST(GameFlow, GameUnderWayIsSavedAtShutdown) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    ASSERT_FALSE(TwProfileStore::Instance().HasSavedGame());
    const std::string savePath = TwProfileStore::Instance().SavePath();

    menu.Stop();
    std::string bytes;
    ASSERT_TRUE(TwReadFile(savePath, bytes));
    EXPECT_EQ(bytes.rfind("ZVFAKE 0 ", 0), 0u);
}

// The menu with the real game screen: a Classic game, left with Escape and continued.
TEST(GameFlow, RealGameIsStartedLeftAndContinued) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start(true));
    menu.Settle();
    GameControl* game = menu.GameScreen();

    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    EXPECT_EQ(menu.CurrentScreen(), game);
    EXPECT_FALSE(game->IsFinished());
    EXPECT_EQ(game->Mode(), GameMode::kClassic);
    menu.Frames(40);
    menu.Screenshot("game-classic");

    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.CurrentScreen(), &menu.Menu());
    EXPECT_TRUE(TwProfileStore::Instance().HasSavedGame());
    EXPECT_FALSE(menu.App().ContinueButton()->IsDisabled());
    EXPECT_NE(menu.Menu().CurrentBubble(), nullptr) << "the menu launcher uses the game's bubbles";

    menu.Click("MainMenuDlg", "MainMenuDlg.Continue");
    EXPECT_EQ(menu.CurrentScreen(), game);
    EXPECT_FALSE(game->IsFinished());
    EXPECT_TRUE(GameMusicPlays());
}
