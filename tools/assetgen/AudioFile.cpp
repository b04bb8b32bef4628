#include "AudioFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zvsound {

bool WriteAudioFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    const std::filesystem::path target(path);
    if (target.has_parent_path()) {
        std::filesystem::create_directories(target.parent_path(), error);
        if (error) {
            std::fprintf(stderr, "assetgen: cannot create %s: %s\n", target.parent_path().c_str(),
                         error.message().c_str());
            return false;
        }
    }
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace zvsound
