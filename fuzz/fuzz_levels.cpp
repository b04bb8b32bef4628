// Reads arbitrary bytes as a level set for the shipped field size: whatever the file says,
// the reader ends without reading outside its buffers, and a set it accepts holds only
// levels the game can start: 1..99 levels, a shot count in range, rows of one cell a
// column within the rows a level may fill, colours 0-5, at least one bubble.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "LevelSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr int kColumns = 12;
    constexpr int kRows = 12;
    LevelSet set;
    const LevelSetReader reader(kColumns, kRows);
    const LevelSetProblem problem = reader.Read(reinterpret_cast<const char*>(data), size, set);
    if (problem) {
        if (!set.levels.empty() || problem.line < 0) {
            std::abort();
        }
        return 0;
    }
    if (set.levels.empty() || set.levels.size() > LevelSetReader::kMaxLevels) {
        std::abort();
    }
    for (const PuzzleLevel& level : set.levels) {
        bool anyBubble = false;
        if (level.shots < 1 || level.shots > LevelSetReader::kMaxShots ||
            static_cast<int>(level.rows.size()) > reader.MaxStartRows()) {
            std::abort();
        }
        for (const auto& row : level.rows) {
            if (row.size() != kColumns) {
                std::abort();
            }
            for (int c = 0; c < kColumns; ++c) {
                const int colour = level.Cell(c, static_cast<int>(&row - level.rows.data()));
                if (colour < -1 || colour > 5) {
                    std::abort();
                }
                anyBubble |= colour >= 0;
            }
        }
        if (!anyBubble) {
            std::abort();
        }
    }
    return 0;
}
