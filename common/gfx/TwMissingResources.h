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
    // From now on missing files are only counted: a run of the rules without pictures (a
    // recording checked on the command line) has nothing to tell the player about them.
    static void Silence();
    // Forgets what was reported, and a silence (tests; each start of the game is a new run).
    static void Reset();
};
