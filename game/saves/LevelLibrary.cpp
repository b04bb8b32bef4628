#include "LevelLibrary.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "data/TwResourceManager.h"
#include "platform/os/TwUserFiles.h"

namespace {

// Set files end in ".Txt" (any case).
bool IsSetFileName(const std::string& name) {
    if (name.size() <= 4) {
        return false;
    }
    std::string ending = name.substr(name.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending == ".txt";
}

} // namespace

LevelLibrary& LevelLibrary::Shared() {
    static LevelLibrary library;
    return library;
}

void LevelLibrary::Load(int columns, int rows) {
    sets_.clear();
    problems_.clear();
    loaded_ = true;
    LoadShipped(columns, rows);
    LoadUserSets(columns, rows);
}

bool LevelLibrary::Add(const std::string& id, bool shipped, const std::string& shownName,
                       const char* bytes, std::size_t count, int columns, int rows) {
    LevelSet set;
    set.id = id;
    set.shipped = shipped;
    const LevelSetProblem problem = LevelSetReader(columns, rows).Read(bytes, count, set);
    if (problem) {
        std::fprintf(stderr, "zorbit-volley: %s, line %d: %s\n", shownName.c_str(), problem.line,
                     LevelProblemName(problem.kind));
        problems_.push_back({shownName, problem});
        return false;
    }
    sets_.push_back(std::move(set));
    return true;
}

void LevelLibrary::LoadShipped(int columns, int rows) {
    TwResourceManager& packs = TwResourceManager::Instance();
    std::vector<std::string> names;
    const std::string prefix = kPackFolder;
    for (const auto& item : packs.Entries()) {
        if (item.name.compare(0, prefix.size(), prefix) == 0 && IsSetFileName(item.name) &&
            std::find(names.begin(), names.end(), item.name) == names.end()) {
            names.push_back(item.name);
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string bytes;
        if (packs.GetResource(name, bytes) < 0) {
            continue;
        }
        const std::string id = name.substr(prefix.size());
        Add(id, true, name, bytes.data(), bytes.size(), columns, rows);
    }
}

void LevelLibrary::LoadUserSets(int columns, int rows) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(TwDataDir()) / kUserFolder;
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsSetFileName(name) && it->is_regular_file(error)) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string shown = std::string(kUserFolder) + "/" + name;
        const fs::path path = folder / name;
        const auto size = fs::file_size(path, error);
        std::string bytes;
        if (error || size > LevelSetReader::kMaxFileBytes) {
            LevelSetProblem problem;
            problem.kind = LevelSetProblem::kTooLarge;
            problems_.push_back({shown, problem});
            continue;
        }
        if (!TwReadFile(path.string(), bytes)) {
            continue;
        }
        // A player's set is told apart from a shipped one of the same file name.
        Add("User/" + name, false, shown, bytes.data(), bytes.size(), columns, rows);
    }
}

const LevelSet* LevelLibrary::Find(const std::string& id) const {
    for (const LevelSet& set : sets_) {
        if (set.id == id) {
            return &set;
        }
    }
    return nullptr;
}

const PuzzleLevel* LevelLibrary::Level(const std::string& id, int number) const {
    const LevelSet* set = Find(id);
    if (set == nullptr || number < 1 || number > static_cast<int>(set->levels.size())) {
        return nullptr;
    }
    return &set->levels[static_cast<std::size_t>(number - 1)];
}
