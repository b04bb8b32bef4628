// Reads arbitrary bytes as a game recording: the reader never reads outside the bytes and
// refuses or accepts without crashing; what it accepts writes back into a file that reads
// the same, and plays a few hundred frames on the game's own rules without harm.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "Replay.h"
#include "ReplayVerify.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        SilenceMessages();
        return true;
    }();
    (void)quiet;
    Replay replay;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (Replay::Parse(bytes, replay) != Replay::ReadError::kNone) {
        return 0;
    }
    const std::string written = replay.Serialize();
    Replay again;
    Check(Replay::Parse(written, again) == Replay::ReadError::kNone);
    Check(again.Serialize() == written);
    const ReplayOutcome outcome = PlayReplayHeadless(replay, 300);
    Check(outcome.result.score >= 0 && outcome.result.shots >= 0);
    return 0;
}
