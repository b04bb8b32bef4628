#include "PlayerStats.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>

#include "data/TwDefFile.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwDamagedFile.h"
#include "records/TwProfileStore.h"

namespace {

constexpr const char* kModeNames[PlayerStats::kModes] = {"Classic", "Arcade"};

void Add(int& count, int more) {
    count = more > 0 && count > INT_MAX - more ? INT_MAX : count + std::max(more, 0);
}

// A count as the file must hold it: digits only, within an int.
bool ReadCount(const TwDefFile& file, const std::string& key, int& out) {
    const auto found = file.Values().find(key);
    if (found == file.Values().end()) {
        out = 0; // a count not written yet
        return true;
    }
    const std::string& text = found->second;
    if (text.empty() || text.size() > 10 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    const long long value = std::stoll(text);
    if (value > INT_MAX) {
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

} // namespace

int PlayerStats::Accuracy() const {
    return shots > 0 ? static_cast<int>(100LL * burstingShots / shots) : 0;
}

void PlayerStats::GameStarted(int mode) {
    if (mode >= 0 && mode < kModes) {
        Add(modes[mode].started, 1);
    }
}

void PlayerStats::ShotDone(int burst, int dropped) {
    Add(shots, 1);
    Add(bubblesBurst, burst);
    Add(bubblesDropped, dropped);
    biggestDrop = std::max(biggestDrop, dropped);
    if (burst > 0) {
        Add(burstingShots, 1);
        Add(currentRun, 1);
        longestRun = std::max(longestRun, currentRun);
    } else {
        currentRun = 0;
    }
}

void PlayerStats::GameEnded(int mode, bool won, int score) {
    if (mode < 0 || mode >= kModes) {
        return;
    }
    Mode& m = modes[mode];
    // A game continued from an older version's save was never counted as started.
    if (m.started <= m.finished) {
        m.started = m.finished;
        Add(m.started, 1);
    }
    Add(m.finished, 1);
    if (won) {
        Add(m.wins, 1);
    }
    m.bestScore = std::max(m.bestScore, score);
}

void PlayerStats::AddSeconds(int seconds) {
    Add(secondsPlayed, seconds);
}

std::string PlayerStats::PathOf(const std::string& player) {
    return TwUserPath("Data/Stats/" + TwProfileStore::SafeFileName(player) + ".Tst");
}

void PlayerStats::Write(TwDefFile& file) const {
    for (int i = 0; i < kModes; ++i) {
        const std::string mode = kModeNames[i];
        file.SetInt(mode + ".Started", modes[i].started);
        file.SetInt(mode + ".Finished", modes[i].finished);
        file.SetInt(mode + ".Wins", modes[i].wins);
        file.SetInt(mode + ".BestScore", modes[i].bestScore);
    }
    file.SetInt("Shots", shots);
    file.SetInt("BurstingShots", burstingShots);
    file.SetInt("BubblesBurst", bubblesBurst);
    file.SetInt("BubblesDropped", bubblesDropped);
    file.SetInt("BiggestDrop", biggestDrop);
    file.SetInt("LongestRun", longestRun);
    file.SetInt("CurrentRun", currentRun);
    file.SetInt("SecondsPlayed", secondsPlayed);
}

bool PlayerStats::Read(const TwDefFile& file) {
    PlayerStats read;
    bool ok = true;
    for (int i = 0; i < kModes; ++i) {
        const std::string mode = kModeNames[i];
        Mode& m = read.modes[i];
        ok = ok && ReadCount(file, mode + ".Started", m.started) &&
             ReadCount(file, mode + ".Finished", m.finished) &&
             ReadCount(file, mode + ".Wins", m.wins) &&
             ReadCount(file, mode + ".BestScore", m.bestScore) && m.finished <= m.started &&
             m.wins <= m.finished;
    }
    ok = ok && ReadCount(file, "Shots", read.shots) &&
         ReadCount(file, "BurstingShots", read.burstingShots) &&
         ReadCount(file, "BubblesBurst", read.bubblesBurst) &&
         ReadCount(file, "BubblesDropped", read.bubblesDropped) &&
         ReadCount(file, "BiggestDrop", read.biggestDrop) &&
         ReadCount(file, "LongestRun", read.longestRun) &&
         ReadCount(file, "CurrentRun", read.currentRun) &&
         ReadCount(file, "SecondsPlayed", read.secondsPlayed);
    // Counts that contradict each other are no statistics of this game.
    ok = ok && read.burstingShots <= read.shots && read.biggestDrop <= read.bubblesDropped &&
         read.longestRun <= read.burstingShots && read.currentRun <= read.longestRun;
    if (ok) {
        *this = read;
    }
    return ok;
}

PlayerStats PlayerStats::Load(const std::string& player, bool* writable) {
    PlayerStats stats;
    if (writable != nullptr) {
        *writable = true;
    }
    const std::string path = PathOf(player);
    if (TwReadableFileSize(path) < 0) {
        return stats; // none yet
    }
    TwDefFile file;
    if (file.LoadFromFile(path) == 0 && stats.Read(file)) {
        return stats;
    }
    // Kept beside as every damaged player file is, before anything is written over it.
    const std::string copy = TwDamagedFile::Keep(path);
    if (writable != nullptr) {
        *writable = !copy.empty();
    }
    std::fprintf(stderr, "zorbit-volley: %s is damaged; %s; the statistics start afresh\n",
                 path.c_str(),
                 copy.empty() ? "no copy could be made" : ("kept as " + copy).c_str());
    return PlayerStats();
}

bool PlayerStats::Save(const std::string& player) const {
    TwDefFile file;
    Write(file);
    return file.Save(PathOf(player)) == 0;
}

void PlayerStats::Delete(const std::string& player) {
    std::error_code ignored;
    std::filesystem::remove(PathOf(player), ignored);
}
