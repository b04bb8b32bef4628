#include "CommandLine.h"

#include "ReplayVerify.h"

#ifndef ZV_VERSION
#define ZV_VERSION "unknown"
#endif

namespace {

constexpr const char* kProgram = "zorbit-volley";
constexpr int kUsageError = 2;

void PrintHelp(std::ostream& out) {
    out << "Usage: " << kProgram << " [OPTION]\n"
        << "Zorbit Volley, a bubble shooter: aim the launcher, fire, and burst three or more\n"
        << "bubbles of one colour before the field reaches the bottom.\n"
        << "\n"
        << "  -h, --help              show this help and exit\n"
        << "      --version           show the version and exit\n"
        << "      --replay FILE       watch a recorded game (fast forward with Space,\n"
        << "                          leave with Escape)\n"
        << "      --verify-replay FILE  play a recorded game without window or sound and\n"
        << "                          print its mode, score, shots and final field\n"
        << "\n"
        << "Without options the game starts (full screen unless set otherwise in its options).\n"
        << "Settings are kept in $XDG_CONFIG_HOME/zorbit-volley/, players, saved games and\n"
        << "high scores in $XDG_DATA_HOME/zorbit-volley/, the recordings of finished games\n"
        << "in $XDG_DATA_HOME/zorbit-volley/Replays/.\n";
}

CommandLineOutcome UsageError(std::ostream& err, const std::string& complaint) {
    err << kProgram << ": " << complaint << "\n"
        << "Usage: " << kProgram << " [--help | --version | --replay FILE | --verify-replay FILE]\n"
        << "Try '" << kProgram << " --help' for more information.\n";
    return {false, kUsageError, {}};
}

} // namespace

CommandLineOutcome HandleCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                     std::ostream& err) {
    // Taken in order, so the first word that is not understood is the one reported.
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--replay" || arg == "--verify-replay") {
            if (i + 1 >= args.size()) {
                return UsageError(err, "option '" + arg + "' needs a recording file");
            }
            if (i + 2 < args.size()) {
                return UsageError(err, "unexpected argument '" + args[i + 2] + "'");
            }
            if (arg == "--verify-replay") {
                return {false, VerifyReplayFile(args[i + 1], out, err), {}};
            }
            return {true, 0, args[i + 1]};
        }
        if (arg == "--help" || arg == "-h") {
            PrintHelp(out);
            return {false, 0, {}};
        }
        if (arg == "--version") {
            out << "Zorbit Volley " << ZV_VERSION << "\n";
            return {false, 0, {}};
        }
        if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(err, "unrecognised option '" + arg + "'");
        }
        return UsageError(err, "unexpected argument '" + arg + "'");
    }
    return {};
}
