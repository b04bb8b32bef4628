#include "GameResults.h"

#include <vector>

#include "GameMap.h"
#include "GameSession.h"
#include "PlayerStats.h"
#include "PuzzleProgress.h"
#include "ReplayRecorder.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

void GameResults::GameStarted(const std::string& owner, GameMode mode) {
    UpdatePlayerStats(owner, [mode](PlayerStats& stats) { stats.GameStarted(ModeNumber(mode)); });
}

void GameResults::RecordStats(const std::string& owner, GameSession& session, bool shot,
                              std::optional<bool> won) {
    const GameMap* field = session.Field();
    if (field == nullptr) {
        return;
    }
    const int burst = field->ShotBursts, dropped = field->ShotDrops, score = field->Score;
    const int seconds = session.TakePlayedSeconds();
    const int mode = ModeNumber(session.Mode());
    UpdatePlayerStats(owner, [&](PlayerStats& stats) {
        if (shot) {
            stats.ShotDone(burst, dropped);
        }
        if (won) {
            stats.GameEnded(mode, *won, score);
        }
        stats.AddSeconds(seconds);
    });
}

void GameResults::RecordHighScore(const GameSession& session, const std::string& recording,
                                  bool guided) {
    TwTop* table = TwHighScoreTable(ModeNumber(session.Mode()));
    if (table == nullptr || !session.HasField()) {
        return;
    }
    TwTopRecord record;
    record.PlayerName = TwProfileStore::Instance().ActiveName();
    record.Scores = session.Field()->Score;
    record.Replay = recording;
    record.Guided = guided;
    table->Add(record);
    table->Save();
}

void GameResults::RecordPuzzleClear(const std::string& owner, const std::string& setId, int level,
                                    int score) {
    if (owner.empty() || TwProfileStore::Instance().IndexOf(owner) < 0) {
        return;
    }
    PuzzleProgress progress;
    progress.Load(owner);
    if (progress.RecordClear(setId, level, score)) {
        progress.Save();
    }
}

void GameResults::KeepLinkedRecordings(const std::string& lastRecording) {
    std::vector<std::string> keep;
    if (!lastRecording.empty()) {
        keep.push_back(lastRecording);
    }
    for (const auto& [mode, table] : TwHighScoreTables()) {
        if (!table) {
            continue;
        }
        for (const TwTopRecord& record : table->Records()) {
            if (!record.Replay.empty()) {
                keep.push_back(record.Replay);
            }
        }
    }
    ReplayRecorder::PruneExcept(keep);
}
