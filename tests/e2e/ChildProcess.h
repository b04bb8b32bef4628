#pragma once
#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace e2e {

// The environment handed to a child process: this process's own, with changes.
class Environment {
public:
    static Environment Inherited();
    void Set(const std::string& name, const std::string& value) { values_[name] = value; }
    void Unset(const std::string& name) { values_.erase(name); }
    std::vector<std::string> Entries() const;

private:
    std::map<std::string, std::string> values_;
};

struct LaunchOptions {
    std::vector<std::string> argv; // argv[0] is looked up in PATH when it has no slash
    Environment env;
    std::string workDir;
    std::string stdoutPath = "/dev/null";
    std::string stderrPath = "/dev/null";
    int inheritFd = -1; // kept open in the child under the same number
};

// A started program. The destructor stops it if it still runs, so no test leaves a
// game or an X server behind, whatever way it ends.
class ChildProcess {
public:
    explicit ChildProcess(const LaunchOptions& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    pid_t Pid() const { return pid_; }
    bool Running();
    // The exit code (128 + signal number when killed by a signal), or nothing when the
    // process still runs after the timeout.
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // SIGTERM, a grace period, then SIGKILL; always reaps.
    void Stop();
    // User plus system CPU time used so far, in milliseconds; -1 once it has ended.
    long CpuMillis() const;

private:
    void Reap(int status);

    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

// Runs a short helper command (xdotool) to its end. Returns its exit code, or -1 when it
// could not be started or did not finish in time; its standard output goes to *out.
int RunCommand(const std::vector<std::string>& argv, const Environment& env,
               std::string* out = nullptr,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));

// True when the program is found in PATH.
bool HaveProgram(const std::string& name);

} // namespace e2e
