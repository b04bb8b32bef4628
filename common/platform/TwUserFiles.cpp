#include "platform/TwUserFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
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
    if (!TwMakeDirs(dir)) {
        return false;
    }
    std::string tmp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        return false;
    }
    ::fchmod(fd, 0644);
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(tmp.c_str(), path.c_str()) != 0) {
        ::unlink(tmp.c_str());
        return false;
    }
    return true;
}

bool TwReadFile(const std::string& path, std::string& out) {
    out.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    char buf[16384];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) {
        out.append(buf, n);
    }
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}
