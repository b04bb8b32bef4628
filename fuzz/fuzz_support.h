#pragma once
// What the fuzz targets share: a failed promise stops the run where the fuzzer sees it, and
// the targets of the player's files must neither show message boxes nor fill the disk with
// copies of damaged files, one per input.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/window/TwMessageBox.h"

// Ends the run as a crash the fuzzer reports, with the input that broke the promise.
inline void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

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
