#include "platform/os/TwPlatformPaths.h"

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#ifndef ZV_INSTALL_DATADIR
#define ZV_INSTALL_DATADIR "/usr/local/share/zorbit-volley"
#endif
// Where the data lies as seen from the installed program's own directory.
#ifndef ZV_DATADIR_FROM_BINDIR
#define ZV_DATADIR_FROM_BINDIR "../share/zorbit-volley"
#endif

namespace {

bool IsDirectory(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

// A package or a tree installed under another prefix (or moved afterwards) keeps the data
// beside its bin/ directory; the prefix chosen at configure time is the fallback.
std::string TwInstallDataDir() {
    const std::string exeDir = TwExecutableDir();
    if (!exeDir.empty()) {
        std::string beside = exeDir + "/" + ZV_DATADIR_FROM_BINDIR;
        if (IsDirectory(beside + "/Data")) {
            return beside;
        }
    }
    return ZV_INSTALL_DATADIR;
}

std::string TwExecutableDir() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return {};
    }
    const std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}
