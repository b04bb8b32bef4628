#include "PuzzleProgress.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/TwDefFile.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwDamagedFile.h"
#include "records/TwProfileStore.h"

namespace {

constexpr int kMaxLevel = 99;
constexpr int kMaxScore = 1000000000;
// Set ids hold dots, slashes, spaces and whatever a player names a file; in keys every byte
// but letters, digits, '-' and '_' is written as %XX, so an id never splits into blocks.
constexpr const char* kSetPrefix = "Set.";

std::string KeyOf(const std::string& setId) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string key = kSetPrefix;
    for (const char c : setId) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '-' || c == '_') {
            key += c;
        } else {
            key += '%';
            key += kHex[byte >> 4];
            key += kHex[byte & 15];
        }
    }
    return key;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The set id written in a key; false when the escaping is broken.
bool DecodeSetId(const std::string& text, std::string& id) {
    id.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            id += text[i];
            continue;
        }
        if (i + 2 >= text.size() || HexValue(text[i + 1]) < 0 || HexValue(text[i + 2]) < 0) {
            return false;
        }
        id += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
        i += 2;
    }
    return !id.empty();
}

// Moves a damaged file aside so nothing of it is lost, under a name that says when: the
// game's usual copy of a damaged player file, then the original goes so the player starts
// afresh.
void KeepDamaged(const std::string& path) {
    const std::string copy = TwDamagedFile::Keep(path);
    std::error_code error;
    if (!copy.empty()) {
        std::filesystem::remove(path, error);
    }
    std::fprintf(stderr, "zorbit-volley: %s is damaged; %s\n", path.c_str(),
                 copy.empty() ? "no copy could be made" : ("kept as " + copy).c_str());
}

} // namespace

std::string PuzzleProgress::GameNameOf(const std::string& player) {
    return "Data/Puzzle/" + TwProfileStore::SafeFileName(player) + ".Txt";
}

bool PuzzleProgress::Load(const std::string& player) {
    player_ = player;
    sets_.clear();
    const std::string path = TwUserPath(GameNameOf(player));
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return true;
    }
    TwDefFile file;
    bool damaged = file.LoadFromFile(path) != 0;
    // Keys are "Set.<id>.Best<n>" = score; anything else is damage.
    for (const auto& [key, raw] : file.Values()) {
        if (damaged) {
            break;
        }
        const std::size_t best = key.rfind(".Best");
        std::string id;
        if (key.compare(0, 4, kSetPrefix) != 0 || best == std::string::npos || best <= 4 ||
            !DecodeSetId(key.substr(4, best - 4), id)) {
            damaged = true;
            break;
        }
        const std::string number = key.substr(best + 5);
        const int level = number.empty() || number.size() > 2 ||
                                  number.find_first_not_of("0123456789") != std::string::npos
                              ? 0
                              : std::stoi(number);
        const int score = file.GetInt(key, -1);
        if (level < 1 || level > kMaxLevel || score < 0 || score > kMaxScore) {
            damaged = true;
            break;
        }
        sets_[id].best[level] = score;
    }
    if (damaged) {
        sets_.clear();
        KeepDamaged(path);
        return false;
    }
    return true;
}

bool PuzzleProgress::Save() const {
    if (player_.empty()) {
        return false;
    }
    TwDefFile file;
    for (const auto& [id, progress] : sets_) {
        for (const auto& [level, score] : progress.best) {
            file.SetInt(KeyOf(id) + ".Best" + std::to_string(level), score);
        }
    }
    return file.Save(TwUserPath(GameNameOf(player_))) == 0;
}

void PuzzleProgress::Erase(const std::string& player) {
    std::error_code error;
    std::filesystem::remove(TwUserPath(GameNameOf(player)), error);
}

bool PuzzleProgress::Cleared(const std::string& setId, int level) const {
    const auto set = sets_.find(setId);
    return set != sets_.end() && set->second.best.count(level) != 0;
}

int PuzzleProgress::Best(const std::string& setId, int level) const {
    const auto set = sets_.find(setId);
    if (set == sets_.end()) {
        return 0;
    }
    const auto found = set->second.best.find(level);
    return found != set->second.best.end() ? found->second : 0;
}

bool PuzzleProgress::IsOpen(const std::string& setId, int level) const {
    return level == 1 || Cleared(setId, level) || Cleared(setId, level - 1);
}

bool PuzzleProgress::RecordClear(const std::string& setId, int level, int score) {
    if (level < 1 || level > kMaxLevel) {
        return false;
    }
    score = std::clamp(score, 0, kMaxScore);
    auto& best = sets_[setId].best;
    const auto found = best.find(level);
    if (found != best.end() && found->second >= score) {
        return false;
    }
    best[level] = score;
    return true;
}
