#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/TwProfileItem.h"

// The players' profiles: the ordered list of names, which one is active, and one saved-game
// slot per profile ("Data/Save/<name>.Tws" in the player's data directory). Persisted in
// "Data/Profiles.Txt" as ActiveProfile=<index> and PlayerName0, PlayerName1, ... (quoted).
//
// The active index is checked against the list on every use: anything outside it means that
// no profile is active. A name becomes a file name only through SafeFileName, so no profile
// name, whatever the profiles file holds, can reach a file outside the save folder.
class TwProfileStore {
public:
    static TwProfileStore& Instance();

    // Replaces the list with the profiles file's names (numbered from 0 without gaps; reading
    // stops at the first missing or empty name) and reads each profile's saved-game flag
    // from its slot. False, with an empty list and no active profile, when the file cannot
    // be read.
    bool LoadProfiles();
    // Writes the profiles file. False when it could not be written.
    bool SaveProfiles();
    enum class AddResult { Added, Existed, Refused };
    // Makes the profile with this name active, creating it at the end of the list when it
    // does not exist yet (names compare byte for byte). An empty name, or a new name while
    // the list is full (see SetMaxProfiles), is refused and nothing changes.
    AddResult TryAddProfile(const std::string& name);
    // As TryAddProfile; true when the name existed already.
    bool AddProfile(const std::string& name) { return TryAddProfile(name) == AddResult::Existed; }
    // Makes the profile at `index` active, remembering the previous one (the profile dialog's
    // selection). An index outside the list is ignored.
    void SelectProfile(int index);
    // Empties the active profile's slot and removes the profile; the first remaining profile
    // becomes active.
    void DeleteActiveProfile();

    // The active profile's name; empty when no profile is active.
    std::string ActiveName() const;
    // The same without a copy, valid until the profiles change (for a per-frame comparison).
    std::string_view ActiveNameView() const;
    bool IsEmpty() const { return profiles_.empty(); }
    // The active profile's saved-game flag; false when no profile is active.
    bool HasSavedGame();
    // Where the active profile's save slot is on disk.
    std::string SavePath() const;
    // Re-reads the active profile's flag from its slot: true when it holds 4 bytes or more.
    void CheckSavedGame();
    // Leaves the active profile's slot as an empty file, which reads as no saved game.
    // The flag is not changed; callers follow with CheckSavedGame. A slot that cannot be
    // emptied (a read-only folder) reads as no saved game from then on while the game runs.
    void DeleteSavedGame();
    // Clears the active profile's flag without touching its slot: a saved game that cannot
    // be continued is not offered again (the file stays as it is).
    void ForgetSavedGame();

    // The same for a profile named explicitly, whether active or not: a game belongs to the
    // player who started it, whoever is active when it is saved. Nothing happens for a name
    // that is no profile (SavePathOf still gives the path its slot would have).
    std::string SavePathOf(const std::string& name) const;
    void CheckSavedGameOf(const std::string& name);
    void DeleteSavedGameOf(const std::string& name);

    int Count() const { return static_cast<int>(profiles_.size()); }
    // The name at `index`, empty outside the list.
    std::string Name(int index) const;
    // The index of the profile with exactly this name, or -1.
    int IndexOf(const std::string& name) const;
    std::vector<std::string> Names() const;
    // The active index, or -1 when no profile is active (including a stale index).
    int ActiveIndex() const;
    // The active index before the last AddProfile or SelectProfile; -1 after a deletion.
    int PreviousActive() const { return previousActive_; }

    // The most profiles the list may hold (the profile dialog's limit); 0 means no limit.
    void SetMaxProfiles(int count) { maxProfiles_ = count; }
    int MaxProfiles() const { return maxProfiles_; }
    bool IsFull() const { return maxProfiles_ > 0 && Count() >= maxProfiles_; }

    // Forgets every profile (tests; the game loads once at start-up).
    void Reset();

    // The file-name form of a player name: ASCII letters, digits, space, '-' and '_' stay as
    // they are; every other byte (a slash, a dot, a control character, '%') becomes "%XX"
    // with two upper-case hex digits. Different names never share a file name.
    static std::string SafeFileName(const std::string& name);
    // The game's name of a profile's slot file: "Data/Save/" + SafeFileName(name) + ".Tws".
    static std::string SlotGameName(const std::string& name);

private:
    bool ValidActive() const;
    void CheckSavedGameAt(int index);

    int active_ = -1;
    int previousActive_ = -1;
    int maxProfiles_ = 0;
    std::vector<std::unique_ptr<TwProfileItem>> profiles_;
    // Players whose finished game could not be erased from their slot, with what the slot
    // held then.
    std::map<std::string, std::string> unerasable_;
};
