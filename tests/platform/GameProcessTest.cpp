// The game binary started from outside: the single-instance lock (planted links, folders and
// FIFOs at its name included) and the command line.
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "CommandLine.h"
#include "TestSupport.h"
#include "platform/os/TwInstanceLock.h"
#include "platform/os/TwUserFiles.h"

extern char** environ;

namespace {

// Starts the game binary with `args` and its output going to files; returns its process id.
pid_t StartGame(const std::string& outPath, const std::string& errPath,
                const std::vector<std::string>& args = {}) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const std::string binary = zvtest::BinaryDir() + "/zorbit-volley";
    std::vector<char*> argv{const_cast<char*>(binary.c_str())};
    for (const std::string& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Waits up to `limit` for the process; -1 when it is still running (it is then killed).
int WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

} // namespace

TEST(InstanceLock, SecondCopyOfTheGameEndsAtOnceWithoutOpeningAnything) {
    zvtest::ScopedUserDirs dirs;
    zvtest::TempDir output;
    TwInstanceLock running;
    ASSERT_TRUE(running.Acquire("3D Zorbit Volley"));

    const pid_t second = StartGame(output.File("out.txt"), output.File("err.txt"));
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitForExit(second, std::chrono::seconds(10)), 0);
    // A copy that went on would have tried the packs and complained about them.
    EXPECT_EQ(zvtest::ReadAll(output.File("out.txt")), "");
    EXPECT_EQ(zvtest::ReadAll(output.File("err.txt")), "");
}

TEST(InstanceLock, OnlyOneHolderAtATimeAndFreeAgainAfterRelease) {
    zvtest::TempDir dir;
    const std::string path = dir.File("game.lock");
    TwInstanceLock first, second;
    ASSERT_TRUE(first.AcquireFile(path, "key"));
    EXPECT_FALSE(second.AcquireFile(path, "key"));
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_TRUE(second.AcquireFile(path, "key"));
    EXPECT_EQ(zvtest::ReadAll(path), "key\n");
}

TEST(InstanceLock, NoPlaceForTheLockStillLetsTheGameRun) {
    TwInstanceLock lock;
    EXPECT_TRUE(lock.AcquireFile("/nonexistent-dir/for/sure/game.lock", "key"));
    EXPECT_FALSE(lock.Held());
}

namespace fs = std::filesystem;

constexpr const char* kPrecious = "the player's own notes\nline two\n";

TEST(InstanceLock, APlantedLinkIsReplacedAndItsTargetKeptByteForByte) {
    for (const bool symbolic : {true, false}) {
        SCOPED_TRACE(symbolic ? "symbolic link" : "hard link");
        zvtest::ScopedUserDirs dirs;
        ASSERT_TRUE(TwMakeDirs(TwDataDir()));
        // A hard link can only be made on the same file system: beside the data folder.
        const std::string target = TwDataDir() + "/../notes.txt";
        zvtest::WriteAll(target, kPrecious);
        const std::string lockPath = TwInstanceLock::DefaultPath();
        if (symbolic) {
            fs::create_symlink(target, lockPath);
        } else {
            fs::create_hard_link(target, lockPath);
        }
        {
            TwInstanceLock first;
            ASSERT_TRUE(first.Acquire("3D Zorbit Volley"));
            EXPECT_TRUE(first.Held());
            // The game's own lock file took the link's place.
            EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(lockPath)));
            EXPECT_EQ(fs::hard_link_count(lockPath), 1u);
            EXPECT_EQ(zvtest::ReadAll(lockPath), "3D Zorbit Volley\n");
            // A second start still finds the game running and ends at once, saying nothing.
            zvtest::TempDir output;
            const pid_t again = StartGame(output.File("out.txt"), output.File("err.txt"));
            ASSERT_GT(again, 0);
            EXPECT_EQ(WaitForExit(again, std::chrono::seconds(10)), 0);
            EXPECT_EQ(zvtest::ReadAll(output.File("err.txt")), "");
            // A backup that links the lock file elsewhere does not let a second copy in.
            fs::create_hard_link(lockPath, TwDataDir() + "/../backup.lock");
            TwInstanceLock second;
            EXPECT_FALSE(second.Acquire("3D Zorbit Volley"));
        }
        EXPECT_EQ(zvtest::ReadAll(target), kPrecious);
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target)));
    }
}

TEST(InstanceLock, APlantedDirectoryOrFifoIsLeftAloneAndTheGameRunsWithoutTheLock) {
    zvtest::TempDir dir;
    const std::string folder = dir.File("folder.lock");
    fs::create_directory(folder);
    zvtest::WriteAll(folder + "/inside.txt", kPrecious);
    const std::string fifo = dir.File("fifo.lock");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);

    for (const std::string& path : {folder, fifo}) {
        SCOPED_TRACE(path);
        // Done on a thread, so a lock that blocks fails the test instead of hanging it.
        auto attempt = std::async(std::launch::async, [&path] {
            TwInstanceLock lock;
            const bool mayRun = lock.AcquireFile(path, "key");
            return std::make_pair(mayRun, lock.Held());
        });
        ASSERT_EQ(attempt.wait_for(std::chrono::seconds(5)), std::future_status::ready)
            << "the lock blocked";
        const auto [mayRun, held] = attempt.get();
        EXPECT_TRUE(mayRun);
        EXPECT_FALSE(held);
    }
    EXPECT_EQ(zvtest::ReadAll(folder + "/inside.txt"), kPrecious);
    struct stat info {};
    EXPECT_TRUE(::lstat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    // Nothing was written into the FIFO.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);
}

// --help and --version answer and end at once: no window (here the game would complain it has
// none: the test has no display), no packs looked at, no player directory made and no lock
// taken (also while the game itself runs, holding it).
TEST(CommandLine, HelpAndVersionAnswerWithoutStartingTheGame) {
    zvtest::ScopedUserDirs dirs;
    zvtest::TempDir output;
    const pid_t alone = StartGame(output.File("out.txt"), output.File("err.txt"), {"--version"});
    ASSERT_GT(alone, 0);
    EXPECT_EQ(WaitForExit(alone, std::chrono::seconds(10)), 0);
    EXPECT_EQ(zvtest::ReadAll(output.File("out.txt")), "Zorbit Volley 1.0.0\n");
    EXPECT_FALSE(std::filesystem::exists(dirs.DataHome() + "/zorbit-volley"));

    TwInstanceLock running;
    ASSERT_TRUE(running.Acquire("3D Zorbit Volley"));
    for (const std::string option : {"--help", "-h", "--version"}) {
        SCOPED_TRACE(option);
        const pid_t pid = StartGame(output.File("out.txt"), output.File("err.txt"), {option});
        ASSERT_GT(pid, 0);
        EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(10)), 0);
        const std::string out = zvtest::ReadAll(output.File("out.txt"));
        EXPECT_EQ(zvtest::ReadAll(output.File("err.txt")), "");
        if (option == "--version") {
            EXPECT_EQ(out, "Zorbit Volley 1.0.0\n");
        } else {
            EXPECT_EQ(out.rfind("Usage: zorbit-volley [OPTION]\n", 0), 0u) << out;
            EXPECT_NE(out.find("--version"), std::string::npos);
        }
    }
}

TEST(CommandLine, AnythingElseIsAUsageErrorOnStandardError) {
    zvtest::TempDir output;
    const pid_t pid = StartGame(output.File("out.txt"), output.File("err.txt"), {"--fullscreen"});
    ASSERT_GT(pid, 0);
    EXPECT_EQ(WaitForExit(pid, std::chrono::seconds(10)), 2);
    EXPECT_EQ(zvtest::ReadAll(output.File("out.txt")), "");
    const std::string err = zvtest::ReadAll(output.File("err.txt"));
    EXPECT_EQ(err.rfind("zorbit-volley: unrecognised option '--fullscreen'\n", 0), 0u) << err;
    EXPECT_NE(err.find("--help"), std::string::npos);
}

// Words are taken in order: the first not understood is reported, even before --help.
TEST(CommandLine, WordsAreTakenInOrder) {
    auto handle = [](const std::vector<std::string>& args) {
        std::ostringstream out, err;
        const CommandLineOutcome outcome = HandleCommandLine(args, out, err);
        return std::make_tuple(outcome.play, outcome.exitCode, out.str().empty(),
                               err.str().empty());
    };
    EXPECT_EQ(handle({}), std::make_tuple(true, 0, true, true));
    EXPECT_EQ(handle({"--version", "--bogus"}), std::make_tuple(false, 0, false, true));
    EXPECT_EQ(handle({"level3", "--help"}), std::make_tuple(false, 2, true, false));
    EXPECT_EQ(handle({"-"}), std::make_tuple(false, 2, true, false));
    EXPECT_EQ(handle({"--Help"}), std::make_tuple(false, 2, true, false));
}
