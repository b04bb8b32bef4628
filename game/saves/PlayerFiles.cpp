#include "PlayerFiles.h"

#include "PlayerStats.h"
#include "PuzzleProgress.h"

void ForgetPlayerFiles(const std::string& player) {
    if (player.empty()) {
        return;
    }
    PlayerStats::Delete(player);
    PuzzleProgress::Erase(player);
}
