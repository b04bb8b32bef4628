#pragma once
// What the fuzz targets of the player's files share: they must neither show message boxes
// nor fill the disk with copies of damaged files, one per input.
#include <filesystem>
#include <string>

#include "platform/window/TwMessageBox.h"

inline void SilenceMessages() {
    TwSetMessageSink([](const std::string&, const std::string&) {});
}

// Removes the "<file>.damaged-<time>" copies the game keeps of damaged player files.
inline void RemoveDamagedCopies(const std::string& dir) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        if (entry.path().filename().string().find(".damaged-") != std::string::npos) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}
