// An error box on screen when the game is killed: the box goes with the game, and the next
// start is not kept out by it.
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Processes (not yet ended) running this program file: the game and anything it started
// from itself.
std::vector<int> ProcessesRunning(const std::string& program) {
    std::vector<int> pids;
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator("/proc", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code unreadable;
        const fs::path exe = fs::read_symlink(entry.path() / "exe", unreadable);
        if (unreadable || exe != fs::path(program)) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string pid, command, state;
        stat >> pid >> command >> state;
        if (state != "Z" && state != "X") {
            pids.push_back(std::stoi(name));
        }
    }
    return pids;
}

bool ErrorBoxShown(GameRun& run) {
    for (WindowId box : run.Screen().FindWindows("Error")) {
        const auto place = run.Screen().Place(box);
        if (place && place->mapped) {
            return true;
        }
    }
    return false;
}

template <typename Check> bool Eventually(Check check, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!check()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

TEST(ErrorBox, KillingTheGameWhileABoxShowsEndsTheBoxAndFreesTheNextStart) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    // A copy of the program without its packs beside it reports them missing in a box.
    const std::string dir = run.Scratch("bare-install");
    fs::create_directories(dir);
    const std::string program = dir + "/zorbit-volley";
    fs::copy_file(zvtest::BinaryDir() + "/zorbit-volley", program);
    fs::permissions(program, fs::perms::owner_all, fs::perm_options::add);
    run.LaunchFrom(program, dir);
    ASSERT_TRUE(Eventually([&run] { return ErrorBoxShown(run); }, 20s)) << "no error box";
    run.Snap("error-box");

    ::kill(run.Game().Pid(), SIGKILL);
    ASSERT_TRUE(run.Game().WaitForExit(5s).has_value());
    EXPECT_TRUE(Eventually([&] { return ProcessesRunning(program).empty(); }, 5s))
        << ProcessesRunning(program).size() << " processes of the killed game are left";
    EXPECT_TRUE(Eventually([&run] { return !ErrorBoxShown(run); }, 5s))
        << "the box outlived the game";
    run.Snap("after-the-kill");

    // The next start (with its packs) opens its window and asks the new player's name.
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow(20s)) << "the next start opened no window";
    EXPECT_TRUE(run.WaitFor("next-start", NameDialogShown, 20s));
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
