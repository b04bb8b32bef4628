// Whose slot a game is saved into when the program ends after the active player changed.
#include <gtest/gtest.h>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "data/TwDefFile.h"
#include "gui/TwProfileButton.h"
#include "gui/TwProfileDlg.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwProfileStore.h"

using menutest::MenuHarness;

namespace {

// Bob's Arcade game of three bubbles, as a slot holds it.
const std::string kBobsGame = "GameID = 1\nPlayerBubbleID = 3\nNextPlayerBubbleID = 3\n"
                              "Map = {[5 5 5]}\n";

std::string Slot(const std::string& name) {
    std::string bytes;
    TwReadFile(TwUserPath(TwProfileStore::SlotGameName(name)), bytes);
    return bytes;
}

// Ann plays Classic and leaves it with Escape (her game is saved), then opens the players
// dialog and clicks Bob, who becomes the active player at once.
void AnnLeavesHerGameThenPicksBob(MenuHarness& menu) {
    menu.WriteProfiles({"Ann", "Bob"});
    ASSERT_TRUE(TwWriteFileAtomic(TwUserPath(TwProfileStore::SlotGameName("Bob")), kBobsGame));
    ASSERT_TRUE(menu.Start(true));
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    menu.Frames(60);
    menu.Key("Escape");
    menu.Settle();
    ASSERT_FALSE(menu.GameScreen()->IsFinished());
    ASSERT_NE(Slot("Ann"), "");

    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    TwProfileButton* bob = menu.Menu().ProfileDialog()->FindEntry("Bob");
    ASSERT_NE(bob, nullptr);
    menu.ClickAt(bob->Position());
    ASSERT_EQ(TwProfileStore::Instance().ActiveName(), "Bob");
}

// After the program ends, Bob's slot still holds Bob's game and Ann's holds hers.
void ExpectEachGameInItsOwnSlot() {
    EXPECT_EQ(Slot("Bob"), kBobsGame) << "Bob's saved game was overwritten";
    TwDefFile ann;
    ASSERT_EQ(ann.LoadFromFile(TwUserPath(TwProfileStore::SlotGameName("Ann"))), 0);
    EXPECT_EQ(ann.GetInt("GameID", -1), 0) << "Ann's Classic game is not in her slot";
}

} // namespace

TEST(SaveSlots, ClosingWithAnotherPlayerPickedKeepsBothGames) {
    MenuHarness menu;
    AnnLeavesHerGameThenPicksBob(menu);
    menu.Stop();
    ExpectEachGameInItsOwnSlot();
}

TEST(SaveSlots, ClosingAfterACancelledNewPlayerKeepsBothGames) {
    MenuHarness menu;
    AnnLeavesHerGameThenPicksBob(menu);
    menu.Click("ProfileDlg", "ProfileDlg.Add");
    ASSERT_EQ(menu.TopName(), "PlayerNameDlg");
    menu.Key("Escape");
    menu.Settle();
    ASSERT_EQ(menu.TopName(), "ProfileDlg");
    menu.Stop();
    ExpectEachGameInItsOwnSlot();
}
