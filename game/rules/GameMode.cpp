#include "GameMode.h"

namespace {

constexpr GameModeInfo kModes[] = {
    {GameMode::kClassic, "Classic", "GameBgr", true, true, "GameCompleteDlg", "GameOverDlg"},
    {GameMode::kArcade, "Arcade", "GameBgr1", true, true, "GameCompleteDlg", "GameOverDlg"},
    {GameMode::kPuzzle, "Puzzle", "GameBgr2", false, false, "PuzzleResultDlg", "PuzzleLostDlg"},
};

} // namespace

const GameModeInfo& ModeInfo(GameMode mode) {
    for (const GameModeInfo& info : kModes) {
        if (info.mode == mode) {
            return info;
        }
    }
    return kModes[0];
}

std::optional<GameMode> ModeFromNumber(int number) {
    for (const GameModeInfo& info : kModes) {
        if (ModeNumber(info.mode) == number) {
            return info.mode;
        }
    }
    return std::nullopt;
}
