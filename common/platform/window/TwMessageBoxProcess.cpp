#include "platform/window/TwMessageBoxProcess.h"

#include <SDL.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The hidden word: the program, this word, the owner window, the caption and the text.
constexpr const char* kBoxMode = "--zorbit-volley-message-box";
constexpr int kBoxArgs = 5;

// The signal the box's process receives when the game ends.
constexpr int kGameEnded = SIGTERM;

bool gApart = false;
volatile sig_atomic_t gLeadsItsGroup = 0;

extern "C" void EndBoxGroup(int) {
    // SDL shows the box from a forked process of its own; the box's process leads a process
    // group, so both end together.
    if (gLeadsItsGroup) {
        ::kill(0, SIGKILL);
    }
    ::_exit(1);
}

// The highest descriptor number a child could have inherited.
int DescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 65536));
    }
    return 4096;
}

// In the forked child, before exec: only async-signal-safe calls. A failed exec reports its
// errno through `report` (closed by a successful exec).
[[noreturn]] void BecomeBoxProcess(char* const* argv, pid_t game, int report, int fdLimit) {
    ::setpgid(0, 0);
    // Ends with the game; the setting survives the exec. If the game ended before it was
    // made, nobody waits for the box any more.
    if (::prctl(PR_SET_PDEATHSIG, kGameEnded) != 0 || ::getppid() != game) {
        ::_exit(1);
    }
    struct sigaction plain {};
    plain.sa_handler = SIG_DFL;
    ::sigaction(kGameEnded, &plain, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // Nothing the game opened goes along, whether it was opened close-on-exec or not.
    if (::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = 3; fd < fdLimit; ++fd) {
            if (fd != report) {
                ::fcntl(fd, F_SETFD, FD_CLOEXEC);
            }
        }
    }
    ::execv("/proc/self/exe", argv);
    const int error = errno;
    [[maybe_unused]] const ssize_t told = ::write(report, &error, sizeof error);
    ::_exit(127);
}

pid_t WaitFor(pid_t pid, int& status) {
    pid_t rc;
    do {
        rc = ::waitpid(pid, &status, 0);
    } while (rc < 0 && errno == EINTR);
    return rc;
}

} // namespace

bool TwIsMessageBoxProcess(int argc, char** argv) {
    return argc == kBoxArgs && std::strcmp(argv[1], kBoxMode) == 0;
}

int TwRunMessageBoxProcess(int argc, char** argv) {
    if (!TwIsMessageBoxProcess(argc, argv)) {
        return 1;
    }
    gLeadsItsGroup = ::getpgrp() == ::getpid();
    struct sigaction end {};
    end.sa_handler = EndBoxGroup;
    ::sigaction(kGameEnded, &end, nullptr);

    // The box stays above the game's window when it knows it (X11 only).
    const unsigned long owner = std::strtoul(argv[2], nullptr, 10);
    SDL_Window* ownerWindow = nullptr;
    if (owner != 0) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1"); // the game's business, not the box's
        if (SDL_Init(SDL_INIT_VIDEO) == 0) {
            // SDL takes the X11 window id as a pointer.
            // NOLINTNEXTLINE(performance-no-int-to-ptr)
            void* const handle = reinterpret_cast<void*>(static_cast<uintptr_t>(owner));
            ownerWindow = SDL_CreateWindowFrom(handle);
        }
    }
    const bool shown =
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, argv[3], argv[4], ownerWindow) == 0;
    // The game's window is not this process's to close or hide: leave without SDL_Quit.
    std::fflush(nullptr);
    ::_exit(shown ? 0 : 1);
}

void TwShowMessageBoxesApart() {
    gApart = true;
}

bool TwMessageBoxesApart() {
    return gApart;
}

bool TwShowMessageBoxApart(const std::string& caption, const std::string& text,
                           unsigned long ownerWindow) {
    std::string program = "zorbit-volley", mode = kBoxMode, owner = std::to_string(ownerWindow);
    std::string captionArg = caption, textArg = text;
    char* const argv[] = {program.data(),    mode.data(),    owner.data(),
                          captionArg.data(), textArg.data(), nullptr};
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        return false;
    }
    const pid_t game = ::getpid();
    const int fdLimit = DescriptorLimit();
    const pid_t pid = ::fork();
    if (pid == 0) {
        BecomeBoxProcess(argv, game, report[1], fdLimit);
    }
    ::close(report[1]);
    if (pid < 0) {
        ::close(report[0]);
        return false;
    }
    int execError = 0;
    ssize_t told;
    do {
        told = ::read(report[0], &execError, sizeof execError);
    } while (told < 0 && errno == EINTR);
    ::close(report[0]);
    int status = 0;
    const pid_t ended = WaitFor(pid, status);
    return told == 0 && ended == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
