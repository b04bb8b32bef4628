// Zorbit Volley: process entry.
#include <iostream>

#include "CommandLine.h"
#include "GameStartup.h"
#include "platform/window/TwMessageBoxProcess.h"

int main(int argc, char** argv) {
    // A copy of the game started by the game itself to show one message box.
    if (TwIsMessageBoxProcess(argc, argv)) {
        return TwRunMessageBoxProcess(argc, argv);
    }
    const CommandLineOutcome outcome =
        HandleCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    if (!outcome.play) {
        return outcome.exitCode;
    }
    TwShowMessageBoxesApart();
    GameStartOptions options;
    options.replayFile = outcome.replayFile;
    return RunZorbitVolley(options);
}
