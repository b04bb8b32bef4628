#pragma once
// Puts a finished sound or music file on disk, creating the folders the game's file names
// imply.
#include <cstdint>
#include <string>
#include <vector>

namespace zvsound {

// Writes `bytes` to `path`, creating missing parent folders. Prints why on failure.
bool WriteAudioFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace zvsound
