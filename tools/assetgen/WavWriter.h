#pragma once
// Writers for the game's audio files: 16-bit PCM WAV, and the shared helper that puts
// finished bytes on disk (creating the folders the game's file names imply).
#include <cstdint>
#include <string>
#include <vector>

namespace zvsound {

// RIFF/WAVE bytes for interleaved 16-bit samples.
std::vector<std::uint8_t> EncodeWav16(const std::vector<std::int16_t>& samples, int channels,
                                      int sampleRate);

// Writes `bytes` to `path`, creating missing parent folders. Prints why on failure.
bool WriteAudioFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace zvsound
