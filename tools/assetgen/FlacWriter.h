#pragma once
// FLAC encoding for the sound effects: lossless, about half the size of the same samples as
// WAV, and decoded by the game's mixer when the effects are loaded.
#include <cstdint>
#include <string>
#include <vector>

namespace zvsound {

// A whole FLAC stream for interleaved 16-bit samples, at the encoder's strongest level. The
// same samples always give the same bytes. Returns false, with `error` set, when the
// encoder refuses.
bool EncodeFlac16(const std::vector<std::int16_t>& samples, int channels, int sampleRate,
                  std::vector<std::uint8_t>& out, std::string& error);

} // namespace zvsound
