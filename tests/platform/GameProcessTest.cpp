// The game binary started from outside: the single-instance lock and the command line.
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "CommandLine.h"
#include "TestSupport.h"
#include "platform/TwInstanceLock.h"

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
