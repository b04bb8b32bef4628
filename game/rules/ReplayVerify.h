#pragma once
#include <ostream>
#include <string>

#include "Replay.h"

// What a recording gives when it is played through the game's own rules.
struct ReplayOutcome {
    ReplayResult result;
    bool diverged = false; // a shot or swap of the recording was refused on the way
    bool ended = false;    // the game came to its end (lost or cleared)
};

// Plays a recording on a game session of its own (no screen, window, sound or pictures), as
// fast as it goes, and tells how the game stands at the end (after at most `maxFrames`
// frames).
ReplayOutcome PlayReplayHeadless(const Replay& replay, long long maxFrames = -1);

// `zorbit-volley --verify-replay FILE`: reads the file, plays it headless and prints the
// mode, difficulty, the Puzzle level (its number and set), final score, shots fired and the final
// field's hash to `out`. 0 when the game plays out as recorded; 1 with a message to `err` for a
// file that cannot be read, is no recording, is damaged, of another version, or plays out
// differently.
int VerifyReplayFile(const std::string& path, std::ostream& out, std::ostream& err);

// The name of a mode as the command line prints it.
const char* ReplayModeName(int mode);
