#pragma once
#include <array>
#include <string>

class TwDefFile;

// A player's lifetime statistics, kept in "Data/Stats/<name>.Tst" (the name written as the
// save slots write it). Counted from the game's own events: once when a game starts, once
// per shot once the field has come to rest, once when a game ends. Every count stops at the
// largest int rather than running over.
struct PlayerStats {
    struct Mode {
        int started = 0;
        int finished = 0;
        int wins = 0;
        int bestScore = 0;
        bool operator==(const Mode&) const = default;
    };
    static constexpr int kModes = 2; // Classic, Arcade

    std::array<Mode, kModes> modes{};
    int shots = 0;
    int burstingShots = 0; // shots that burst something
    int bubblesBurst = 0;
    int bubblesDropped = 0;
    int biggestDrop = 0; // the most bubbles one shot let fall
    int longestRun = 0;  // bursting shots one after another
    int currentRun = 0;
    int secondsPlayed = 0;

    bool operator==(const PlayerStats&) const = default;

    // Shots that burst something, in percent of all shots (0 without shots).
    int Accuracy() const;

    // --- The game's events ---
    void GameStarted(int mode);
    void ShotDone(int burst, int dropped);
    void GameEnded(int mode, bool won, int score);
    void AddSeconds(int seconds);

    // --- The file ---
    static std::string PathOf(const std::string& player);
    // The player's statistics; none yet for a missing file. A damaged file (unreadable
    // syntax, a count that is no count, counts that contradict each other) is kept beside
    // as "<file>.damaged-<date>-<time>" and the player starts afresh; nothing else is lost.
    // `writable` (when given) turns false only when a damaged file could not be copied: it
    // must then not be written over.
    static PlayerStats Load(const std::string& player, bool* writable = nullptr);
    // Written atomically; false (the old file untouched) when it could not be.
    bool Save(const std::string& player) const;
    static void Delete(const std::string& player);

    // The file's keys; Read is false for damaged contents.
    void Write(TwDefFile& file) const;
    bool Read(const TwDefFile& file);
};

// Reads, changes and writes back a player's statistics in one step (a player without a
// name has none).
template <typename Change> bool UpdatePlayerStats(const std::string& player, Change change) {
    if (player.empty()) {
        return false;
    }
    bool writable = true;
    PlayerStats stats = PlayerStats::Load(player, &writable);
    if (!writable) {
        return false;
    }
    change(stats);
    return stats.Save(player);
}
