// A full disk or read-only player folders while the game writes the settings, the profiles,
// a saved game or a score table: every write reports failure, every file keeps what it held
// before (no half-written file, no stray temporary file), the game plays on, and once the
// disk is usable again the writes succeed.
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FaultTestSupport.h"
#include "Game.h"
#include "GameMap.h"
#include "data/TwLanguage.h"
#include "gui/TwEventRouter.h"
#include "gui/TwNotice.h"
#include "records/TwProfileStore.h"

namespace {

using faults::PlayingApp;
using faults::Snapshot;

// While alive, no file may grow beyond `bytes`: writes past it fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

// A private view of the file system, so mounts made here vanish with the test process and
// nobody else sees them. False where the process may not mount (not root, no namespaces).
bool PrivateMounts() {
    if (::geteuid() != 0 || ::unshare(CLONE_NEWNS) != 0) {
        return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Fills the file system holding `dir` until nothing more fits; returns the filler's path.
std::string FillDisk(const std::string& dir) {
    const std::string filler = dir + "/filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        return filler;
    }
    const std::string block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    // Whatever room is left is smaller than a block: take it byte by byte.
    while (::write(fd, "x", 1) == 1) {
    }
    ::close(fd);
    return filler;
}

void ExpectEveryWriteFailed(const PlayingApp::Writes& writes) {
    EXPECT_FALSE(writes.settings) << "settings";
    EXPECT_FALSE(writes.profiles) << "profiles";
    EXPECT_FALSE(writes.savedGame) << "saved game";
    EXPECT_FALSE(writes.scores) << "score table";
}

void ExpectEveryWriteWorked(const PlayingApp::Writes& writes) {
    EXPECT_TRUE(writes.settings) << "settings";
    EXPECT_TRUE(writes.profiles) << "profiles";
    EXPECT_TRUE(writes.savedGame) << "saved game";
    EXPECT_TRUE(writes.scores) << "score table";
}

// The player files of both folders, taken together.
faults::FileSnapshot PlayerFiles(const PlayingApp& app) {
    faults::FileSnapshot files = Snapshot(app.ConfigDir());
    files.merge(Snapshot(app.DataDir()));
    files.erase(app.DataDir() + "/zorbit-volley.lock");
    files.erase(app.DataDir() + "/filler");
    return files;
}

// The game goes on after the failed writes: shots fly and frames run.
void ExpectTheGameRunsOn(PlayingApp& app) {
    EXPECT_TRUE(app.Shoot(420.0f, 150.0f));
    app.Frames(60);
    ASSERT_NE(app.TheGame().Field(), nullptr);
    EXPECT_EQ(app.Harness().App().Router()->Current(), &app.TheGame());
    EXPECT_EQ(app.Harness().QuitRequests(), 0);
}

TEST(DiskFaults, FilesThatCannotGrowLeaveEveryPlayerFileAsItWas) {
    PlayingApp app;
    ASSERT_TRUE(app.Start());
    ExpectEveryWriteWorked(app.WriteEverything(1));
    const auto before = PlayerFiles(app);
    ASSERT_GE(before.size(), 4u);

    {
        // Eight bytes fit: every file is cut short during its write.
        FileSizeLimit limit(8);
        ASSERT_TRUE(limit.Active());
        ExpectEveryWriteFailed(app.WriteEverything(2));
    }
    EXPECT_EQ(PlayerFiles(app), before);
    ExpectTheGameRunsOn(app);

    ExpectEveryWriteWorked(app.WriteEverything(3));
    EXPECT_NE(PlayerFiles(app), before);
}

TEST(DiskFaults, FullDiskLeavesEveryPlayerFileAsItWas) {
    if (!PrivateMounts()) {
        GTEST_SKIP() << "needs a private mount namespace to put the player folders on a tiny disk";
    }
    PlayingApp app;
    // Both player folders on a small disk of their own.
    const std::string root = std::filesystem::path(app.DataDir()).parent_path().parent_path();
    ASSERT_EQ(::mount("zv-full", root.c_str(), "tmpfs", 0, "size=256k"), 0) << std::strerror(errno);
    ASSERT_TRUE(app.Start());
    ExpectEveryWriteWorked(app.WriteEverything(1));
    const auto before = PlayerFiles(app);

    const std::string filler = FillDisk(app.DataDir());
    ExpectEveryWriteFailed(app.WriteEverything(2));
    EXPECT_EQ(PlayerFiles(app), before);
    ExpectTheGameRunsOn(app);

    ::unlink(filler.c_str());
    ExpectEveryWriteWorked(app.WriteEverything(3));
    EXPECT_NE(PlayerFiles(app), before);
    app.Harness().Stop();
    ::umount2(root.c_str(), MNT_DETACH);
}

TEST(DiskFaults, ReadOnlyPlayerFoldersLeaveEveryPlayerFileAsItWas) {
    // Mount namespaces are private to a process with one thread: before the sound starts.
    const bool mounted = PrivateMounts();
    if (!mounted && ::geteuid() == 0) {
        GTEST_SKIP() << "the superuser needs a private mount namespace for read-only folders";
    }
    PlayingApp app;
    ASSERT_TRUE(app.Start());
    ExpectEveryWriteWorked(app.WriteEverything(1));
    const auto before = PlayerFiles(app);
    const std::string dirs[] = {app.ConfigDir(), app.DataDir(), app.DataDir() + "/Save"};

    // The folders become read-only: for the superuser (whom permissions do not stop) by
    // mounting them read-only, for everyone else by taking away the write permission.
    for (const std::string& dir : dirs) {
        if (mounted) {
            ASSERT_EQ(::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr), 0);
            ASSERT_EQ(
                ::mount(nullptr, dir.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr),
                0)
                << std::strerror(errno);
        } else {
            ::chmod(dir.c_str(), 0555);
        }
    }
    TwNotice::Instance().Hide();
    ExpectEveryWriteFailed(app.WriteEverything(2));
    EXPECT_EQ(PlayerFiles(app), before);
    // The player is told on screen that the game could not be saved, once a game: the next
    // shot tries again without telling again.
    EXPECT_TRUE(TwNotice::Instance().Showing());
    EXPECT_EQ(TwNotice::Instance().Text(), TwLanguage::Instance().GetText("SaveFailed"));
    TwNotice::Instance().Hide();
    ExpectTheGameRunsOn(app);
    EXPECT_FALSE(TwNotice::Instance().Showing());

    // A finished game whose slot cannot be emptied is not offered by Continue again.
    TwProfileStore& store = TwProfileStore::Instance();
    const std::string owner = app.TheGame().Owner();
    store.SelectProfile(store.IndexOf(owner));
    store.CheckSavedGameOf(owner);
    ASSERT_TRUE(store.HasSavedGame());
    store.DeleteSavedGameOf(owner);
    store.CheckSavedGameOf(owner);
    EXPECT_FALSE(store.HasSavedGame());
    EXPECT_EQ(PlayerFiles(app), before);

    for (auto it = std::rbegin(dirs); it != std::rend(dirs); ++it) {
        if (mounted) {
            ::umount2(it->c_str(), MNT_DETACH);
        } else {
            ::chmod(it->c_str(), 0755);
        }
    }
    ExpectEveryWriteWorked(app.WriteEverything(3));
    EXPECT_NE(PlayerFiles(app), before);
    // A new save into that slot is a game to continue again.
    store.SelectProfile(store.IndexOf(owner));
    store.CheckSavedGameOf(owner);
    EXPECT_TRUE(store.HasSavedGame());
}

} // namespace
