#include "DiskSound.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace e2e {

namespace {
constexpr std::int64_t kWindowBytes = DiskSound::kRate / 50 * 4; // 20 ms of stereo frames
}

std::int64_t DiskSound::Size() const {
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0 ? info.st_size : 0;
}

template <typename Pick>
double DiskSound::ScanWindows(std::int64_t from, std::int64_t to, double start, Pick pick) const {
    from -= from % 4;
    to = std::min(to, Size());
    to -= to % 4;
    if (to - from < kWindowBytes) {
        return -1;
    }
    std::ifstream in(path_, std::ios::binary);
    in.seekg(from);
    std::vector<std::int16_t> samples(static_cast<std::size_t>((to - from) / 2));
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(to - from));
    samples.resize(static_cast<std::size_t>(in.gcount() / 2));

    const std::size_t window = kWindowBytes / 2;
    double result = start;
    for (std::size_t begin = 0; begin + window <= samples.size(); begin += window) {
        double sum = 0;
        for (std::size_t i = begin; i < begin + window; ++i) {
            sum += static_cast<double>(samples[i]) * samples[i];
        }
        result = pick(result, std::sqrt(sum / static_cast<double>(window)));
    }
    return result;
}

double DiskSound::LoudestWindow(std::int64_t from, std::int64_t to) const {
    return ScanWindows(from, to, 0.0, [](double a, double b) { return std::max(a, b); });
}

double DiskSound::QuietestWindow(std::int64_t from, std::int64_t to) const {
    return ScanWindows(from, to, 1e9, [](double a, double b) { return std::min(a, b); });
}

} // namespace e2e
