// Reads arbitrary bytes as a player's statistics file, as the game does before adding a
// shot: whatever the file holds, nothing crashes; contents that are accepted hold counts
// that agree with each other, and survive being written and read back unchanged.
#include <cstddef>
#include <cstdint>

#include "PlayerStats.h"
#include "data/TwDefFile.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TwDefFile file;
    file.LoadFromMemory(reinterpret_cast<const char*>(data), size);
    PlayerStats stats;
    if (!stats.Read(file)) {
        Check(stats == PlayerStats());
        return 0;
    }
    for (const PlayerStats::Mode& mode : stats.modes) {
        Check(mode.wins <= mode.finished && mode.finished <= mode.started);
    }
    Check(stats.burstingShots <= stats.shots && stats.longestRun <= stats.burstingShots);
    Check(stats.Accuracy() >= 0 && stats.Accuracy() <= 100);
    // A shot and an ended game on top keep the counts in agreement.
    stats.ShotDone(3, 2);
    stats.GameEnded(0, true, 100);
    TwDefFile written;
    stats.Write(written);
    PlayerStats again;
    Check(again.Read(written) && again == stats);
    return 0;
}
