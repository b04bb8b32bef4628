#pragma once
#include <cstddef>
#include <string>
#include <vector>

// One Puzzle level: the field it starts with and how many shots in a row may burst nothing
// before the whole field comes down by one row.
struct PuzzleLevel {
    int shots = 0;
    // Row 0 first; each row one character a column: '0'..'5' a bubble of that colour, '.'
    // an empty cell.
    std::vector<std::string> rows;

    // The colour in a cell, or -1 for an empty cell or one beyond the rows given.
    int Cell(int column, int row) const;
};

// A level set as read from one text definition file (format: docs/formats/levels.md).
struct LevelSet {
    std::string id;    // the file name without its folder, which progress and saves refer to
    std::string title; // as the file names it, or the id when it names none
    bool shipped = true;
    std::vector<PuzzleLevel> levels;
};

// What is wrong with a level file, and where.
struct LevelSetProblem {
    enum Kind {
        kNone,
        kSyntax,      // the text is not a definition file
        kUnknownKey,  // a key the format does not know
        kNoLevels,    // not a single level
        kMissingPart, // a level without its field or its shot count
        kShots,       // a shot count outside 1..kMaxShots
        kRowWidth,    // a field row that is not exactly one cell a column
        kCell,        // a character that is neither '.' nor a colour 0-5
        kTooManyRows, // more field rows than a level may start with
        kEmptyField,  // a field without a bubble
        kLoose,       // a bubble that does not hang from the ceiling
        kTooLarge,    // a file too large to be a level set
    };
    Kind kind = kNone;
    int line = 0;

    explicit operator bool() const { return kind != kNone; }
};

// Reads level sets for a field of the given size.
class LevelSetReader {
public:
    static constexpr int kMaxLevels = 99;
    static constexpr int kMaxShots = 6; // the launcher shows at most five misses left
    static constexpr std::size_t kMaxFileBytes = std::size_t{256} * 1024;

    LevelSetReader(int columns, int rows) : columns_(columns), rows_(rows) {}

    // A level may fill every row but the last, where a bubble ends the game.
    int MaxStartRows() const { return rows_ - 1; }

    // Parses the bytes of one file. On success `set` holds the levels (its id and shipped
    // flag are left to the caller) and the problem is kNone; otherwise `set` holds no levels
    // and the problem says what and on which line.
    LevelSetProblem Read(const char* bytes, std::size_t count, LevelSet& set) const;

private:
    int columns_;
    int rows_;
};

// True when a level's field could have come out of a level file for a field of this size:
// shots within 1..kMaxShots, at most every row but the last, each row one cell a column of
// '.' or a colour, at least one bubble, and every bubble hanging from the ceiling. A
// recording that carries its level is held to the same.
bool IsPlayableLevel(const PuzzleLevel& level, int columns, int rows);

// The English text of a problem kind, for the log and the tests.
const char* LevelProblemName(LevelSetProblem::Kind kind);
