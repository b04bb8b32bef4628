#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>

#include "TestSupport.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr const char* kAppId = "org.zorbitvolley.ZorbitVolley";

// Runs a shell command; true when it exited with 0.
bool RunShell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

bool HaveTool(const std::string& name) {
    return RunShell("command -v " + name + " >/dev/null 2>&1");
}

// The "key=value" lines of a desktop entry's main group.
std::map<std::string, std::string> DesktopEntry(const std::string& path) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(zvtest::ReadAll(path));
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq != std::string::npos && line[0] != '#' && line[0] != '[') {
            keys[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return keys;
}

// Width and height from a PNG's header; false when the file is no PNG.
bool PngSize(const std::string& path, unsigned& width, unsigned& height) {
    const std::string bytes = zvtest::ReadAll(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        return false;
    }
    auto be32 = [&](std::size_t at) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
        }
        return value;
    };
    width = be32(16);
    height = be32(20);
    return true;
}

// Installs the build tree once, the way a packager does: prefix /usr under a staging root.
class InstallTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stage_ = new zvtest::TempDir;
        installed_ =
            RunShell("DESTDIR='" + stage_->Path() + "' cmake --install '" + zvtest::BinaryDir() +
                     "' --prefix /usr >'" + stage_->File("log.txt") + "' 2>&1");
    }
    static void TearDownTestSuite() {
        delete stage_;
        stage_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(installed_) << zvtest::ReadAll(stage_->File("log.txt")); }

    static std::string Usr(const std::string& rest) { return stage_->Path() + "/usr/" + rest; }

    static zvtest::TempDir* stage_;
    static bool installed_;
};

zvtest::TempDir* InstallTree::stage_ = nullptr;
bool InstallTree::installed_ = false;

} // namespace

TEST_F(InstallTree, HoldsTheProgramAndTheSamePacksTheBuildMade) {
    const fs::path program = Usr("bin/zorbit-volley");
    ASSERT_TRUE(fs::is_regular_file(program));
    EXPECT_NE(fs::status(program).permissions() & fs::perms::others_exec, fs::perms::none);
    for (const char* pack : {"Resource.Twr", "Lang.Twr"}) {
        const std::string installed = Usr("share/zorbit-volley/Data/") + pack;
        ASSERT_TRUE(fs::is_regular_file(installed)) << installed;
        EXPECT_TRUE(zvtest::ReadAll(installed) ==
                    zvtest::ReadAll(zvtest::BinaryDir() + "/Data/" + pack))
            << pack << " differs from the build's";
    }
    EXPECT_TRUE(fs::is_regular_file(Usr("share/man/man6/zorbit-volley.6.gz")));
    // Each Debian package made from this tree has its copyright file and changelog.
    for (const char* package : {"zorbit-volley", "zorbit-volley-data"}) {
        for (const char* doc : {"copyright", "changelog.gz"}) {
            EXPECT_TRUE(fs::is_regular_file(Usr("share/doc/") + package + "/" + doc))
                << package << "/" << doc;
        }
    }
}

// The menu entry starts the installed program and shows an icon the theme really has at
// every size a desktop asks for.
TEST_F(InstallTree, MenuEntryPointsAtTheProgramAndItsIcons) {
    const std::string desktop = Usr("share/applications/") + kAppId + ".desktop";
    ASSERT_TRUE(fs::is_regular_file(desktop));
    auto entry = DesktopEntry(desktop);
    EXPECT_EQ(entry["Type"], "Application");
    EXPECT_EQ(entry["Name"], "Zorbit Volley");
    EXPECT_TRUE(fs::is_regular_file(Usr("bin/") + entry["Exec"])) << entry["Exec"];
    ASSERT_FALSE(entry["Icon"].empty());
    for (unsigned size : {48u, 128u, 256u}) {
        const std::string icon = Usr("share/icons/hicolor/") + std::to_string(size) + "x" +
                                 std::to_string(size) + "/apps/" + entry["Icon"] + ".png";
        unsigned width = 0, height = 0;
        ASSERT_TRUE(PngSize(icon, width, height)) << icon;
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
    }
    if (HaveTool("desktop-file-validate")) {
        EXPECT_TRUE(RunShell("desktop-file-validate '" + desktop + "'"));
    }
}

TEST_F(InstallTree, AppStreamMetadataNamesTheMenuEntryAndValidates) {
    const std::string metainfo = Usr("share/metainfo/") + kAppId + ".metainfo.xml";
    ASSERT_TRUE(fs::is_regular_file(metainfo));
    const std::string text = zvtest::ReadAll(metainfo);
    EXPECT_NE(text.find(std::string("<launchable type=\"desktop-id\">") + kAppId + ".desktop<"),
              std::string::npos);
    if (HaveTool("appstreamcli")) {
        EXPECT_TRUE(RunShell("appstreamcli validate --no-net '" + metainfo + "' >/dev/null"));
    }
}

namespace {

// Starts a program in a directory with its output going to a file; returns its process id.
pid_t StartIn(const std::string& program, const std::string& dir, const std::string& errPath) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Runs the program until its error output holds `awaited` or `limit` has passed, then ends
// it; its error output. The packs are opened first thing, so a complaint comes early.
std::string RunUntil(const std::string& program, const std::string& dir, const std::string& errPath,
                     const std::string& awaited, std::chrono::milliseconds limit) {
    const pid_t pid = StartIn(program, dir, errPath);
    if (pid <= 0) {
        return "could not start";
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline &&
           zvtest::ReadAll(errPath).find(awaited) == std::string::npos) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return zvtest::ReadAll(errPath);
}

} // namespace

// The tree was installed for /usr but lies elsewhere: the program still finds its packs
// beside its bin/ directory, started from an unrelated directory; without them it says so.
TEST_F(InstallTree, RelocatedProgramFindsItsPacks) {
    zvtest::ScopedUserDirs dirs;
    zvtest::TempDir elsewhere;
    const std::string program = Usr("bin/zorbit-volley");
    const std::string kPackError = "Error Loading Resource File";
    const std::string found = RunUntil(program, elsewhere.Path(), elsewhere.File("err1.txt"),
                                       kPackError, std::chrono::seconds(3));
    EXPECT_EQ(found.find(kPackError), std::string::npos) << found;

    fs::rename(Usr("share/zorbit-volley/Data"), Usr("share/zorbit-volley/Moved"));
    const std::string missing = RunUntil(program, elsewhere.Path(), elsewhere.File("err2.txt"),
                                         kPackError, std::chrono::seconds(20));
    fs::rename(Usr("share/zorbit-volley/Moved"), Usr("share/zorbit-volley/Data"));
    EXPECT_NE(missing.find(kPackError), std::string::npos) << missing;
}
