#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuGui.h"
#include "MenuTestSupport.h"
#include "TestSupport.h"
#include "data/TwLanguage.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "gui/TwPanel.h"
#include "gui/TwProfileButton.h"
#include "gui/TwProfileDlg.h"
#include "gui/TwTextDialogPanel.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

using menutest::MenuHarness;

namespace {

TwProfileButton& Entry(MenuHarness& menu, const std::string& name) {
    TwProfileButton* entry = menu.Menu().ProfileDialog()->FindEntry(name);
    EXPECT_NE(entry, nullptr) << "no entry for " << name;
    return *entry;
}

int EntryCount(MenuHarness& menu) {
    int count = 0;
    for (const auto& element : menu.Menu().ProfileDialog()->Elements()) {
        count += element->GetKind() == TwBaseGuiElemen::kProfileButton ? 1 : 0;
    }
    return count;
}

// What the profiles file says after a fresh read.
std::string ActiveOnDisk() {
    TwProfileStore reread;
    reread.LoadProfiles();
    return reread.ActiveName();
}

} // namespace

// Picking another player (the right button works too) takes effect at once; OK saves it and
// the game left on the game screen can no longer be continued.
TEST(Profiles, SelectingAnotherPlayerSavesAndEndsTheGameUnderWay) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "Bob"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    menu.Key("Escape");
    menu.Settle();
    ASSERT_FALSE(menu.Game().IsFinished());

    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    ASSERT_EQ(menu.TopName(), "ProfileDlg");
    EXPECT_EQ(EntryCount(menu), 2);
    EXPECT_EQ(Entry(menu, "Ann").Frame(), 2) << "the active player is marked";
    EXPECT_EQ(Entry(menu, "Bob").Frame(), 0);
    menu.Screenshot("profile-dialog");

    const TwVector bob = Entry(menu, "Bob").Position();
    menu.RightClick(bob.x, bob.y);
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "Bob");
    EXPECT_EQ(Entry(menu, "Bob").Frame(), 2);
    EXPECT_EQ(Entry(menu, "Ann").Frame(), 0);
    EXPECT_EQ(menu.TopName(), "ProfileDlg");

    // Moving the mouse away keeps the mark on the active player.
    menu.MoveTo(10, 10);
    menu.Frame();
    EXPECT_EQ(Entry(menu, "Bob").Frame(), 2);

    menu.Click("ProfileDlg", "ProfileDlg.Ok");
    EXPECT_EQ(menu.TopName(), "MainMenuDlg");
    EXPECT_EQ(menu.Game().suspends, 1);
    EXPECT_TRUE(menu.Game().IsFinished());
    EXPECT_EQ(ActiveOnDisk(), "Bob");
    EXPECT_EQ(menu.Menu().WelcomeButton()->Caption(), "WELCOME: Bob");
}

TEST(Profiles, AddingAPlayerAppendsAndSelectsTheEntry) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");

    // Cancel is allowed now that a player exists.
    menu.Click("ProfileDlg", "ProfileDlg.Add");
    ASSERT_EQ(menu.TopName(), "PlayerNameDlg");
    EXPECT_FALSE(menu.Element("PlayerNameDlg", "PlayerNameDlg.Cancel")->IsDisabled());
    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
    EXPECT_EQ(TwProfileStore::Instance().Count(), 1);

    menu.Click("ProfileDlg", "ProfileDlg.Add");
    menu.Type("Cy");
    menu.Screenshot("player-name-dialog");
    menu.Click("PlayerNameDlg", "PlayerNameDlg.Ok");
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
    EXPECT_EQ(EntryCount(menu), 2);
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "Cy");
    EXPECT_EQ(Entry(menu, "Cy").Frame(), 2);
    EXPECT_EQ(Entry(menu, "Ann").Frame(), 0);
    EXPECT_EQ(ActiveOnDisk(), "Cy");
    EXPECT_EQ(menu.Game().abandons, 1);

    // Typing an existing name switches to that player without a second entry and without
    // touching that player's saved game.
    menu.Click("ProfileDlg", "ProfileDlg.Add");
    menu.Type("Ann");
    menu.Key("Return");
    menu.Settle();
    EXPECT_EQ(EntryCount(menu), 2);
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "Ann");
    EXPECT_EQ(Entry(menu, "Ann").Frame(), 2);
    EXPECT_EQ(menu.Game().abandons, 1);
}

TEST(Profiles, FullListGreysOutNewPlayer) {
    MenuHarness menu;
    menu.WriteProfiles({"A", "B", "C", "D", "E", "F"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    ASSERT_GT(TwProfileStore::Instance().MaxProfiles(), 0);
    ASSERT_EQ(TwProfileStore::Instance().MaxProfiles(), 6) << "the layout file's limit";

    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    EXPECT_TRUE(menu.Element("ProfileDlg", "ProfileDlg.Add")->IsDisabled());
    menu.Click("ProfileDlg", "ProfileDlg.Add");
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
    menu.Screenshot("profile-dialog-full");
}

// More players than the list has rows (a profiles file from elsewhere): the list shows a
// page at a time, opens on the active player's page, and the arrows turn the pages.
TEST(Profiles, LongListsArePagedAndNothingSpillsOut) {
    MenuHarness menu;
    menu.WriteProfiles({"A", "B", "C", "D", "E", "F", "G", "H"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    TwProfileStore::Instance().SelectProfile(7);

    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    TwProfileDlg& list = *menu.Menu().ProfileDialog();
    EXPECT_EQ(list.Page(), 1) << "opened on the active player's page";
    EXPECT_EQ(EntryCount(menu), 2);
    EXPECT_EQ(Entry(menu, "H").Frame(), 2);
    ASSERT_NE(list.PrevPageButton(), nullptr);
    EXPECT_TRUE(list.NextPageButton()->IsDisabled());
    menu.Screenshot("profile-dialog-second-page");

    menu.Click("ProfileDlg", "ProfileDlg.PrevPage");
    EXPECT_EQ(list.Page(), 0);
    EXPECT_EQ(EntryCount(menu), 6);
    EXPECT_TRUE(list.PrevPageButton()->IsDisabled());
    menu.Click("ProfileDlg", std::string(TwProfileDlg::kEntryPrefix) + "C");
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "C");
    EXPECT_EQ(menu.TopName(), "ProfileDlg");

    // Down to a list that fits: the arrows go.
    for (int deleted = 0; deleted < 2; ++deleted) {
        menu.Click("ProfileDlg", "ProfileDlg.Delete");
        menu.Settle();
        menu.Click("DeletePlayerNameDlg", "DeletePlayerNameDlg.Ok");
        menu.Settle();
    }
    EXPECT_EQ(TwProfileStore::Instance().Count(), 6);
    EXPECT_EQ(list.PrevPageButton(), nullptr);
    EXPECT_EQ(EntryCount(menu), 6);
}

// Deleting asks first; deleting the last player goes straight to a name entry that cannot
// be cancelled.
TEST(Profiles, DeletingPlayersDownToTheLastForcesANewName) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "Bob"}, 1);
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    menu.Key("Escape");
    menu.Settle();
    const std::string bobSlot = TwProfileStore::Instance().SavePath();

    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    menu.Click("ProfileDlg", "ProfileDlg.Delete");
    ASSERT_EQ(menu.TopName(), "DeletePlayerNameDlg");
    menu.Screenshot("confirm-delete-player");
    menu.Click("DeletePlayerNameDlg", "DeletePlayerNameDlg.Cancel");
    EXPECT_EQ(TwProfileStore::Instance().Count(), 2);

    menu.Click("ProfileDlg", "ProfileDlg.Delete");
    menu.Click("DeletePlayerNameDlg", "DeletePlayerNameDlg.Ok");
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
    EXPECT_EQ(EntryCount(menu), 1);
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "Ann");
    EXPECT_EQ(Entry(menu, "Ann").Frame(), 2);
    EXPECT_TRUE(menu.Game().IsFinished()) << "Bob's game cannot go on as Ann's";
    std::string slot;
    TwReadFile(bobSlot, slot);
    EXPECT_TRUE(slot.empty()) << "the deleted player's saved game is gone";

    menu.Click("ProfileDlg", "ProfileDlg.Delete");
    menu.Click("DeletePlayerNameDlg", "DeletePlayerNameDlg.Ok");
    EXPECT_TRUE(TwProfileStore::Instance().IsEmpty());
    EXPECT_EQ(EntryCount(menu), 0);
    ASSERT_EQ(menu.TopName(), "PlayerNameDlg");
    EXPECT_TRUE(menu.Element("PlayerNameDlg", "PlayerNameDlg.Cancel")->IsDisabled());
    menu.Key("Escape");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "PlayerNameDlg");

    menu.Type("Dee");
    menu.Key("Return");
    menu.Settle();
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
    EXPECT_EQ(EntryCount(menu), 1);
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "Dee");
}

// A profiles file may hold any name; a player called like a menu button is still just a
// player in the list.
TEST(Profiles, NamesThatLookLikeMenuEventsOnlySelect) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "DeletePlayerNameDlg.Ok"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");

    const TwVector odd = Entry(menu, "DeletePlayerNameDlg.Ok").Position();
    menu.LeftClick(odd.x, odd.y);
    menu.Settle();
    EXPECT_EQ(TwProfileStore::Instance().Count(), 2);
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), "DeletePlayerNameDlg.Ok");
    EXPECT_EQ(menu.TopName(), "ProfileDlg");
}

// A name in any of the game's alphabets is typed as the keyboard gives it (UTF-8), stored
// as UTF-8, read back, greeted, listed in the score table and given a slot of its own
// inside Save/. Backspace takes back a whole letter.
TEST(Profiles, NamesWithAccentsAndCyrillicLettersGoEverywhere) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
    menu.Click("ProfileDlg", "ProfileDlg.Add");
    menu.Type("J\xC3\xBCrgen \xD0\xAE\xD0\xBB\xD0\xB8\xD1\x8F\xD0\xB6"); // "Jürgen Юлияж"
    menu.Key("BackSpace");
    menu.Type("\xE2\x82\xAC!"); // a euro sign and '!' are no letters
    const std::string name = "J\xC3\xBCrgen \xD0\xAE\xD0\xBB\xD0\xB8\xD1\x8F";
    auto* dialog = dynamic_cast<TwTextDialogPanel*>(menu.Top());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Text(), name);
    menu.Screenshot("player-name-dialog-utf8");
    menu.Key("Return");
    menu.Settle();
    menu.Click("ProfileDlg", "ProfileDlg.Ok");
    EXPECT_EQ(TwProfileStore::Instance().ActiveName(), name);
    EXPECT_EQ(ActiveOnDisk(), name);
    EXPECT_NE(zvtest::ReadAll(TwUserPath("Data/Profiles.Txt")).find("\"" + name + "\""),
              std::string::npos);
    EXPECT_EQ(menu.Menu().WelcomeButton()->Caption(), "WELCOME: " + name);

    // The slot: letters outside ASCII are written byte by byte as %XX, inside Save/.
    const std::string slot = TwProfileStore::Instance().SavePath();
    EXPECT_EQ(slot, TwUserPath("Data/Save/J%C3%BCrgen %D0%AE%D0%BB%D0%B8%D1%8F.Tws"));

    // A game lost under the name puts it in the score table, and it reads back from disk.
    menu.Click("MainMenuDlg", "MainMenuDlg.Classic");
    menu.Game().Lose(4321);
    menu.Settle();
    TwTop reread(TwHighScoreTable(0)->FileName());
    ASSERT_TRUE(reread.Load());
    ASSERT_GT(reread.Count(), 0);
    EXPECT_EQ(reread.At(0).PlayerName, name);
    menu.Click("MainMenuDlg", "MainMenuDlg.Score");
    menu.Settle();
    menu.Screenshot("score-table-utf8");
}

// The letters of Czech, the Nordic languages, Turkish and Ukrainian (its apostrophe too) are
// typed, kept in the profiles file, read back after a restart and greeted, each name a
// player of its own with a slot of its own.
TEST(Profiles, NamesInEveryAlphabetOfTheGameAreKeptAndGreeted) {
    const std::vector<std::string> names = {
        "Jiří Šťastný Ďěňůý", "Åse Ørsted Ærø",   "İpek Ağaoğlu Şıç",
        "Марʼяна Їжак Ґєі",   "ŽŘČŤŇŮ ĞÅØÆ ЄІЇҐ",
    };
    MenuHarness menu;
    menu.WriteProfiles({"Ann"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    std::vector<std::string> slots;
    for (const std::string& name : names) {
        menu.Click("MainMenuDlg", "MainMenuDlg.Profile");
        menu.Click("ProfileDlg", "ProfileDlg.Add");
        menu.Type(name);
        auto* dialog = dynamic_cast<TwTextDialogPanel*>(menu.Top());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Text(), name) << "a letter the font lacks was refused";
        menu.Key("Return");
        menu.Settle();
        menu.Click("ProfileDlg", "ProfileDlg.Ok");
        EXPECT_EQ(TwProfileStore::Instance().ActiveName(), name);
        EXPECT_EQ(menu.Menu().WelcomeButton()->Caption(), "WELCOME: " + name);
        slots.push_back(TwProfileStore::Instance().SavePath());
    }
    menu.Screenshot("welcome-ukrainian-name");
    std::sort(slots.begin(), slots.end());
    EXPECT_EQ(std::unique(slots.begin(), slots.end()), slots.end());

    TwProfileStore reread;
    reread.LoadProfiles();
    ASSERT_EQ(reread.Count(), static_cast<int>(names.size()) + 1);
    EXPECT_EQ(reread.ActiveName(), names.back());
    const std::string file = zvtest::ReadAll(TwUserPath("Data/Profiles.Txt"));
    for (const std::string& name : names) {
        EXPECT_NE(file.find("\"" + name + "\""), std::string::npos) << name;
    }
}

// The welcome caption is kept from frame to frame and built again exactly when what it shows
// changes: another active player, however chosen (here straight through the profiles, no
// dialog), a name too long for any small-string buffer, no player at all, and the language
// texts read again from other packs.
TEST(Profiles, WelcomeCaptionFollowsTheActivePlayerAndTheLanguage) {
    MenuHarness menu;
    menu.WriteProfiles({"Ann", "Bob"});
    ASSERT_TRUE(menu.Start());
    menu.Settle();
    const TwBaseGuiElemen& welcome = *menu.Menu().WelcomeButton();
    EXPECT_EQ(welcome.Caption(), "WELCOME: Ann");

    TwProfileStore& store = TwProfileStore::Instance();
    store.SelectProfile(1);
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WELCOME: Bob");
    const std::string longName = "Przemys\xC5\x82\x61w \xD0\x90\xD0\xBB\xD0\xB5\xD0\xBA\xD1\x81";
    store.TryAddProfile(longName);
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WELCOME: " + longName);
    store.DeleteActiveProfile();
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WELCOME: Ann");
    store.Reset();
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WELCOME: ");
    store.TryAddProfile("Ann");
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WELCOME: Ann");

    // A language pack opened in front of the game's own, and the texts read again.
    zvtest::TempDir tmp;
    TwPackWriter writer;
    ASSERT_TRUE(writer.AddEntry("Data/Lang.Txt", "English = { Welcome = \"WELCOME:\" }\n"
                                                 "German = { Welcome = \"WILLKOMMEN:\" }\n"));
    ASSERT_TRUE(writer.AddEntry("Data/Fonts.Txt", "Language = \"German\"\n"));
    ASSERT_TRUE(writer.Write(tmp.File("Lang_de.Twr")));
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(tmp.File("Lang_de.Twr")));
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WELCOME: Ann") << "the texts are only read again when asked";
    TwLanguage::Instance().Reload();
    menu.Frame();
    EXPECT_EQ(welcome.Caption(), "WILLKOMMEN: Ann");
    packs.CloseAll();
    TwLanguage::Instance().Reload();
}
