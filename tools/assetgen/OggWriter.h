#pragma once
// Ogg Vorbis encoding for the game's compressed sounds and music. The stream serial
// number is given by the caller so the same input always gives the same bytes.
#include <cstdint>
#include <string>
#include <vector>

namespace zvsound {

struct OggSettings {
    int channels = 1;
    int sampleRate = 48000;
    float quality = 0.4f; // libvorbis VBR quality, -0.1 .. 1.0
    int serial = 1;
    std::string title;
};

// Encodes interleaved float samples (-1 .. 1). Returns false, with `error` set, when the
// encoder refuses the settings.
bool EncodeOggVorbis(const std::vector<float>& interleaved, const OggSettings& settings,
                     std::vector<std::uint8_t>& out, std::string& error);

// A fixed serial number for a file, derived from its name.
int SerialForName(const std::string& name);

} // namespace zvsound
