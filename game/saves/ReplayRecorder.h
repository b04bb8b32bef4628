#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Replay.h"
#include "TwVector.h"

class TwDefFile;

// Records the game being played. The game screen tells it every frame's length and every
// shot and swap with the aim it was made at; the recording travels with the save slot (a
// companion file beside it, stamped into the slot so a continue can tell the two belong
// together) and is written into the player's recordings when the game ends.
class ReplayRecorder {
public:
    // Where finished games are kept, as a game file name ("Data/Replays/").
    static constexpr const char* kFolder = "Data/Replays/";
    static constexpr const char* kExtension = ".Twv";

    // Starts the recording of a new game; `header` holds everything but the events.
    void Start(const Replay& header);
    // No recording from now on (a game continued without one).
    void Stop() {
        active_ = false;
        guided_ = false;
    }
    bool Active() const { return active_; }
    const Replay& Current() const { return replay_; }

    void Frame(int elapsedMs);
    // A shot or swap, preceded by the aim when it changed since the last one recorded.
    void Action(ReplayEvent::Type type, const TwVector& direction);
    // The aim as it stands after a frame (so a replay turns the launcher as the player did).
    void Aim(const TwVector& direction);
    void Leave();
    // The aim guide was shown during this game (its score carries a sign in the tables).
    void MarkGuided();
    bool Guided() const { return guided_; }

    // The companion file of a save slot ("<name>.Tws" gives "<name>.Twv").
    static std::string PathBeside(const std::string& slotPath);
    // Puts the recording's size and check into the slot (with the game's random state).
    void Stamp(TwDefFile& slot, std::uint32_t randomState) const;
    // Writes the companion file of the slot. False when it could not be written.
    bool WriteBeside(const std::string& slotPath) const;
    // Takes up the recording of a continued game: the companion file must be the one the
    // slot was stamped with, else the game goes on unrecorded. The random state the slot
    // keeps, if any.
    std::optional<std::uint32_t> ResumeBeside(const std::string& slotPath, TwDefFile& slot);
    static void EraseBeside(const std::string& slotPath);

    // Ends the recording with the game's result and writes it into the player's recordings.
    // The file name (inside kFolder) on success, empty when there was no recording or it
    // could not be written.
    std::string Finish(const ReplayResult& result);

    // Deletes the recordings in the folder that nothing links to any more. `keep` holds the
    // file names still wanted.
    static void PruneExcept(const std::vector<std::string>& keep);

private:
    Replay replay_;
    bool active_ = false;
    bool aimKnown_ = false;
    bool guided_ = false;
    TwVector lastAim_;
};
