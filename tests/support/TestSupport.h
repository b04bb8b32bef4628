#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zvtest {

// A fresh temporary directory, removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at fresh temporary directories for the
// lifetime of the object, so a test's player files never mix with another's.
class ScopedUserDirs {
public:
    ScopedUserDirs();
    ~ScopedUserDirs();
    std::string ConfigHome() const { return root_.File("config"); }
    std::string DataHome() const { return root_.File("data"); }

private:
    TempDir root_;
    std::string oldConfig_, oldData_, oldHome_;
    bool hadConfig_ = false, hadData_ = false, hadHome_ = false;
};

// The files in `dir` whose names start with `prefix`, sorted.
std::vector<std::string> FilesStartingWith(const std::string& dir, std::string_view prefix);

// Whole-file helpers for tests.
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, std::string_view bytes);

// The build tree (where the packs and the binary are) and the source tree.
std::string BinaryDir();
std::string SourceDir();

} // namespace zvtest
