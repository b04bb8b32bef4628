#include "platform/os/TwUserFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kAppDir = "zorbit-volley";

std::string HomeDir() {
    const char* home = std::getenv("HOME");
    if (home && *home) {
        return home;
    }
    if (const passwd* pw = getpwuid(getuid())) {
        if (pw->pw_dir) {
            return pw->pw_dir;
        }
    }
    return "/tmp";
}

// An XDG base directory: the variable if it holds an absolute path, else the fallback
// under the home directory (relative values are ignored, as the convention says).
std::string XdgBase(const char* var, const char* fallbackUnderHome) {
    const char* value = std::getenv(var);
    if (value && value[0] == '/') {
        return value;
    }
    return HomeDir() + "/" + fallbackUnderHome;
}

std::string ParentOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Closes a descriptor when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_;
};

constexpr int kDirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// The game's own folder that holds `dir` (the configuration or the data folder), or empty
// when `dir` lies elsewhere (the tools write their packs anywhere they are told).
std::string GameFolderHolding(const std::string& dir) {
    for (const std::string& base : {TwConfigDir(), TwDataDir()}) {
        if (dir == base || dir.compare(0, base.size() + 1, base + "/") == 0) {
            return base;
        }
    }
    return {};
}

// Opens the folder a file is written into. Inside the game's folders every step below the
// folder itself is taken without following links, so a link planted there (Save pointing
// elsewhere) cannot send a player file out of them.
int OpenTargetDir(const std::string& dir) {
    const std::string base = GameFolderHolding(dir);
    if (base.empty()) {
        return ::open(dir.c_str(), kDirFlags);
    }
    int fd = ::open(base.c_str(), kDirFlags);
    std::size_t at = base.size();
    while (fd >= 0 && at < dir.size()) {
        const std::size_t start = at + 1;
        const std::size_t end = std::min(dir.find('/', start), dir.size());
        at = end;
        const std::string step = dir.substr(start, end - start);
        if (step.empty() || step == ".") {
            continue;
        }
        const int next = step == ".." ? -1 : ::openat(fd, step.c_str(), kDirFlags | O_NOFOLLOW);
        ::close(fd);
        fd = next;
    }
    return fd;
}

// A name for the temporary file nobody can guess beforehand.
std::string UnpredictableSuffix() {
    unsigned char bytes[8] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
        // No random source: the exclusive create below still refuses a planted name.
        static unsigned counter = 0;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const unsigned long long mix = static_cast<unsigned long long>(now.tv_nsec) * 2654435761u ^
                                       static_cast<unsigned long long>(::getpid()) << 32 ^
                                       ++counter;
        for (std::size_t i = 0; i < sizeof bytes; ++i) {
            bytes[i] = static_cast<unsigned char>(mix >> (i * 8));
        }
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string suffix;
    for (const unsigned char b : bytes) {
        suffix += kDigits[b >> 4];
        suffix += kDigits[b & 15];
    }
    return suffix;
}

// Creates the temporary file exclusively (never opening anything already there, a link
// included); `name` receives its name. The name's length does not depend on the file's, so
// any name the folder takes can be written.
int CreateTemporary(int dirFd, std::string& name) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        name = ".tmp-" + UnpredictableSuffix();
        const int fd = ::openat(dirFd, name.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::string TwConfigDir() {
    return XdgBase("XDG_CONFIG_HOME", ".config") + "/" + kAppDir;
}

std::string TwDataDir() {
    return XdgBase("XDG_DATA_HOME", ".local/share") + "/" + kAppDir;
}

std::string TwUserPath(std::string_view gameName) {
    constexpr std::string_view prefix = "Data/";
    if (gameName.substr(0, prefix.size()) != prefix) {
        return std::string(gameName);
    }
    const std::string_view rest = gameName.substr(prefix.size());
    if (rest == "TwConfig.Cfg") {
        return TwConfigDir() + "/" + std::string(rest);
    }
    return TwDataDir() + "/" + std::string(rest);
}

bool TwMakeDirs(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::string parent = ParentOf(dir);
    if (parent != dir && !TwMakeDirs(parent)) {
        return false;
    }
    return ::mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool TwWriteFileAtomic(const std::string& path, std::string_view bytes) {
    const std::string dir = ParentOf(path);
    const std::string name = BaseNameOf(path);
    if (name.empty() || name == "." || name == ".." || !TwMakeDirs(dir)) {
        return false;
    }
    const Fd dirFd(OpenTargetDir(dir));
    if (!dirFd.Valid()) {
        return false;
    }
    std::string tmp;
    const int fd = CreateTemporary(dirFd.Get(), tmp);
    if (fd < 0) {
        return false;
    }
    ::fchmod(fd, 0644);
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    // The rename replaces whatever has the name (a link is replaced, its target untouched).
    if (!written || !closed ||
        ::renameat(dirFd.Get(), tmp.c_str(), dirFd.Get(), name.c_str()) != 0) {
        ::unlinkat(dirFd.Get(), tmp.c_str(), 0);
        return false;
    }
    ::fsync(dirFd.Get()); // the new name on disk too
    return true;
}

namespace {

// Opens a file for reading without waiting on a FIFO or device; -1 unless it is a regular
// file. `info` receives its status.
int OpenRegularForReading(const std::string& path, struct stat& info) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0 && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

long long TwReadableFileSize(const std::string& path) {
    struct stat info {};
    const Fd fd(OpenRegularForReading(path, info));
    return fd.Valid() ? static_cast<long long>(info.st_size) : -1;
}

bool TwReadFile(const std::string& path, std::string& out) {
    out.clear();
    // Only a regular file is read: a FIFO or a device at a player file's name would block
    // the game or never end.
    struct stat info {};
    const Fd fd(OpenRegularForReading(path, info));
    if (!fd.Valid()) {
        return false;
    }
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd.Get(), buf, sizeof buf);
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            out.clear();
            return false;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
}
