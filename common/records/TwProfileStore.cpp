#include "records/TwProfileStore.h"

#include <cstdio>
#include <map>

#include "data/TwDefFile.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwDamagedFile.h"

namespace {

constexpr const char* kProfilesFile = "Data/Profiles.Txt";
// A slot holding fewer bytes than this is an emptied slot, not a saved game.
constexpr std::size_t kMinSavedGameBytes = 4;

std::string NameKey(int index) {
    return "PlayerName" + std::to_string(index);
}

bool KeepsItsByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
           c == '-' || c == '_';
}

// The names of a profiles file read without damage: PlayerName0, 1, 2, ... up to the first missing
// or empty one. A name ends at its first NUL, as the name dialog could never type one.
std::vector<std::string> ListedNames(TwDefFile& file) {
    std::vector<std::string> names;
    for (int i = 0;; ++i) {
        std::string name = file.GetCString(NameKey(i));
        if (name.empty()) {
            return names;
        }
        names.push_back(std::move(name));
    }
}

// The names of a damaged profiles file: every PlayerName<n> that survived, in the order of
// their numbers, whatever gaps the damage left.
std::vector<std::string> AllNumberedNames(TwDefFile& file) {
    std::map<long long, std::string> byNumber;
    constexpr std::string_view kPrefix = "PlayerName";
    for (const auto& [key, raw] : file.Values()) {
        if (key.size() <= kPrefix.size() || key.size() > kPrefix.size() + 9 ||
            key.compare(0, kPrefix.size(), kPrefix) != 0 ||
            key.find_first_not_of("0123456789", kPrefix.size()) != std::string::npos) {
            continue;
        }
        std::string name = file.GetCString(key);
        if (!name.empty()) {
            byNumber[std::stoll(key.substr(kPrefix.size()))] = std::move(name);
        }
    }
    std::vector<std::string> names;
    names.reserve(byNumber.size());
    for (auto& [number, name] : byNumber) {
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace

TwProfileStore& TwProfileStore::Instance() {
    static TwProfileStore store;
    return store;
}

std::string TwProfileStore::SafeFileName(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    safe.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (KeepsItsByte(byte)) {
            safe += c;
        } else {
            safe += '%';
            safe += kHex[byte >> 4];
            safe += kHex[byte & 0x0F];
        }
    }
    return safe;
}

std::string TwProfileStore::SlotGameName(const std::string& name) {
    return "Data/Save/" + SafeFileName(name) + ".Tws";
}

bool TwProfileStore::ValidActive() const {
    return active_ >= 0 && active_ < Count();
}

int TwProfileStore::ActiveIndex() const {
    return ValidActive() ? active_ : -1;
}

void TwProfileStore::Reset() {
    profiles_.clear();
    unerasable_.clear();
    active_ = -1;
    previousActive_ = -1;
    maxProfiles_ = 0;
}

bool TwProfileStore::LoadProfiles() {
    profiles_.clear();
    active_ = -1;
    const std::string path = TwUserPath(kProfilesFile);
    TwDefFile file;
    const bool damaged = file.LoadFromFile(path, TwDefFile::OnError::SkipLine) != 0;
    if (damaged && file.ErrorLine() == 0) {
        return false; // no file, or one that cannot be read at all
    }
    const std::vector<std::string> names = damaged ? AllNumberedNames(file) : ListedNames(file);
    for (const std::string& name : names) {
        if (IndexOf(name) < 0) { // a name listed twice is one player with one slot
            profiles_.push_back(std::make_unique<TwProfileItem>(TwProfileItem{name, false}));
            CheckSavedGameAt(Count() - 1);
        }
    }
    // The active choice is remembered by index; it follows its name into the kept list.
    const int activeInFile = file.GetInt("ActiveProfile", 0);
    active_ = IndexOf(file.GetCString(NameKey(activeInFile)));
    if (active_ < 0 && !profiles_.empty()) {
        active_ = 0; // a choice outside the list is no choice: the first player plays
    }
    if (damaged && TwDamagedFile::KeepAndTell(path, "DamagedProfiles")) {
        SaveProfiles();
    }
    return !damaged;
}

bool TwProfileStore::SaveProfiles() {
    TwDefFile file;
    file.SetInt("ActiveProfile", ActiveIndex());
    for (int i = 0; i < Count(); ++i) {
        file.SetString(NameKey(i), profiles_[static_cast<std::size_t>(i)]->name);
    }
    return file.Save(TwUserPath(kProfilesFile)) == 0;
}

TwProfileStore::AddResult TwProfileStore::TryAddProfile(const std::string& name) {
    if (name.empty()) {
        // An empty name would end the list when the profiles file is read again.
        return AddResult::Refused;
    }
    for (int i = 0; i < Count(); ++i) {
        if (profiles_[static_cast<std::size_t>(i)]->name == name) {
            previousActive_ = active_;
            active_ = i;
            return AddResult::Existed;
        }
    }
    if (IsFull()) {
        return AddResult::Refused;
    }
    profiles_.push_back(std::make_unique<TwProfileItem>(TwProfileItem{name, false}));
    previousActive_ = active_;
    active_ = Count() - 1;
    return AddResult::Added;
}

void TwProfileStore::SelectProfile(int index) {
    if (index < 0 || index >= Count()) {
        return;
    }
    previousActive_ = active_;
    active_ = index;
}

void TwProfileStore::DeleteActiveProfile() {
    if (!ValidActive()) {
        return;
    }
    DeleteSavedGame(); // the slot is emptied while its profile is still the active one
    profiles_.erase(profiles_.begin() + active_);
    previousActive_ = -1;
    active_ = 0;
}

std::string TwProfileStore::ActiveName() const {
    return ValidActive() ? profiles_[static_cast<std::size_t>(active_)]->name : std::string();
}

std::string_view TwProfileStore::ActiveNameView() const {
    return ValidActive() ? std::string_view(profiles_[static_cast<std::size_t>(active_)]->name)
                         : std::string_view();
}

bool TwProfileStore::HasSavedGame() {
    if (!ValidActive()) {
        active_ = -1;
        return false;
    }
    return profiles_[static_cast<std::size_t>(active_)]->hasSavedGame;
}

std::string TwProfileStore::SavePath() const {
    return SavePathOf(ActiveName());
}

std::string TwProfileStore::SavePathOf(const std::string& name) const {
    return TwUserPath(SlotGameName(name));
}

void TwProfileStore::CheckSavedGame() {
    if (ValidActive()) {
        CheckSavedGameAt(active_);
    }
}

void TwProfileStore::CheckSavedGameOf(const std::string& name) {
    const int index = IndexOf(name);
    if (index >= 0) {
        CheckSavedGameAt(index);
    }
}

void TwProfileStore::CheckSavedGameAt(int index) {
    TwProfileItem& profile = *profiles_[static_cast<std::size_t>(index)];
    const auto unerased = unerasable_.find(profile.name);
    std::string bytes;
    if (unerased != unerasable_.end() && TwReadFile(SavePathOf(profile.name), bytes) &&
        bytes == unerased->second) {
        profile.hasSavedGame = false; // still the finished game that could not be erased
        return;
    }
    // Its size, found without waiting: a FIFO planted at a slot's name must not block the game.
    profile.hasSavedGame =
        TwReadableFileSize(SavePathOf(profile.name)) >= static_cast<long long>(kMinSavedGameBytes);
}

void TwProfileStore::DeleteSavedGame() {
    DeleteSavedGameOf(ActiveName());
}

void TwProfileStore::DeleteSavedGameOf(const std::string& name) {
    if (IndexOf(name) < 0) {
        return;
    }
    const std::string path = SavePathOf(name);
    if (TwWriteFileAtomic(path, "")) {
        unerasable_.erase(name);
        return;
    }
    // The slot cannot be emptied (a read-only folder): the game in it stays on disk but is
    // not offered again while the game runs, unless a later save replaces it.
    std::string bytes;
    if (TwReadFile(path, bytes)) {
        unerasable_[name] = std::move(bytes);
    }
}

void TwProfileStore::ForgetSavedGame() {
    if (ValidActive()) {
        profiles_[static_cast<std::size_t>(active_)]->hasSavedGame = false;
    }
}

int TwProfileStore::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        if (profiles_[static_cast<std::size_t>(i)]->name == name) {
            return i;
        }
    }
    return -1;
}

std::string TwProfileStore::Name(int index) const {
    if (index < 0 || index >= Count()) {
        return {};
    }
    return profiles_[static_cast<std::size_t>(index)]->name;
}

std::vector<std::string> TwProfileStore::Names() const {
    std::vector<std::string> names;
    names.reserve(profiles_.size());
    for (const auto& profile : profiles_) {
        names.push_back(profile->name);
    }
    return names;
}
