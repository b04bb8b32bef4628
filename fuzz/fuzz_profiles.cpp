// Loads arbitrary bytes as the players' profiles file and walks every profile: whatever the
// file holds, slot paths stay inside the save folder, every name (malformed UTF-8 too)
// measures in a font character by character, and nothing crashes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "data/TwUtf8.h"
#include "fuzz_support.h"
#include "gfx/TwBitmapFont.h"
#include "platform/os/TwUserFiles.h"
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

// A font of 10-pixel cells holding 'a', 'é' and the replacement mark.
TwBitmapFont& CellFont() {
    static TwBitmapFont font;
    static bool made = false;
    if (!made) {
        made = true;
        std::string tga(18 + 30 * 4 * 4, '\0');
        tga[2] = 2;
        tga[12] = 30;
        tga[14] = 4;
        tga[16] = 32;
        font.Configure("a\xC3\xA9\xEF\xBF\xBD", 10, 0, 0);
        font.ReadStrip(tga, 30, 4);
    }
    return font;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string saveDir = SetUpDataDir();
    static const bool quiet = (SilenceMessages(), true);
    (void)quiet;
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
        // Every character, malformed bytes included, is one cell or none.
        const std::string name = store.ActiveName();
        if (CellFont().TextWidth(name) > 10 * static_cast<int>(TwUtf8::Length(name))) {
            std::abort();
        }
    }
    if (store.Count() > 0) {
        store.SelectProfile(0);
        store.DeleteActiveProfile();
    }
    store.SaveProfiles();
    RemoveDamagedCopies(TwDataDir());
    return 0;
}
