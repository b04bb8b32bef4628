#include "records/TwProfileStore.h"

#include <cstdio>

#include "data/TwDefFile.h"
#include "platform/TwUserFiles.h"

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
    active_ = -1;
    previousActive_ = -1;
    maxProfiles_ = 0;
}

bool TwProfileStore::LoadProfiles() {
    profiles_.clear();
    active_ = -1;
    TwDefFile file;
    if (file.LoadFromFile(TwUserPath(kProfilesFile)) != 0) {
        return false;
    }
    // Names are numbered from 0; the first missing or empty one ends the list.
    for (int i = 0;; ++i) {
        std::string name = file.GetCString(NameKey(i));
        if (name.empty()) {
            break;
        }
        profiles_.push_back(std::make_unique<TwProfileItem>(TwProfileItem{std::move(name), false}));
        active_ = i;
        CheckSavedGame();
    }
    active_ = file.GetInt("ActiveProfile", 0);
    return true;
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
    // Its size, found without waiting: a FIFO planted at a slot's name must not block the game.
    profile.hasSavedGame =
        TwReadableFileSize(SavePathOf(profile.name)) >= static_cast<long long>(kMinSavedGameBytes);
}

void TwProfileStore::DeleteSavedGame() {
    TwWriteFileAtomic(SavePath(), "");
}

void TwProfileStore::DeleteSavedGameOf(const std::string& name) {
    if (IndexOf(name) >= 0) {
        TwWriteFileAtomic(SavePathOf(name), "");
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
