// Starting the game as a player does: the first start, a second copy, a broken install.
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "GameRun.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FilesUnder(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ignored;
    if (!fs::exists(dir)) {
        return names;
    }
    for (const auto& entry : fs::recursive_directory_iterator(dir, ignored)) {
        if (entry.is_regular_file()) {
            names.push_back(fs::relative(entry.path(), dir).string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Waits for the game's first "loading screen at" line on its standard error and stops the
// game there (SIGSTOP); the caller lets it go on with SIGCONT.
bool HoldAtFirstLoadingStep(GameRun& run, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline && run.Game().Running()) {
        if (run.GameStderr().find("loading screen at") != std::string::npos) {
            return ::kill(run.Game().Pid(), SIGSTOP) == 0;
        }
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

int CountOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

TEST(FirstStart, LoadsThenAsksTheNameAndGreetsThePlayer) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    // The loading screen stays up only as long as loading takes (a fifth of a second on a
    // quick machine), so the game is held still the moment it reports its first loading
    // step, looked at, and let go: however fast or busy the machine, the screen is seen.
    run.SetGameVariable("ZV_TRACE_STARTUP", "1");
    run.Launch();
    const bool held = HoldAtFirstLoadingStep(run, 20s);
    ASSERT_TRUE(run.WaitForWindow()) << "no game window appeared";

    // The first thing on screen is the loading screen with its bar, then the menu with the
    // name dialog over it: a new player must give a name before anything else.
    EXPECT_TRUE(held) << "the game never reported a loading step";
    EXPECT_TRUE(run.WaitFor("loading-screen", LoadingScreenShown, 15s));
    ::kill(run.Game().Pid(), SIGCONT);
    ASSERT_TRUE(run.WaitFor("name-dialog", NameDialogShown, 20s));
    ASSERT_TRUE(run.WaitSteady("name-dialog-steady", {170, 190, 460, 220}));

    // Escape cannot skip the dialog.
    run.Key("Escape");
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(NameDialogShown(run.Snap("escape-ignored")));

    run.MoveTo(400, 250);
    run.Type("Nova 9");
    run.WaitSteady("name-typed", {220, 270, 360, 40});
    run.Key("Return");
    ASSERT_TRUE(run.WaitFor("main-menu", MainMenuShown, 10s));

    // The greeting shows the name in white in the welcome box (empty before: "WELCOME:").
    const GameView menu = run.Snap("greeting");
    EXPECT_GT(menu.WhiteShare({625, 115, 60, 16}, 200), 0.03) << "no name after WELCOME:";
    EXPECT_FALSE(ContinueEnabled(menu)) << "a new player has nothing to continue";

    // The player's files are in the data directory: the profiles and an empty save slot.
    const std::string profiles = zvtest::ReadAll(run.DataDir() + "/Profiles.Txt");
    EXPECT_NE(profiles.find("Nova 9"), std::string::npos) << profiles;
    EXPECT_TRUE(fs::exists(run.DataDir() + "/Save/Nova 9.Tws"));
    // Settings are written only when the player changes them, and nothing goes anywhere
    // but the two player directories.
    EXPECT_FALSE(fs::exists(run.ConfigDir() + "/TwConfig.Cfg"));
    EXPECT_TRUE(FilesUnder(run.HomeDir()).empty());

    EXPECT_EQ(run.CloseWindow(), 0);
    // The name is kept across the restart: no name dialog the second time.
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    EXPECT_TRUE(run.WaitFor("returning-player-menu", MainMenuShown, 20s));
    EXPECT_EQ(run.CloseWindow(), 0);
}

TEST(SecondCopy, EndsAtOnceAndLeavesTheFirstAlone) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    run.Launch();
    ASSERT_TRUE(run.WaitForWindow());
    ASSERT_TRUE(run.WaitFor("first-copy", NameDialogShown, 20s));

    run.Screen().TakeCreatedWindows(); // start watching for new windows
    auto second = run.LaunchExtraCopy("second-copy-stderr.txt");
    const auto code = second->WaitForExit(10s);
    ASSERT_TRUE(code.has_value()) << "the second copy did not end";
    EXPECT_EQ(*code, 0);
    EXPECT_TRUE(run.Screen().TakeCreatedWindows().empty()) << "the second copy opened a window";
    EXPECT_EQ(run.Screen().FindWindows("Zorbit Volley").size(), 1u);

    // The first copy still runs and takes input.
    ASSERT_TRUE(run.Game().Running());
    run.MoveTo(400, 250);
    run.Type("Ida");
    run.Key("Return");
    EXPECT_TRUE(run.WaitFor("first-copy-still-playing", MainMenuShown, 10s));
    EXPECT_EQ(run.CloseWindow(), 0);
}

// A copy of the program in a folder of its own, without its packs beside it.
std::string CopyWithoutPacks(const GameRun& run) {
    const std::string dir = run.Scratch("bare-install");
    fs::create_directories(dir);
    fs::copy_file(zvtest::BinaryDir() + "/zorbit-volley", dir + "/zorbit-volley");
    fs::permissions(dir + "/zorbit-volley", fs::perms::owner_all, fs::perm_options::add);
    return dir;
}

TEST(MissingPacks, ReportedOnStandardErrorWithoutADisplay) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    const std::string dir = CopyWithoutPacks(run);

    // No display at all: no box can be shown, so the one report goes to standard error, and
    // the program ends by itself with a failure status instead of hanging.
    LaunchOptions options;
    options.argv = {dir + "/zorbit-volley"};
    options.env = Environment::Inherited();
    options.env.Unset("DISPLAY");
    options.env.Unset("WAYLAND_DISPLAY");
    options.env.Unset("SDL_VIDEODRIVER");
    options.env.Set("HOME", run.HomeDir());
    options.env.Set("XDG_CONFIG_HOME", run.Scratch("config"));
    options.env.Set("XDG_DATA_HOME", run.Scratch("data"));
    options.env.Set("SDL_AUDIODRIVER", "dummy");
    options.workDir = dir;
    options.stderrPath = run.ArtifactDir() + "/no-display-stderr.txt";
    ChildProcess game(options);
    const auto code = game.WaitForExit(20s);
    ASSERT_TRUE(code.has_value()) << "the program hung without its packs";
    EXPECT_EQ(*code, 1);
    const std::string errors = zvtest::ReadAll(options.stderrPath);
    EXPECT_EQ(CountOf(errors, "Error Loading Resource File."), 1) << errors;
    EXPECT_EQ(CountOf(errors, "Not Found"), 0) << errors;
}

// Clicks OK on error boxes as they come, until the game's window is up and no box has
// come for a while. Returns the widths of the windows created meanwhile, in order.
std::vector<int> AnswerErrorBoxes(GameRun& run, std::chrono::seconds limit) {
    std::vector<int> widths;
    int snapped = 0;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto lastBox = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() < deadline && run.Game().Running()) {
        for (const WindowPlace& created : run.Screen().TakeCreatedWindows()) {
            widths.push_back(created.width);
        }
        const std::vector<WindowId> boxes = run.Screen().FindWindows("Error");
        const auto place = boxes.empty() ? std::nullopt : run.Screen().Place(boxes.front());
        if (!place || !place->mapped) {
            if (std::chrono::steady_clock::now() - lastBox > 2s &&
                !run.Screen().FindWindows("Zorbit Volley").empty()) {
                break;
            }
            std::this_thread::sleep_for(20ms);
            continue;
        }
        if (snapped < 3) {
            run.Snap("error-box-" + std::to_string(++snapped));
        }
        // The box's one button, OK, is centred at its bottom. Each box is a new X client
        // and may reuse the window id of the one before, so a new box is told by its
        // creation, not by its id.
        run.ClickScreen(place->x + place->width / 2, place->y + place->height - 22);
        const auto next = std::chrono::steady_clock::now() + 400ms;
        std::vector<WindowPlace> created;
        while (created.empty() && std::chrono::steady_clock::now() < next) {
            std::this_thread::sleep_for(10ms);
            created = run.Screen().TakeCreatedWindows();
        }
        for (const WindowPlace& window : created) {
            widths.push_back(window.width);
        }
        lastBox = std::chrono::steady_clock::now();
    }
    return widths;
}

TEST(MissingPacks, OneBoxNamesThePackThenTheGameEnds) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    const std::string dir = CopyWithoutPacks(run);
    run.Screen().TakeCreatedWindows(); // start watching for new windows
    run.LaunchFrom(dir + "/zorbit-volley", dir);

    // One box, and once it is answered the program ends: no game window, no box per
    // picture.
    const std::vector<int> widths = AnswerErrorBoxes(run, 30s);
    ASSERT_GE(widths.size(), 1u) << "no error box";
    const auto code = run.Game().WaitForExit(10s);
    ASSERT_TRUE(code.has_value()) << "the game went on without its packs";
    EXPECT_EQ(*code, 1);
    EXPECT_EQ(widths.size(), 1u) << "more than one box, or a game window";
    EXPECT_TRUE(run.Screen().FindWindows("Zorbit Volley").empty());
}

// A players file with a stray line, as a hand edit or a bad disk leaves it: the game tells
// once where it kept a copy, then greets the returning player with their saved game, and
// the file it writes back reads cleanly at the next start.
TEST(DamagedPlayers, KeptWithTheirSavedGameAfterOneMessage) {
    GameRun run;
    SKIP_WITHOUT_X(run);
    WritePlayers(run, {"Ann", "Bob"}, 0);
    const std::string profiles = run.DataDir() + "/Profiles.Txt";
    zvtest::WriteAll(profiles, "junk\n" + zvtest::ReadAll(profiles) + "}\n");
    fs::create_directories(run.DataDir() + "/Save");
    zvtest::WriteAll(SlotFile(run, "Ann"), "not a game, but four bytes or more");

    run.Launch();
    const std::vector<int> widths = AnswerErrorBoxes(run, 60s);
    ASSERT_TRUE(run.WaitForWindow(20s));
    EXPECT_TRUE(run.WaitFor("players-kept", MainMenuShown, 20s)) << "no name dialog: Ann is kept";
    EXPECT_EQ(CountOf(run.GameStderr(), "Profiles.Txt is damaged"), 1) << run.GameStderr();
    std::vector<std::string> copies;
    for (const std::string& name : FilesUnder(run.DataDir())) {
        if (name.rfind("Profiles.Txt.damaged-", 0) == 0) {
            copies.push_back(name);
        }
    }
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_NE(zvtest::ReadAll(run.DataDir() + "/" + copies[0]).find("junk"), std::string::npos);
    const std::string rewritten = zvtest::ReadAll(profiles);
    EXPECT_EQ(rewritten.find("junk"), std::string::npos) << rewritten;
    EXPECT_NE(rewritten.find("\"Bob\""), std::string::npos) << rewritten;
    EXPECT_EQ(run.CloseWindow(), 0);
}

} // namespace
} // namespace e2e
