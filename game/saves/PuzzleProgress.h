#pragma once
#include <map>
#include <set>
#include <string>

// One player's Puzzle progress: the levels cleared and the best score of each, per level
// set, kept in "Data/Puzzle/<name>.Txt" (the name written as for the save slots; format in
// docs/formats/levels.md). The first level of every set is open; clearing a level opens the
// next.
//
// A damaged file costs that player's progress only: it is moved aside as
// "<file>.damaged-<timestamp>" and the player starts afresh.
class PuzzleProgress {
public:
    // The game's name of a player's progress file.
    static std::string GameNameOf(const std::string& player);

    // Reads the player's file; a missing file is no progress yet. False when the file was
    // damaged (and has been moved aside).
    bool Load(const std::string& player);
    // Writes the player's file atomically. False when it could not be written.
    bool Save() const;
    // Removes a player's file (the player is deleted).
    static void Erase(const std::string& player);

    const std::string& Player() const { return player_; }
    bool Cleared(const std::string& setId, int level) const;
    // The best score of a cleared level; 0 otherwise.
    int Best(const std::string& setId, int level) const;
    bool IsOpen(const std::string& setId, int level) const;
    // A cleared level and its score: the level counts as cleared and the score is kept
    // when it beats the best. True when anything changed.
    bool RecordClear(const std::string& setId, int level, int score);

private:
    struct SetProgress {
        std::map<int, int> best; // level -> best score; every key is a cleared level
    };

    std::string player_;
    std::map<std::string, SetProgress> sets_;
};
