// Loads arbitrary bytes as the players' profiles file and walks every profile: whatever the
// file holds, slot paths stay inside the save folder and nothing crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "platform/TwUserFiles.h"
#include "records/TwProfileStore.h"

namespace {

// A private data directory for this fuzzing process.
std::string SetUpDataDir() {
    const std::string root = "/tmp/zv-fuzz-profiles-" + std::to_string(::getpid());
    ::setenv("XDG_DATA_HOME", root.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    TwMakeDirs(TwDataDir() + "/Save");
    return TwDataDir() + "/Save/";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string saveDir = SetUpDataDir();
    const std::string path = TwUserPath("Data/Profiles.Txt");
    if (!TwWriteFileAtomic(path, std::string_view(reinterpret_cast<const char*>(data), size))) {
        return 0;
    }
    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    store.LoadProfiles();
    store.ActiveName();
    store.HasSavedGame();
    for (int i = 0; i < store.Count() && i < 64; ++i) {
        store.SelectProfile(i);
        const std::string slot = store.SavePath();
        const std::string fileName = slot.substr(saveDir.size());
        if (slot.compare(0, saveDir.size(), saveDir) != 0 ||
            fileName.find('/') != std::string::npos || fileName[0] == '.') {
            std::abort();
        }
        store.CheckSavedGame();
    }
    if (store.Count() > 0) {
        store.SelectProfile(0);
        store.DeleteActiveProfile();
    }
    store.SaveProfiles();
    return 0;
}
