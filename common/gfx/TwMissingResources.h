#pragma once
#include <string>

// Pictures and font strips the packs do not hold. The first one of a run is shown to the
// player in a message box; every later one goes to standard error only, so a pack that
// lacks many pictures costs one box, never a cascade of them.
class TwMissingResources {
public:
    static void Report(const std::string& message);
    // Reports the picture or font strip `name`, in the player's language.
    static void ReportFile(const std::string& name);
    // How many were reported since the start (or the last Reset).
    static int Count();
    // Forgets what was reported (tests; each start of the game is a new run).
    static void Reset();
};
