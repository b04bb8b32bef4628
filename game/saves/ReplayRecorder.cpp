#include "ReplayRecorder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/TwDefFile.h"
#include "data/TwHash.h"
#include "platform/os/TwUserFiles.h"

namespace {

constexpr const char* kSizeKey = "Replay.Size";
constexpr const char* kCheckKey = "Replay.Check";
constexpr const char* kRandomKey = "RandomState";
constexpr const char* kGuidedKey = "Guided";

// The recording's check value, as the slot's integers hold it.
int Check(const std::string& bytes) {
    return TwFnv1aCheck(bytes);
}

bool IsRecordingName(const std::string& name) {
    const std::string extension = ReplayRecorder::kExtension;
    return name.size() > extension.size() &&
           name.compare(name.size() - extension.size(), extension.size(), extension) == 0 &&
           name.find('/') == std::string::npos;
}

} // namespace

void ReplayRecorder::Start(const Replay& header) {
    replay_ = header;
    replay_.events.clear();
    replay_.result.reset();
    active_ = true;
    aimKnown_ = false;
    guided_ = false;
}

void ReplayRecorder::Frame(int elapsedMs) {
    if (!active_) {
        return;
    }
    // The frame timer never gives such lengths; a recording that cannot hold the frame
    // exactly would not replay, so it stops instead.
    if (elapsedMs < 0 || static_cast<std::uint32_t>(elapsedMs) > Replay::kMaxFrameMs ||
        replay_.events.size() >= Replay::kMaxEvents) {
        active_ = false;
        return;
    }
    replay_.AddFrame(static_cast<std::uint32_t>(elapsedMs));
}

void ReplayRecorder::Aim(const TwVector& direction) {
    if (!active_ || (aimKnown_ && direction.x == lastAim_.x && direction.y == lastAim_.y)) {
        return;
    }
    if (!(std::fabs(direction.x) <= 1.0f && std::fabs(direction.y) <= 1.0f)) {
        return; // never the case for a launcher's aim
    }
    aimKnown_ = true;
    lastAim_ = direction;
    replay_.Add(ReplayEvent::kAim, direction.x, direction.y);
}

void ReplayRecorder::Action(ReplayEvent::Type type, const TwVector& direction) {
    if (!active_) {
        return;
    }
    Aim(direction);
    replay_.Add(type);
}

void ReplayRecorder::Leave() {
    if (active_) {
        replay_.Add(ReplayEvent::kLeave);
    }
}

void ReplayRecorder::MarkGuided() {
    replay_.guided = true;
    guided_ = true;
}

std::string ReplayRecorder::PathBeside(const std::string& slotPath) {
    const std::size_t dot = slotPath.rfind('.');
    const std::size_t slash = slotPath.rfind('/');
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? slotPath.substr(0, dot) : slotPath) + kExtension;
}

void ReplayRecorder::Stamp(TwDefFile& slot, std::uint32_t randomState) const {
    slot.SetInt(kRandomKey, static_cast<int>(randomState));
    if (guided_) {
        slot.SetInt(kGuidedKey, 1);
    }
    if (!active_) {
        return;
    }
    const std::string bytes = replay_.Serialize();
    slot.SetInt(kSizeKey, static_cast<int>(bytes.size()));
    slot.SetInt(kCheckKey, Check(bytes));
}

bool ReplayRecorder::WriteBeside(const std::string& slotPath) const {
    if (!active_) {
        EraseBeside(slotPath);
        return true;
    }
    return TwWriteFileAtomic(PathBeside(slotPath), replay_.Serialize());
}

std::optional<std::uint32_t> ReplayRecorder::ResumeBeside(const std::string& slotPath,
                                                          TwDefFile& slot) {
    active_ = false;
    guided_ = slot.GetInt(kGuidedKey, 0) != 0;
    std::optional<std::uint32_t> randomState;
    if (slot.Has(kRandomKey)) {
        randomState = static_cast<std::uint32_t>(slot.GetInt(kRandomKey, 0));
    }
    std::string bytes;
    if (!randomState || !slot.Has(kSizeKey) || !TwReadFile(PathBeside(slotPath), bytes)) {
        return randomState;
    }
    Replay replay;
    const bool matches = slot.GetInt(kSizeKey, -1) == static_cast<int>(bytes.size()) &&
                         slot.GetInt(kCheckKey, -1) == Check(bytes);
    if (!matches || Replay::Parse(bytes, replay) != Replay::ReadError::kNone || replay.result) {
        return randomState;
    }
    replay_ = std::move(replay);
    replay_.Add(ReplayEvent::kResume);
    active_ = true;
    aimKnown_ = false;
    return randomState;
}

void ReplayRecorder::EraseBeside(const std::string& slotPath) {
    std::error_code ignored;
    std::filesystem::remove(PathBeside(slotPath), ignored);
}

std::string ReplayRecorder::Finish(const ReplayResult& result) {
    if (!active_) {
        return {};
    }
    active_ = false;
    replay_.result = result;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const long long stamp = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    const std::string folder = TwUserPath(kFolder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "%lld-%08x-%d%s", stamp, replay_.seed, attempt,
                      kExtension);
        std::error_code ignored;
        if (std::filesystem::exists(folder + name, ignored)) {
            continue;
        }
        return TwWriteFileAtomic(folder + name, replay_.Serialize()) ? std::string(name)
                                                                     : std::string();
    }
    return {};
}

void ReplayRecorder::PruneExcept(const std::vector<std::string>& keep) {
    std::error_code error;
    const std::string folder = TwUserPath(kFolder);
    std::vector<std::filesystem::path> unused;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && IsRecordingName(name) &&
            std::find(keep.begin(), keep.end(), name) == keep.end()) {
            unused.push_back(entry.path());
        }
    }
    for (const auto& path : unused) {
        std::filesystem::remove(path, error);
    }
}
