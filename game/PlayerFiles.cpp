#include "PlayerFiles.h"

#include "PlayerStats.h"

void ForgetPlayerFiles(const std::string& player) {
    if (player.empty()) {
        return;
    }
    PlayerStats::Delete(player);
}
