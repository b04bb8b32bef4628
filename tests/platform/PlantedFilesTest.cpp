// Links, FIFOs and folders planted among the player's files: the game never writes through
// them, never blocks on them and never changes a file outside its own folders.
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestSupport.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwProfileStore.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr const char* kPrecious = "the player's own notes\nline two\n";

bool IsFifo(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// Waits for work that reads `fifo`; true when it ended by itself within five seconds. A
// reader that blocked is let go (writers come and leave) so the test fails instead of hanging.
template <typename T> bool EndsWithoutWaitingOn(std::future<T>& work, const std::string& fifo) {
    if (work.wait_for(5s) == std::future_status::ready) {
        return true;
    }
    while (work.wait_for(50ms) != std::future_status::ready) {
        const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) {
            ::close(writer);
        }
    }
    return false;
}

// A folder inside the game's data folder that is a link to somewhere else: a saved game
// written "into" it stays out of the other place.
TEST(PlantedFiles, AFolderLinkInsideTheDataFolderCannotRedirectAWrite) {
    zvtest::ScopedUserDirs dirs;
    zvtest::TempDir elsewhere;
    zvtest::WriteAll(elsewhere.File("Ann.Tws"), kPrecious);
    ASSERT_TRUE(TwMakeDirs(TwDataDir()));
    fs::create_symlink(elsewhere.Path(), TwDataDir() + "/Save");

    EXPECT_FALSE(TwWriteFileAtomic(TwUserPath("Data/Save/Ann.Tws"), "a saved field"));
    EXPECT_FALSE(TwWriteFileAtomic(TwUserPath("Data/Save/Bo.Tws"), "a saved field"));
    EXPECT_EQ(zvtest::ReadAll(elsewhere.File("Ann.Tws")), kPrecious);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(elsewhere.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"Ann.Tws"});
}

// Links planted at a player file's name and at names the temporary file might take: the
// new file replaces the link, every link's target stays as it was, and nothing is left
// beside the file.
TEST(PlantedFiles, LinksBesideAPlayerFileCannotRedirectTheWrite) {
    zvtest::ScopedUserDirs dirs;
    zvtest::TempDir elsewhere;
    const std::string target = elsewhere.File("notes.txt");
    zvtest::WriteAll(target, kPrecious);
    const std::string profiles = TwUserPath("Data/Profiles.Txt");
    ASSERT_TRUE(TwMakeDirs(TwDataDir()));
    fs::create_symlink(target, profiles);
    for (const char* planted : {".tmp", ".tmp-XXXXXX", ".tmp-000000", ".new", "~"}) {
        fs::create_symlink(target, profiles + planted);
    }
    const auto before = std::distance(fs::directory_iterator(TwDataDir()), {});

    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(TwWriteFileAtomic(profiles, "ActiveProfile=0\n"));
    }
    EXPECT_EQ(zvtest::ReadAll(target), kPrecious);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(profiles)));
    EXPECT_EQ(zvtest::ReadAll(profiles), "ActiveProfile=0\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(TwDataDir()), {}), before);
}

// The temporary file's name does not grow with the file's: the longest name the folder
// takes can be written.
TEST(PlantedFiles, TheLongestFileNameCanBeWritten) {
    zvtest::TempDir dir;
    const std::string path = dir.File(std::string(251, 'n') + ".Tws");
    EXPECT_TRUE(TwWriteFileAtomic(path, "a saved field"));
    EXPECT_EQ(zvtest::ReadAll(path), "a saved field");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
}

// A FIFO at a player file's name: reading it neither blocks nor yields anything.
TEST(PlantedFiles, AFifoInPlaceOfAPlayerFileIsNotRead) {
    zvtest::TempDir dir;
    const std::string fifo = dir.File("Profiles.Txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    auto reading = std::async(std::launch::async, [&fifo] {
        std::string bytes;
        return TwReadFile(fifo, bytes);
    });
    EXPECT_TRUE(EndsWithoutWaitingOn(reading, fifo)) << "reading a FIFO blocked";
    EXPECT_FALSE(reading.get());
}

// FIFOs in place of a player's saved game: the players load without waiting on them, and
// none counts as a saved game.
TEST(PlantedFiles, AFifoInPlaceOfASavedGameNeitherBlocksNorCounts) {
    zvtest::ScopedUserDirs dirs;
    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    zvtest::WriteAll(TwUserPath("Data/Profiles.Txt"), "ActiveProfile=0\nPlayerName0=\"Ann\"\n");
    ASSERT_TRUE(TwMakeDirs(TwDataDir() + "/Save"));
    const std::string slot = TwUserPath(TwProfileStore::SlotGameName("Ann"));
    ASSERT_EQ(::mkfifo(slot.c_str(), 0644), 0);
    auto loading = std::async(std::launch::async, [&store] {
        store.LoadProfiles();
        store.CheckSavedGame();
        return store.HasSavedGame();
    });
    EXPECT_TRUE(EndsWithoutWaitingOn(loading, slot)) << "loading the players blocked on a FIFO";
    EXPECT_FALSE(loading.get());
    EXPECT_EQ(store.ActiveName(), "Ann");
    EXPECT_TRUE(IsFifo(slot));
    store.Reset();
}

} // namespace
