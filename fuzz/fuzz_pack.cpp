// Opens arbitrary bytes as a resource pack and reads every entry it lists.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "data/TwResourceManager.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = "/tmp/zv-fuzz-pack-" + std::to_string(::getpid()) + ".Twr";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return 0;
    }
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    // The reader's "File was not opened" would flood the fuzzer's output.
    static const bool quiet = std::freopen("/dev/null", "w", stdout) != nullptr;
    (void)quiet;
    // The game's own opening takes a pack only when it is whole; whatever it takes must be
    // exactly what the tolerant opening finds in it.
    TwResourceManager whole;
    const TwResourceManager::PackCheck check = whole.OpenIntactPack(path);
    const bool intact = check.state == TwResourceManager::PackState::Intact;
    if (intact == whole.Entries().empty() || intact != check.problem.empty()) {
        __builtin_trap();
    }
    TwResourceManager packs;
    if (packs.OpenPack(path)) {
        if (intact && packs.Entries().size() != whole.Entries().size()) {
            __builtin_trap();
        }
        for (const TwResourceManager::Item& item : packs.Entries()) {
            std::string out;
            const int got = packs.GetResource(item.name, out);
            if (got < 0 || static_cast<std::size_t>(got) != out.size() || out.size() > size) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
