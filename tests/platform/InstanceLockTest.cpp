#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "TestSupport.h"
#include "platform/TwInstanceLock.h"

extern char** environ;

namespace {

// Starts the game binary with its output going to files; returns its process id.
pid_t StartGame(const std::string& outPath, const std::string& errPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const std::string binary = zvtest::BinaryDir() + "/zorbit-volley";
    char* argv[] = {const_cast<char*>(binary.c_str()), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, binary.c_str(), &actions, nullptr, argv, environ);
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
