#pragma once
#include <cstdint>
#include <string>

namespace e2e {

// What the game played, as SDL's disk audio driver wrote it: raw 16-bit stereo at the
// rate the game opens the device with, one block after another in real time.
class DiskSound {
public:
    static constexpr int kRate = 48000;
    static constexpr int kBytesPerSecond = kRate * 2 * 2;

    explicit DiskSound(std::string path) : path_(std::move(path)) {}

    // Bytes written so far: the position in the sound that is being played now.
    std::int64_t Size() const;
    std::int64_t BytesAt(double seconds) const {
        return static_cast<std::int64_t>(seconds * kRate) * 4;
    }
    // Loudest 20 ms window (root mean square, full scale 32768) between two byte offsets.
    double LoudestWindow(std::int64_t from, std::int64_t to) const;
    // The same, for the quietest window: music that keeps playing never drops to silence.
    double QuietestWindow(std::int64_t from, std::int64_t to) const;

private:
    template <typename Pick>
    double ScanWindows(std::int64_t from, std::int64_t to, double start, Pick pick) const;

    std::string path_;
};

} // namespace e2e
