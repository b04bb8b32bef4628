#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/TwTopRecord.h"

class TwClip;

// A high-score table of one game mode: at most `capacity` entries, best score first.
// The file is a text definition file in the player's data directory:
//   NumRecords=<n>, and per record i the keys i.PlayerName, i.Difficulty (quoted),
//   i.Scores, i.Level, i.Episode, i.Time (integers).
class TwTop {
public:
    // `gameFile` is the game's name for the file, such as "Data/Classic.Twt"; it lives in the
    // player's data directory (see TwUserPath).
    explicit TwTop(std::string gameFile = "", std::uint16_t capacity = 10);
    virtual ~TwTop();
    TwTop(const TwTop&) = delete;
    TwTop& operator=(const TwTop&) = delete;

    const std::string& FileName() const { return gameFile_; }

    // Binds the title picture shown above the table as a still clip. Returns true.
    bool SetTitle(const std::string& picture);
    TwClip* Title() const { return title_.get(); }

    // Appends the file's records in file order, unsorted, up to the table's capacity; rows
    // the file holds no key of are not invented. False, with the table unchanged, when the
    // file cannot be read. A damaged file (a syntax error) keeps every record it could
    // read: the file is copied aside, the player told, the kept records written back; the
    // result is false then too.
    bool Load();
    // Offers a score: 0 is ignored; otherwise it is placed after every entry with the same
    // or a higher score, and one entry is dropped from the end when the table overflows.
    void Add(const TwTopRecord& record);
    // Empties the table and saves the empty table.
    void Clear();
    // Writes the table in the form Load reads. False when the file could not be written
    // (the previous file is then left untouched).
    bool Save();

    const std::vector<TwTopRecord>& Records() const { return records_; }
    // For the score dialog's fade-in (DisplayAlpha); index must be below Count().
    TwTopRecord& At(int index) { return records_.at(static_cast<std::size_t>(index)); }
    int Count() const { return static_cast<int>(records_.size()); }
    std::uint16_t Capacity() const { return capacity_; }

private:
    std::uint16_t capacity_;
    std::vector<TwTopRecord> records_;
    std::string gameFile_;
    std::unique_ptr<TwClip> title_;
};
