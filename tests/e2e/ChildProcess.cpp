#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace e2e {

using Clock = std::chrono::steady_clock;

Environment Environment::Inherited() {
    Environment env;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text(*entry);
        const auto eq = text.find('=');
        if (eq != std::string::npos) {
            env.values_[text.substr(0, eq)] = text.substr(eq + 1);
        }
    }
    return env;
}

std::vector<std::string> Environment::Entries() const {
    std::vector<std::string> entries;
    for (const auto& [name, value] : values_) {
        entries.push_back(name + "=" + value);
    }
    return entries;
}

namespace {

std::vector<char*> CStrings(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// Runs in the forked child: only async-signal-safe work until exec.
[[noreturn]] void ExecChild(std::vector<std::string> argv, std::vector<std::string> env,
                            const std::string& workDir, int stdoutFd, int stderrFd, int inheritFd) {
    ::setpgid(0, 0); // its own process group, so a stop reaches nothing of ours
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) {
        ::_exit(126);
    }
    const int devNull = ::open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        ::dup2(devNull, 0);
    }
    if (stdoutFd >= 0) {
        ::dup2(stdoutFd, 1);
    }
    if (stderrFd >= 0) {
        ::dup2(stderrFd, 2);
    }
    if (inheritFd >= 0) {
        const int flags = ::fcntl(inheritFd, F_GETFD);
        ::fcntl(inheritFd, F_SETFD, flags & ~FD_CLOEXEC);
    }
    std::vector<char*> args = CStrings(argv);
    std::vector<char*> envp = CStrings(env);
    ::execvpe(args[0], args.data(), envp.data());
    ::_exit(127);
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

} // namespace

ChildProcess::ChildProcess(const LaunchOptions& options) {
    if (options.argv.empty()) {
        return;
    }
    const int out =
        ::open(options.stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const int err =
        ::open(options.stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ExecChild(options.argv, options.env.Entries(), options.workDir, out, err,
                  options.inheritFd);
    }
    pid_ = pid;
    if (out >= 0) {
        ::close(out);
    }
    if (err >= 0) {
        ::close(err);
    }
}

ChildProcess::~ChildProcess() {
    Stop();
}

void ChildProcess::Reap(int status) {
    exitCode_ = DecodeStatus(status);
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || exitCode_) {
        return false;
    }
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        Reap(status);
        return false;
    }
    return r == 0;
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Running()) {
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return exitCode_;
}

void ChildProcess::Stop() {
    if (!Running()) {
        return;
    }
    ::kill(pid_, SIGTERM);
    if (WaitForExit(std::chrono::seconds(3))) {
        return;
    }
    ::kill(pid_, SIGKILL);
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_) {
        Reap(status);
    }
}

long ChildProcess::CpuMillis() const {
    if (pid_ <= 0 || exitCode_) {
        return -1;
    }
    FILE* file = std::fopen(("/proc/" + std::to_string(pid_) + "/stat").c_str(), "r");
    if (!file) {
        return -1;
    }
    char buffer[1024] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, file);
    std::fclose(file);
    // The command name may hold spaces; the fields after it start past its closing ')'.
    const char* after = std::strrchr(buffer, ')');
    if (n == 0 || !after) {
        return -1;
    }
    std::istringstream fields(after + 2);
    std::string skip;
    for (int i = 3; i <= 13; ++i) { // state .. cmajflt
        fields >> skip;
    }
    unsigned long long user = 0, system = 0;
    fields >> user >> system;
    const long ticks = ::sysconf(_SC_CLK_TCK);
    return static_cast<long>((user + system) * 1000ULL / static_cast<unsigned long long>(ticks));
}

int RunCommand(const std::vector<std::string>& argv, const Environment& env, std::string* out,
               std::chrono::milliseconds timeout) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return -1;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ExecChild(argv, env.Entries(), "", fds[1], -1, -1);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return -1;
    }
    const auto deadline = Clock::now() + timeout;
    std::string text;
    char buffer[4096];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0) {
            break; // end of output: the command has finished or closed it
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    int status = 0;
    pid_t r = 0;
    while ((r = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (r != pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        return -1;
    }
    if (out) {
        *out = text;
    }
    return DecodeStatus(status);
}

bool HaveProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (::access((dir + "/" + name).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace e2e
