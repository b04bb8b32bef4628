#include "LevelSet.h"

#include <algorithm>
#include <map>
#include <vector>

#include "ColourGrid.h"
#include "data/TwDefFile.h"

namespace {

constexpr int kColours = 6;

struct LevelKeys {
    std::string shotsKey;
    std::string fieldKey;
};

// The level number in "Level<n>.<part>": 1..kMaxLevels written without leading zeros, or 0
// when the key is not of that form. `part` receives what follows the dot.
int LevelNumberOf(const std::string& key, std::string& part) {
    static const std::string prefix = "Level";
    if (key.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const std::size_t dot = key.find('.', prefix.size());
    if (dot == std::string::npos || dot == prefix.size() || dot - prefix.size() > 2 ||
        key[prefix.size()] == '0') {
        return 0;
    }
    int number = 0;
    for (std::size_t i = prefix.size(); i < dot; ++i) {
        if (key[i] < '0' || key[i] > '9') {
            return 0;
        }
        number = number * 10 + (key[i] - '0');
    }
    part = key.substr(dot + 1);
    return number;
}

// The line of the `index`-th '[' (from 0) at or after the start of line `fromLine`, outside
// comments: where a field row is written. `fromLine` itself when it cannot be found.
int RowLine(const char* bytes, std::size_t count, int fromLine, int index) {
    int line = 1;
    std::size_t i = 0;
    for (; i < count && line < fromLine; ++i) {
        line += bytes[i] == '\n';
    }
    int seen = 0;
    for (; i < count && bytes[i] != '\0'; ++i) {
        if (bytes[i] == '\n') {
            ++line;
        } else if (bytes[i] == '/' && i + 1 < count && bytes[i + 1] == '/') {
            while (i + 1 < count && bytes[i + 1] != '\n') {
                ++i;
            }
        } else if (bytes[i] == '[' && seen++ == index) {
            return line;
        }
    }
    return fromLine;
}

// Lines in the text up to its first NUL; a last line without a line end counts.
int LineCount(const char* bytes, std::size_t count) {
    int lines = 1;
    std::size_t i = 0;
    for (; i < count && bytes[i] != '\0'; ++i) {
        lines += bytes[i] == '\n';
    }
    return i > 0 && bytes[i - 1] == '\n' ? lines - 1 : lines;
}

LevelSetProblem Problem(LevelSetProblem::Kind kind, int line) {
    LevelSetProblem problem;
    problem.kind = kind;
    problem.line = line;
    return problem;
}

// The first occupied cell that does not hang from row 0 through its neighbours, as
// (column, row); (-1, -1) when every bubble hangs.
TwCell FirstLooseCell(const PuzzleLevel& level, int columns) {
    const int rows = static_cast<int>(level.rows.size());
    std::vector<std::vector<bool>> reached(columns, std::vector<bool>(rows, false));
    std::vector<TwCell> open;
    for (int c = 0; c < columns; ++c) {
        if (level.Cell(c, 0) >= 0) {
            reached[c][0] = true;
            open.push_back({c, 0});
        }
    }
    while (!open.empty()) {
        const TwCell cell = open.back();
        open.pop_back();
        for (const TwCell& next : ColourGrid::Neighbours(cell.x, cell.y)) {
            if (next.x < 0 || next.x >= columns || next.y < 0 || next.y >= rows ||
                reached[next.x][next.y] || level.Cell(next.x, next.y) < 0) {
                continue;
            }
            reached[next.x][next.y] = true;
            open.push_back(next);
        }
    }
    for (int k = 0; k < rows; ++k) {
        for (int c = 0; c < columns; ++c) {
            if (level.Cell(c, k) >= 0 && !reached[c][k]) {
                return {c, k};
            }
        }
    }
    return {-1, -1};
}

} // namespace

int PuzzleLevel::Cell(int column, int row) const {
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 ||
        column >= static_cast<int>(rows[row].size())) {
        return -1;
    }
    const char cell = rows[row][column];
    return cell >= '0' && cell < '0' + kColours ? cell - '0' : -1;
}

bool IsPlayableLevel(const PuzzleLevel& level, int columns, int rows) {
    if (level.shots < 1 || level.shots > LevelSetReader::kMaxShots ||
        static_cast<int>(level.rows.size()) > LevelSetReader(columns, rows).MaxStartRows()) {
        return false;
    }
    bool anyBubble = false;
    for (const std::string& row : level.rows) {
        if (static_cast<int>(row.size()) != columns) {
            return false;
        }
        for (char cell : row) {
            if (cell != '.' && (cell < '0' || cell >= '0' + kColours)) {
                return false;
            }
            anyBubble |= cell != '.';
        }
    }
    return anyBubble && FirstLooseCell(level, columns).x < 0;
}

LevelSetProblem LevelSetReader::Read(const char* bytes, std::size_t count, LevelSet& set) const {
    set.levels.clear();
    if (count > kMaxFileBytes) {
        return Problem(LevelSetProblem::kTooLarge, 0);
    }
    TwDefFile file;
    if (file.LoadFromMemory(bytes, count) != 0) {
        // A value running off the end is reported on the file's last line, not past it.
        return Problem(LevelSetProblem::kSyntax,
                       std::min(file.ErrorLine(), LineCount(bytes, count)));
    }

    std::map<int, LevelKeys> found;
    int unknownLine = 0; // the first unknown key in the file, not in key order
    for (const auto& [key, raw] : file.Values()) {
        std::string part;
        const int number = LevelNumberOf(key, part);
        if (number > 0 && part == "Shots") {
            found[number].shotsKey = key;
        } else if (number > 0 && part == "Field") {
            found[number].fieldKey = key;
        } else if (key != "Title") {
            const int line = file.KeyLine(key);
            unknownLine = unknownLine == 0 ? line : std::min(unknownLine, line);
        }
    }
    if (unknownLine > 0) {
        return Problem(LevelSetProblem::kUnknownKey, unknownLine);
    }
    if (found.empty()) {
        return Problem(LevelSetProblem::kNoLevels, 1);
    }

    std::vector<PuzzleLevel> levels;
    int expected = 1;
    for (const auto& [number, keys] : found) {
        const std::string& anyKey = keys.shotsKey.empty() ? keys.fieldKey : keys.shotsKey;
        // Levels are numbered 1, 2, 3 ... without a gap; a missing one is reported where
        // the next one starts.
        if (number != expected || keys.shotsKey.empty() || keys.fieldKey.empty()) {
            return Problem(LevelSetProblem::kMissingPart, file.KeyLine(anyKey));
        }
        ++expected;

        PuzzleLevel level;
        level.shots = file.GetInt(keys.shotsKey, 0);
        if (level.shots < 1 || level.shots > kMaxShots) {
            return Problem(LevelSetProblem::kShots, file.KeyLine(keys.shotsKey));
        }
        const int fieldLine = file.KeyLine(keys.fieldKey);
        int width = 0;
        int height = 0;
        const std::string grid = file.GetCharGrid(keys.fieldKey, width, height, ' ');
        if (height > MaxStartRows()) {
            return Problem(LevelSetProblem::kTooManyRows,
                           RowLine(bytes, count, fieldLine, MaxStartRows()));
        }
        for (int k = 0; k < height; ++k) {
            const std::string row = grid.substr(static_cast<std::size_t>(k) * width, width);
            const std::size_t cells = row.find_last_not_of(' ') + 1;
            if (width != columns_ || cells != static_cast<std::size_t>(columns_)) {
                return Problem(LevelSetProblem::kRowWidth, RowLine(bytes, count, fieldLine, k));
            }
            for (char cell : row) {
                if (cell != '.' && (cell < '0' || cell >= '0' + kColours)) {
                    return Problem(LevelSetProblem::kCell, RowLine(bytes, count, fieldLine, k));
                }
            }
            level.rows.push_back(row);
        }
        // A level with its bubbles hanging free would lose them before the first shot.
        const bool anyBubble = std::any_of(level.rows.begin(), level.rows.end(), [](auto& row) {
            return row.find_first_not_of('.') != std::string::npos;
        });
        if (!anyBubble) {
            return Problem(LevelSetProblem::kEmptyField, fieldLine);
        }
        const TwCell loose = FirstLooseCell(level, columns_);
        if (loose.x >= 0) {
            return Problem(LevelSetProblem::kLoose, RowLine(bytes, count, fieldLine, loose.y));
        }
        levels.push_back(std::move(level));
    }
    set.title = file.GetString("Title", set.id);
    if (set.title.empty()) {
        set.title = set.id;
    }
    set.levels = std::move(levels);
    return {};
}

const char* LevelProblemName(LevelSetProblem::Kind kind) {
    switch (kind) {
    case LevelSetProblem::kNone:
        return "no problem";
    case LevelSetProblem::kSyntax:
        return "not a definition file";
    case LevelSetProblem::kUnknownKey:
        return "unknown key";
    case LevelSetProblem::kNoLevels:
        return "no levels";
    case LevelSetProblem::kMissingPart:
        return "level missing, or without Shots or Field";
    case LevelSetProblem::kShots:
        return "Shots must be 1 to 6";
    case LevelSetProblem::kRowWidth:
        return "a field row must have one cell a column";
    case LevelSetProblem::kCell:
        return "a cell must be '.' or a colour 0 to 5";
    case LevelSetProblem::kTooManyRows:
        return "too many field rows";
    case LevelSetProblem::kEmptyField:
        return "the field has no bubble";
    case LevelSetProblem::kLoose:
        return "a bubble does not hang from the ceiling";
    case LevelSetProblem::kTooLarge:
        return "the file is too large";
    }
    return "unknown problem";
}
