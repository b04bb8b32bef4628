#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "SavedGame.h"

class GameSession;
class ReplayRecorder;

// A player's save slot: the game in play written after every shot (with its recording beside
// it), read back by Continue, and erased when the game ends or is given up. Each of these is
// done here once, for whichever player the game belongs to.
class SaveSlot {
public:
    enum class Written { kNoSlot, kWritten, kFailed };

    // What Continue brings back: the saved game and, when its recording followed it, the
    // field's random generator as it was.
    struct Restored {
        SavedGame saved;
        std::optional<std::uint32_t> randomState;
    };

    // Writes the session's game into `owner`'s slot (the recording's stamp in it) and the
    // recording beside it. A player deleted since, or no owner, has no slot. A recording that
    // cannot be written beside the slot never costs the game: that slot continues unrecorded.
    static Written Save(const GameSession& session, const std::string& owner,
                        const ReplayRecorder& recorder);
    // The active player's saved game for a field of `columns` x `rows`, and the recording
    // resumed from beside it. Nothing, and the slot is no longer offered (the file stays as
    // it is), when it cannot be read, is of an unknown mode or holds no bubble in the field.
    static std::optional<Restored> Load(ReplayRecorder& recorder, int columns, int rows);
    // Empties `owner`'s slot and its recording and updates the player's saved-game flag.
    static void Erase(const std::string& owner);
    // The same for the active player, when there is one.
    static void EraseActive();
};
