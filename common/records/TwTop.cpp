#include "records/TwTop.h"

#include <algorithm>
#include <set>

#include "data/TwDefFile.h"
#include "gfx/TwClip.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwDamagedFile.h"

namespace {

std::string RecordKey(std::size_t index, const char* field) {
    return std::to_string(index) + "." + field;
}

constexpr const char* kRecordFields[] = {"PlayerName", "Difficulty", "Scores",
                                         "Level",      "Episode",    "Time"};

// The numbers of the records the file holds a key of ("3.Scores" holds record 3).
std::set<long long> RecordNumbers(const TwDefFile& file) {
    std::set<long long> numbers;
    for (const auto& [key, raw] : file.Values()) {
        const std::size_t dot = key.find('.');
        if (dot == 0 || dot == std::string::npos || dot > 9 ||
            key.find_first_not_of("0123456789") != dot) {
            continue;
        }
        const std::string field = key.substr(dot + 1);
        for (const char* known : kRecordFields) {
            if (field == known) {
                numbers.insert(std::stoll(key.substr(0, dot)));
                break;
            }
        }
    }
    return numbers;
}

// The file's record count; -1 when it is missing or no number.
long long RecordCount(TwDefFile& file) {
    const auto it = file.Values().find("NumRecords");
    if (it == file.Values().end() || it->second.find_first_of("0123456789") == std::string::npos) {
        return -1;
    }
    return file.GetInt("NumRecords", -1);
}

// A recording's name as the game makes them: a plain file name of letters, digits, '-',
// '_' and '.', never a way out of the recordings folder. Anything else is dropped.
std::string RecordingName(const std::string& name) {
    constexpr std::size_t kLongest = 96;
    const bool plain = !name.empty() && name.size() <= kLongest && name[0] != '.' &&
                       std::all_of(name.begin(), name.end(), [](char c) {
                           return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                                  (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
                       });
    return plain ? name : std::string();
}

TwTopRecord ReadRecord(TwDefFile& file, std::size_t i) {
    TwTopRecord record;
    record.PlayerName = file.GetString(RecordKey(i, "PlayerName"), "");
    record.Difficulty = file.GetString(RecordKey(i, "Difficulty"), "");
    record.Scores = file.GetInt(RecordKey(i, "Scores"), 0);
    record.Level = file.GetInt(RecordKey(i, "Level"), 0);
    record.Episode = file.GetInt(RecordKey(i, "Episode"), 0);
    record.Time = file.GetInt(RecordKey(i, "Time"), 0);
    record.Replay = RecordingName(file.GetString(RecordKey(i, "Replay"), ""));
    record.Guided = file.GetInt(RecordKey(i, "Guided"), 0) != 0;
    return record;
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
    if (gameFile_.empty()) {
        return false;
    }
    const std::string path = TwUserPath(gameFile_);
    TwDefFile file;
    const bool damaged = file.LoadFromFile(path, TwDefFile::OnError::SkipLine) != 0;
    if (damaged && file.ErrorLine() == 0) {
        return false; // no file, or one that cannot be read at all
    }
    // A row is taken only where the file holds at least one of its keys, so a count larger
    // than the file, or one that is missing or negative, neither invents empty rows nor
    // loses the rows that are there. The table never holds more than it can show.
    const std::set<long long> present = RecordNumbers(file);
    const long long count = RecordCount(file);
    for (const long long i : present) {
        if ((count >= 0 && i >= count) || records_.size() >= capacity_) {
            break;
        }
        records_.push_back(ReadRecord(file, static_cast<std::size_t>(i)));
    }
    if (damaged && TwDamagedFile::KeepAndTell(path, "DamagedScores")) {
        Save();
    }
    return !damaged;
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
        if (!record.Replay.empty()) {
            file.SetString(RecordKey(i, "Replay"), record.Replay);
        }
        if (record.Guided) {
            file.SetInt(RecordKey(i, "Guided"), 1);
        }
    }
    return file.Save(TwUserPath(gameFile_)) == 0;
}
