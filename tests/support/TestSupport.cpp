#include "TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zvtest {

namespace {

void Remember(const char* var, std::string& value, bool& had) {
    if (const char* v = std::getenv(var)) {
        had = true;
        value = v;
    }
}

void Restore(const char* var, const std::string& value, bool had) {
    if (had) {
        ::setenv(var, value.c_str(), 1);
    } else {
        ::unsetenv(var);
    }
}

} // namespace

TempDir::TempDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "zv-test-XXXXXX").string();
    if (!::mkdtemp(templ.data())) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = templ;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only folders behind; make them writable before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

ScopedUserDirs::ScopedUserDirs() {
    Remember("XDG_CONFIG_HOME", oldConfig_, hadConfig_);
    Remember("XDG_DATA_HOME", oldData_, hadData_);
    Remember("HOME", oldHome_, hadHome_);
    ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
    ::setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
}

ScopedUserDirs::~ScopedUserDirs() {
    Restore("XDG_CONFIG_HOME", oldConfig_, hadConfig_);
    Restore("XDG_DATA_HOME", oldData_, hadData_);
    Restore("HOME", oldHome_, hadHome_);
}

std::vector<std::string> FilesStartingWith(const std::string& dir, std::string_view prefix) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.compare(0, prefix.size(), prefix) == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteAll(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string BinaryDir() {
    return ZV_BINARY_DIR;
}
std::string SourceDir() {
    return ZV_SOURCE_DIR;
}

} // namespace zvtest
