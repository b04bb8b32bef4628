#pragma once
#include <string>
#include <vector>

#include "LevelSet.h"

// Every level set the Puzzle mode offers: the shipped sets out of the packs
// ("Data/Levels/*.Txt", in name order), then the player's own sets from
// $XDG_DATA_HOME/zorbit-volley/Levels/*.Txt (in name order). A broken file is left out with
// a problem naming it and the line; the other sets load as usual.
class LevelLibrary {
public:
    struct FileProblem {
        std::string file; // as the player knows it: "Levels/Mine.Txt"
        LevelSetProblem problem;
    };

    // The shipped sets' prefix inside the packs, and the player's folder under the data
    // directory.
    static constexpr const char* kPackFolder = "Data/Levels/";
    static constexpr const char* kUserFolder = "Levels";

    // Reads every set for a field of the given size, replacing what was read before.
    void Load(int columns, int rows);
    // Loads once, when nothing has been read yet (a level continued straight after start).
    void LoadIfNeeded(int columns, int rows) {
        if (!loaded_) {
            Load(columns, rows);
        }
    }
    // Adds one set read from bytes (the two folders above use it; so do the tests).
    // False, with the problem noted, when the file is broken.
    bool Add(const std::string& id, bool shipped, const std::string& shownName, const char* bytes,
             std::size_t count, int columns, int rows);

    const std::vector<LevelSet>& Sets() const { return sets_; }
    const std::vector<FileProblem>& Problems() const { return problems_; }
    // The set with this id, or null.
    const LevelSet* Find(const std::string& id) const;
    // The level (numbered from 1) of a set, or null.
    const PuzzleLevel* Level(const std::string& id, int number) const;

    // The library the game screen and the menu share.
    static LevelLibrary& Shared();

private:
    void LoadShipped(int columns, int rows);
    void LoadUserSets(int columns, int rows);

    std::vector<LevelSet> sets_;
    std::vector<FileProblem> problems_;
    bool loaded_ = false;
};
