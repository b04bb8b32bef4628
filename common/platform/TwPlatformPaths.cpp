#include "platform/TwPlatformPaths.h"

#include <climits>
#include <unistd.h>

#ifndef ZV_INSTALL_DATADIR
#define ZV_INSTALL_DATADIR "/usr/local/share/zorbit-volley"
#endif

std::string TwInstallDataDir() {
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
