#pragma once
#include <ostream>
#include <string>
#include <vector>

// The command line. Without arguments the game starts; --help and --version answer at once
// and end the program before anything of the game starts (no window, no single-instance
// lock); --verify-replay FILE plays a recording without window or sound and prints how it
// ends; --replay FILE starts the game showing a recording. Anything else is a usage error,
// as with any program on the desktop. (The hidden mode in which the game shows a message box
// from a copy of itself is answered before this.)
struct CommandLineOutcome {
    bool play = true;       // start the game
    int exitCode = 0;       // the program's exit code when it does not play
    std::string replayFile; // --replay: the recording the game shows
};

// `args` without the program's name. Help and the version go to `out`, errors to `err`.
CommandLineOutcome HandleCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                     std::ostream& err);
