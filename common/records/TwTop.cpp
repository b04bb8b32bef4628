#include "records/TwTop.h"

#include <algorithm>

#include "data/TwDefFile.h"
#include "gfx/TwClip.h"
#include "platform/TwUserFiles.h"

namespace {

std::string RecordKey(std::size_t index, const char* field) {
    return std::to_string(index) + "." + field;
}

} // namespace

TwTop::TwTop(std::string gameFile, std::uint16_t capacity)
    : capacity_(capacity), gameFile_(std::move(gameFile)) {}

TwTop::~TwTop() = default;

bool TwTop::SetTitle(const std::string& picture) {
    title_ = std::make_unique<TwClip>();
    title_->SetImage(picture, false);
    title_->SetAnimation(1, 0, 1, 1); // one still frame
    return true;
}

bool TwTop::Load() {
    TwDefFile file;
    if (gameFile_.empty() || file.LoadFromFile(TwUserPath(gameFile_)) != 0) {
        return false;
    }
    // Every real record has keys in the file, so a count beyond the number of keys can only
    // come from a damaged file; it is cut there instead of filling memory with empty rows.
    const int count = file.GetInt("NumRecords", 0);
    const std::size_t n =
        std::min(static_cast<std::size_t>(std::max(count, 0)), file.Values().size());
    for (std::size_t i = 0; i < n; ++i) {
        TwTopRecord record;
        record.PlayerName = file.GetString(RecordKey(i, "PlayerName"), "");
        record.Difficulty = file.GetString(RecordKey(i, "Difficulty"), "");
        record.Scores = file.GetInt(RecordKey(i, "Scores"), 0);
        record.Level = file.GetInt(RecordKey(i, "Level"), 0);
        record.Episode = file.GetInt(RecordKey(i, "Episode"), 0);
        record.Time = file.GetInt(RecordKey(i, "Time"), 0);
        records_.push_back(std::move(record));
    }
    return true;
}

void TwTop::Add(const TwTopRecord& record) {
    if (record.Scores == 0) {
        return;
    }
    records_.push_back(record);
    // Stable: a newcomer goes after every entry with the same score.
    std::stable_sort(
        records_.begin(), records_.end(),
        [](const TwTopRecord& a, const TwTopRecord& b) { return a.Scores > b.Scores; });
    if (records_.size() > capacity_) {
        records_.pop_back();
    }
}

void TwTop::Clear() {
    records_.clear();
    Save();
}

bool TwTop::Save() {
    if (gameFile_.empty()) {
        return false;
    }
    TwDefFile file;
    file.SetInt("NumRecords", Count());
    for (std::size_t i = 0; i < records_.size(); ++i) {
        const TwTopRecord& record = records_[i];
        file.SetString(RecordKey(i, "PlayerName"), record.PlayerName);
        file.SetString(RecordKey(i, "Difficulty"), record.Difficulty);
        file.SetInt(RecordKey(i, "Scores"), record.Scores);
        file.SetInt(RecordKey(i, "Level"), record.Level);
        file.SetInt(RecordKey(i, "Episode"), record.Episode);
        file.SetInt(RecordKey(i, "Time"), record.Time);
    }
    return file.Save(TwUserPath(gameFile_)) == 0;
}
