// The game's own program started against a broken installation: packs that are damaged or
// missing give their message and a game that runs until it is closed and then exits
// cleanly; no display gives a clear message and a clean exit. Run as a separate process,
// so a crash, a hang or (in the sanitizer build) a leak at exit shows up as it would for a
// player.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kPackMessage = "Error: Error Loading Resource File.";

struct Outcome {
    bool exited = false; // ended by itself (not killed by a signal)
    int code = -1;
    int signal = 0;
    std::string errors; // what it wrote on standard error
};

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// Starts the program in `folder` with the test's own player folders and no real display or
// sound. When `closeAfter` is given, the window is closed (as the desktop does at log-out,
// with SIGTERM) once that text has appeared on standard error and the game had a moment
// to run; otherwise the program must end by itself.
class GameProcess {
public:
    GameProcess() {
        Set("SDL_VIDEODRIVER", "offscreen");
        Set("SDL_AUDIODRIVER", "dummy");
        Set("XDG_CONFIG_HOME", home_.File("config"));
        Set("XDG_DATA_HOME", home_.File("data"));
        Set("HOME", home_.Path());
        for (const char* name : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
            if (const char* value = std::getenv(name)) {
                Set(name, value);
            }
        }
    }

    void Set(const std::string& name, const std::string& value) {
        for (std::string& entry : env_) {
            if (entry.compare(0, name.size() + 1, name + "=") == 0) {
                entry = name + "=" + value;
                return;
            }
        }
        env_.push_back(name + "=" + value);
    }

    Outcome Run(const std::string& program, const std::string& folder,
                const std::string& closeAfter = "") {
        std::vector<char*> envp;
        for (std::string& entry : env_) {
            envp.push_back(entry.data());
        }
        envp.push_back(nullptr);
        std::string programCopy = program;
        char* argv[] = {programCopy.data(), nullptr};
        int pipeFds[2];
        if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "no pipe";
            return {};
        }
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int devNull = ::open("/dev/null", O_RDWR);
            ::dup2(devNull, 0);
            ::dup2(devNull, 1);
            ::dup2(pipeFds[1], 2);
            if (::chdir(folder.c_str()) == 0) {
                ::execve(argv[0], argv, envp.data());
            }
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        Outcome outcome;
        const auto start = Clock::now();
        bool closed = closeAfter.empty();
        auto closeAt = Clock::time_point::max();
        int status = 0;
        for (;;) {
            pollfd reader{pipeFds[0], POLLIN, 0};
            if (::poll(&reader, 1, 100) > 0) {
                char buffer[4096];
                const ssize_t got = ::read(pipeFds[0], buffer, sizeof buffer);
                if (got > 0) {
                    outcome.errors.append(buffer, static_cast<std::size_t>(got));
                }
            }
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                break;
            }
            const auto now = Clock::now();
            if (!closed && closeAt == Clock::time_point::max() &&
                outcome.errors.find(closeAfter) != std::string::npos) {
                closeAt = now + std::chrono::milliseconds(1500);
            }
            if (!closed && now >= closeAt) {
                ::kill(pid, SIGTERM);
                closed = true;
            }
            if (now - start > std::chrono::seconds(180)) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "the game did not end; it wrote:\n" << outcome.errors;
                break;
            }
        }
        // What is still in the pipe.
        char buffer[4096];
        ssize_t got = 0;
        while ((got = ::read(pipeFds[0], buffer, sizeof buffer)) > 0) {
            outcome.errors.append(buffer, static_cast<std::size_t>(got));
        }
        ::close(pipeFds[0]);
        outcome.exited = WIFEXITED(status);
        outcome.code = outcome.exited ? WEXITSTATUS(status) : -1;
        outcome.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
        return outcome;
    }

private:
    zvtest::TempDir home_;
    std::vector<std::string> env_;
};

std::string GameProgram() {
    return zvtest::BinaryDir() + "/zorbit-volley";
}

void ExpectCleanExit(const Outcome& outcome) {
    EXPECT_TRUE(outcome.exited) << "ended by signal " << outcome.signal << "; it wrote:\n"
                                << outcome.errors;
    EXPECT_EQ(outcome.code, 0) << outcome.errors;
}

// A game without whole packs cannot be played: it says so once, naming the pack, and ends
// by itself with a failure status instead of opening a window without pictures or words.
void ExpectOneStopMessage(const Outcome& outcome, const std::string& pack) {
    EXPECT_TRUE(outcome.exited) << "ended by signal " << outcome.signal << "; it wrote:\n"
                                << outcome.errors;
    EXPECT_EQ(outcome.code, 1) << outcome.errors;
    EXPECT_EQ(Count(outcome.errors, kPackMessage), 1) << outcome.errors;
    EXPECT_NE(outcome.errors.find(pack), std::string::npos) << outcome.errors;
    EXPECT_EQ(outcome.errors.find("Not Found"), std::string::npos) << outcome.errors;
}

TEST(StartFaults, DamagedPacksAreReportedOnceAndTheGameStops) {
    zvtest::TempDir folder;
    std::filesystem::create_directories(folder.File("Data"));
    // A pack's size but not its layout, and a pack cut off in its first bytes.
    std::string noise(70000, '\0');
    for (std::size_t i = 0; i < noise.size(); ++i) {
        noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    }
    zvtest::WriteAll(folder.File("Data/Resource.Twr"), noise);
    zvtest::WriteAll(folder.File("Data/Lang.Twr"), noise.substr(0, 3));
    GameProcess game;
    ExpectOneStopMessage(game.Run(GameProgram(), folder.Path()), "Resource.Twr");

    // The real packs, the resource pack cut short by a few bytes (as an interrupted copy
    // leaves it): damaged, not missing.
    const std::string real = zvtest::ReadAll(zvtest::BinaryDir() + "/Data/Resource.Twr");
    zvtest::WriteAll(folder.File("Data/Resource.Twr"), real.substr(0, real.size() - 4096));
    std::filesystem::copy_file(zvtest::BinaryDir() + "/Data/Lang.Twr", folder.File("Data/Lang.Twr"),
                               std::filesystem::copy_options::overwrite_existing);
    GameProcess again;
    const Outcome cut = again.Run(GameProgram(), folder.Path());
    ExpectOneStopMessage(cut, "Resource.Twr");
    EXPECT_NE(cut.errors.find("damaged"), std::string::npos) << cut.errors;
}

TEST(StartFaults, MissingMainPackIsReportedOnceAndTheGameStops) {
    // The program alone in a folder of its own, with only the language pack beside it.
    zvtest::TempDir folder;
    std::filesystem::create_directories(folder.File("bin"));
    std::filesystem::create_directories(folder.File("Data"));
    const std::string program = folder.File("bin/zorbit-volley");
    std::filesystem::copy_file(GameProgram(), program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    std::filesystem::copy_file(zvtest::BinaryDir() + "/Data/Lang.Twr",
                               folder.File("Data/Lang.Twr"));

    GameProcess game;
    const Outcome outcome = game.Run(program, folder.Path());
    ExpectOneStopMessage(outcome, "Resource.Twr");
    EXPECT_NE(outcome.errors.find("missing"), std::string::npos) << outcome.errors;
}

TEST(StartFaults, NoDisplayGivesAClearMessageAndACleanExit) {
    GameProcess game;
    game.Set("SDL_VIDEODRIVER", "zv-no-such-display");
    const Outcome outcome = game.Run(GameProgram(), zvtest::BinaryDir());
    ExpectCleanExit(outcome);
    EXPECT_NE(outcome.errors.find("could not open its window"), std::string::npos)
        << outcome.errors;
    EXPECT_EQ(Count(outcome.errors, kPackMessage), 0) << outcome.errors;
}

} // namespace
