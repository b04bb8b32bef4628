// Loads arbitrary bytes as a high-score table, offers a score, and checks that the table
// written back reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "fuzz_support.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwTop.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool dirsReady = [] {
        const std::string root = "/tmp/zv-fuzz-scores-" + std::to_string(::getpid());
        ::setenv("XDG_DATA_HOME", root.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
        SilenceMessages();
        return true;
    }();
    (void)dirsReady;
    if (!TwWriteFileAtomic(TwUserPath("Data/Classic.Twt"),
                           std::string_view(reinterpret_cast<const char*>(data), size))) {
        return 0;
    }
    // A damaged table keeps what it could read and is written back whole at once.
    TwTop table("Data/Classic.Twt");
    table.Load();
    RemoveDamagedCopies(TwDataDir());
    if (table.Count() > table.Capacity()) {
        std::abort();
    }
    TwTopRecord record;
    record.PlayerName = "Fuzz";
    record.Scores = 1000;
    table.Add(record);
    if (!table.Save()) {
        return 0;
    }
    TwTop again("Data/Classic.Twt");
    if (!again.Load() || again.Count() != table.Count()) {
        std::abort();
    }
    for (int i = 0; i < table.Count(); ++i) {
        const TwTopRecord& a = table.Records()[static_cast<std::size_t>(i)];
        const TwTopRecord& b = again.Records()[static_cast<std::size_t>(i)];
        if (a.PlayerName.find('\r') == std::string::npos &&
            a.Difficulty.find('\r') == std::string::npos &&
            (a.PlayerName != b.PlayerName || a.Difficulty != b.Difficulty || a.Scores != b.Scores ||
             a.Level != b.Level || a.Episode != b.Episode || a.Time != b.Time)) {
            std::abort();
        }
    }
    return 0;
}
