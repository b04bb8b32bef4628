#pragma once
#include <optional>
#include <string>

#include "GameMode.h"

class GameSession;

// What a game leaves in the player's records: its entry in the mode's high-score table, the
// owner's statistics (shots, games, time played), a cleared Puzzle level in the owner's
// progress, and the recordings kept for them.
class GameResults {
public:
    // A game of `mode` begins for `owner`.
    static void GameStarted(const std::string& owner, GameMode mode);
    // Adds to `owner`'s statistics in one write: the shot that came to rest (`shot`, with
    // what it burst and dropped), the end of the game when `won` is given, and the whole
    // seconds played since the last time.
    static void RecordStats(const std::string& owner, GameSession& session, bool shot,
                            std::optional<bool> won);
    // Enters the finished game's score (without the bonus) in its mode's table under the
    // active player's name, linked to its recording.
    static void RecordHighScore(const GameSession& session, const std::string& recording,
                                bool guided);
    // A cleared Puzzle level counts in `owner`'s progress (a deleted player has none).
    static void RecordPuzzleClear(const std::string& owner, const std::string& setId, int level,
                                  int score);
    // Recordings nothing links to any more (an entry pushed out of its table) are deleted;
    // `lastRecording` stays, so the result dialog can show it.
    static void KeepLinkedRecordings(const std::string& lastRecording);
};
