// Zorbit Volley: process entry.
#include <iostream>

#include "CommandLine.h"
#include "GameStartup.h"

int main(int argc, char** argv) {
    const CommandLineOutcome outcome =
        HandleCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
    if (!outcome.play) {
        return outcome.exitCode;
    }
    return RunZorbitVolley();
}
