#include "GfxTestSupport.h"
#include "TestSupport.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwProfileStore.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Each test starts from an empty store in fresh player directories.
class ProfileStoreTest : public testing::Test {
protected:
    ProfileStoreTest() : store(TwProfileStore::Instance()) { store.Reset(); }
    ~ProfileStoreTest() override { store.Reset(); }

    void WriteProfiles(const std::string& text) {
        zvtest::WriteAll(TwUserPath("Data/Profiles.Txt"), text);
    }
    void WriteSlot(const std::string& name, const std::string& bytes) {
        zvtest::WriteAll(TwUserPath(TwProfileStore::SlotGameName(name)), bytes);
    }

    zvtest::ScopedUserDirs dirs;
    TwProfileStore& store;
};

} // namespace

TEST_F(ProfileStoreTest, LoadStopsAtTheFirstGapAndReadsEachSlot) {
    WriteProfiles(
        "ActiveProfile=1\nPlayerName0=\"Ann\"\nPlayerName1=\"Bob\"\nPlayerName3=\"Cy\"\n");
    WriteSlot("Ann", "abc");  // 3 bytes: no saved game
    WriteSlot("Bob", "abcd"); // 4 bytes: a saved game
    ASSERT_TRUE(store.LoadProfiles());
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(store.ActiveName(), "Bob");
    EXPECT_TRUE(store.HasSavedGame());
    store.SelectProfile(0);
    EXPECT_FALSE(store.HasSavedGame());
    EXPECT_EQ(store.PreviousActive(), 1);

    // Without a profiles file the list is empty and no profile is active.
    std::filesystem::remove(TwUserPath("Data/Profiles.Txt"));
    EXPECT_FALSE(store.LoadProfiles());
    EXPECT_TRUE(store.IsEmpty());
    EXPECT_EQ(store.ActiveIndex(), -1);
}

// An active choice outside the list picks the first player, so games are saved and the
// menu greets someone; with no players at all nobody is active and the name dialog opens.
TEST_F(ProfileStoreTest, ActiveIndexOutsideTheListPicksTheFirstPlayer) {
    for (const char* active : {"7", "-3", "5000", "-1", "123456789012345678901", "x"}) {
        WriteProfiles(std::string("ActiveProfile=") + active +
                      "\nPlayerName0=\"Ann\"\nPlayerName1=\"Bob\"\n");
        ASSERT_TRUE(store.LoadProfiles()) << active;
        EXPECT_EQ(store.ActiveName(), "Ann") << active;
        EXPECT_EQ(store.ActiveIndex(), 0) << active;
    }
    WriteProfiles("ActiveProfile=3\n");
    ASSERT_TRUE(store.LoadProfiles());
    EXPECT_TRUE(store.IsEmpty());
    EXPECT_EQ(store.ActiveIndex(), -1);
    store.DeleteActiveProfile(); // nothing to delete
    EXPECT_EQ(store.Count(), 0);
}

// One damaged line (a stray word, a lone brace, a quote never closed) costs nothing that
// could be read: players, their saved games and the active choice stay; the damaged file is
// copied aside, the player is told once, and the kept players are written back.
TEST_F(ProfileStoreTest, DamagedProfilesFileKeepsEveryReadablePlayer) {
    const std::string good =
        "ActiveProfile=2\nPlayerName0=\"Ann\"\nPlayerName1=\"Bob\"\nPlayerName2=\"Cy\"\n";
    const std::string damages[] = {
        "junk\n" + good,
        good + "}\n",
        good + "PlayerName3=\"Dee\n",
        "ActiveProfile=2\nPlayerName0=\"Ann\"\nPlayerName1 \"Bob\"\nPlayerName2=\"Cy\"\n",
    };
    for (const std::string& damaged : damages) {
        std::filesystem::remove_all(dirs.DataHome());
        WriteProfiles(damaged);
        WriteSlot("Cy", "saved game");
        zvtest::CapturedMessages messages;
        EXPECT_FALSE(store.LoadProfiles()) << damaged;
        const bool bobLost = damaged.find("PlayerName1 ") != std::string::npos;
        const std::vector<std::string> kept = bobLost
                                                  ? std::vector<std::string>{"Ann", "Cy"}
                                                  : std::vector<std::string>{"Ann", "Bob", "Cy"};
        EXPECT_EQ(store.Names(), kept) << damaged;
        EXPECT_EQ(store.ActiveName(), "Cy") << damaged;
        EXPECT_TRUE(store.HasSavedGame()) << damaged;
        ASSERT_EQ(messages.Texts().size(), 1u) << damaged;

        const std::vector<std::string> copies =
            zvtest::FilesStartingWith(dirs.DataHome() + "/zorbit-volley", "Profiles.Txt.damaged-");
        ASSERT_EQ(copies.size(), 1u) << damaged;
        EXPECT_EQ(zvtest::ReadAll(dirs.DataHome() + "/zorbit-volley/" + copies[0]), damaged);
        EXPECT_NE(messages.Texts()[0].find(copies[0]), std::string::npos);

        // The kept players were written back: the next start reads them cleanly and quietly.
        messages.Clear();
        EXPECT_TRUE(store.LoadProfiles()) << damaged;
        EXPECT_EQ(store.ActiveName(), "Cy");
        EXPECT_TRUE(messages.Texts().empty());
        // Typing a kept player's name again finds that player and their saved game.
        EXPECT_EQ(store.TryAddProfile("Cy"), TwProfileStore::AddResult::Existed);
        EXPECT_TRUE(store.HasSavedGame());
    }
}

// Names are compared after their escapes are read: a name ends at a NUL, as the name dialog
// could never type one, and a name listed twice is one player with one save slot.
TEST_F(ProfileStoreTest, NamesThatReadAlikeAreOnePlayer) {
    WriteProfiles("ActiveProfile=2\nPlayerName0=\"x\\0y\"\nPlayerName1=\"Bob\"\n"
                  "PlayerName2=\"x\\0z\"\nPlayerName3=\"Bob\"\n");
    ASSERT_TRUE(store.LoadProfiles());
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"x", "Bob"}));
    EXPECT_EQ(store.ActiveName(), "x");
}

TEST_F(ProfileStoreTest, AddingExistingAndNewNames) {
    EXPECT_FALSE(store.AddProfile("Ann"));
    EXPECT_FALSE(store.AddProfile("ann")); // names compare byte for byte
    EXPECT_EQ(store.ActiveName(), "ann");
    EXPECT_TRUE(store.AddProfile("Ann"));
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(store.ActiveIndex(), 0);
    EXPECT_EQ(store.PreviousActive(), 1);

    EXPECT_EQ(store.TryAddProfile(""), TwProfileStore::AddResult::Refused);
    store.SetMaxProfiles(2);
    EXPECT_TRUE(store.IsFull());
    EXPECT_EQ(store.TryAddProfile("Cy"), TwProfileStore::AddResult::Refused);
    EXPECT_EQ(store.ActiveName(), "Ann");
    EXPECT_EQ(store.TryAddProfile("ann"), TwProfileStore::AddResult::Existed);
}

TEST_F(ProfileStoreTest, DeletingTheActiveProfile) {
    store.AddProfile("Ann");
    store.AddProfile("Bob");
    store.AddProfile("Cy");
    WriteSlot("Ann", "saved game");
    WriteSlot("Bob", "saved game");
    store.SelectProfile(1);
    store.DeleteActiveProfile();
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"Ann", "Cy"}));
    EXPECT_EQ(store.ActiveName(), "Ann");
    EXPECT_EQ(store.PreviousActive(), -1);
    // Bob's slot is left empty, Ann's untouched.
    EXPECT_EQ(zvtest::ReadAll(TwUserPath("Data/Save/Bob.Tws")), "");
    EXPECT_EQ(zvtest::ReadAll(TwUserPath("Data/Save/Ann.Tws")), "saved game");
    store.CheckSavedGame();
    EXPECT_TRUE(store.HasSavedGame());

    store.DeleteActiveProfile();
    store.DeleteActiveProfile();
    EXPECT_TRUE(store.IsEmpty());
    EXPECT_EQ(store.ActiveName(), "");
    EXPECT_FALSE(store.HasSavedGame());
    EXPECT_EQ(store.ActiveIndex(), -1);
}

TEST_F(ProfileStoreTest, SlotsAreEmptiedNotRemoved) {
    store.AddProfile("Ann");
    EXPECT_EQ(store.SavePath(), dirs.DataHome() + "/zorbit-volley/Save/Ann.Tws");
    WriteSlot("Ann", "game");
    store.CheckSavedGame();
    EXPECT_TRUE(store.HasSavedGame());
    store.DeleteSavedGame();
    EXPECT_TRUE(std::filesystem::exists(store.SavePath()));
    EXPECT_EQ(std::filesystem::file_size(store.SavePath()), 0u);
    store.CheckSavedGame();
    EXPECT_FALSE(store.HasSavedGame());
}

TEST_F(ProfileStoreTest, ProfilesAndActiveSurviveARestart) {
    store.AddProfile("Ann");
    store.AddProfile("Bob Two");
    store.AddProfile("Cy");
    store.SelectProfile(1);
    ASSERT_TRUE(store.SaveProfiles());
    WriteSlot("Bob Two", "a saved game");

    store.Reset();
    ASSERT_TRUE(store.LoadProfiles());
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"Ann", "Bob Two", "Cy"}));
    EXPECT_EQ(store.ActiveName(), "Bob Two");
    EXPECT_TRUE(store.HasSavedGame());
}

TEST_F(ProfileStoreTest, NoNameLeadsOutsideTheSaveFolder) {
    const std::vector<std::string> hostile{"../../x", "/etc/passwd", ".hidden",
                                           "a\nb",    "..",          "%2F",
                                           "a/b",     "back\\slash", std::string("nul\0x", 5)};
    std::string file = "ActiveProfile=0\n";
    for (std::size_t i = 0; i < hostile.size(); ++i) {
        std::string escaped;
        for (const char c : hostile[i]) {
            escaped += c == '\n'   ? std::string("\\n")
                       : c == '\0' ? std::string("\\0")
                                   : std::string(1, c);
        }
        file += "PlayerName" + std::to_string(i) + "=\"" + escaped + "\"\n";
    }
    WriteProfiles(file);
    ASSERT_TRUE(store.LoadProfiles());
    ASSERT_EQ(store.Count(), static_cast<int>(hostile.size()));

    const std::string saveDir = dirs.DataHome() + "/zorbit-volley/Save/";
    std::set<std::string> paths;
    for (int i = 0; i < store.Count(); ++i) {
        store.SelectProfile(i);
        const std::string path = store.SavePath();
        ASSERT_EQ(path.rfind(saveDir, 0), 0u) << path;
        const std::string fileName = path.substr(saveDir.size());
        EXPECT_EQ(fileName.find('/'), std::string::npos) << fileName;
        EXPECT_NE(fileName[0], '.') << fileName;
        paths.insert(path);
        store.DeleteSavedGame();
        store.CheckSavedGame();
    }
    EXPECT_EQ(paths.size(), hostile.size()); // distinct names never share a slot
    // Only slot files and the profiles file exist anywhere under the player's directories.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dirs.DataHome())) {
        if (entry.is_regular_file() && entry.path() != TwUserPath("Data/Profiles.Txt")) {
            EXPECT_EQ(entry.path().parent_path().string() + "/", saveDir) << entry.path();
        }
    }
    // Names the name dialog can produce keep their own file names.
    EXPECT_EQ(TwProfileStore::SafeFileName("Ann Lee 42"), "Ann Lee 42");
    EXPECT_EQ(TwProfileStore::SafeFileName("../x"), "%2E%2E%2Fx");
}

TEST_F(ProfileStoreTest, FailedSaveKeepsThePreviousProfilesFile) {
    store.AddProfile("Ann");
    ASSERT_TRUE(store.SaveProfiles());
    const std::string before = zvtest::ReadAll(TwUserPath("Data/Profiles.Txt"));
    store.AddProfile("Bob");
    if (::geteuid() != 0) {
        ::chmod(TwDataDir().c_str(), 0555);
        EXPECT_FALSE(store.SaveProfiles());
        ::chmod(TwDataDir().c_str(), 0755);
        EXPECT_EQ(zvtest::ReadAll(TwUserPath("Data/Profiles.Txt")), before);
    }
    // Without write access to its folder the save reports failure (root ignores permissions,
    // so the folder is replaced by a file to block it).
    std::filesystem::rename(TwDataDir(), TwDataDir() + ".moved");
    zvtest::WriteAll(TwDataDir(), "not a folder");
    EXPECT_FALSE(store.SaveProfiles());
    std::filesystem::remove(TwDataDir());
    std::filesystem::rename(TwDataDir() + ".moved", TwDataDir());
    EXPECT_EQ(zvtest::ReadAll(TwUserPath("Data/Profiles.Txt")), before);
}
