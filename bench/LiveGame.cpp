#include "LiveGame.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sys/stat.h>

#include "GameApplication.h"
#include "audio/TwSoundManager.h"
#include "data/TwEngineDefs.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "gfx/TwScreenSize.h"
#include "platform/window/TwMessageBox.h"
#include "records/TwProfileStore.h"

namespace zvbench {

namespace {

// The folder's path for removal at exit (kept outside any object destroyed before then).
char g_folderToRemove[64] = {};

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

const std::string& PlayerFolder() {
    static const std::string folder = [] {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        ::setenv("SDL_AUDIODRIVER", "dummy", 0);
        char pattern[] = "/tmp/zv-bench-XXXXXX";
        std::string root = ::mkdtemp(pattern) ? pattern : "/tmp";
        ::mkdir((root + "/config").c_str(), 0755);
        ::mkdir((root + "/config/zorbit-volley").c_str(), 0755);
        ::mkdir((root + "/data").c_str(), 0755);
        ::mkdir((root + "/data/zorbit-volley").c_str(), 0755);
        WriteFile(root + "/config/zorbit-volley/TwConfig.Cfg",
                  "Windowed=1\nSoundVolume=100\nMusicVolume=100\nDifficultLevel=0\n");
        WriteFile(root + "/data/zorbit-volley/Profiles.Txt",
                  "ActiveProfile=0\nPlayerName0=\"Tester\"\n");
        ::setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
        std::snprintf(g_folderToRemove, sizeof g_folderToRemove, "%s", root.c_str());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(g_folderToRemove, ignored);
        });
        return root;
    }();
    return folder;
}

bool OpenBuiltPacks() {
    static const bool opened = [] {
        TwResourceManager& packs = TwResourceManager::Instance();
        const std::string dir = std::string(ZV_BINARY_DIR) + "/Data/";
        return packs.OpenPack(dir + "Resource.Twr") && packs.OpenPack(dir + "Lang.Twr");
    }();
    return opened;
}

// Started in the order the game's own start-up uses.
GameApplication* LiveGame() {
    static GameApplication* game = []() -> GameApplication* {
        PlayerFolder();
        TwSetMessageSink([](const std::string&, const std::string&) {});
        if (!OpenBuiltPacks()) {
            return nullptr;
        }
        TwScreenSize::Instance() = TwScreenSize{800, 600};
        TwProfileStore::Instance().LoadProfiles();
        // Kept for the whole process: the benchmarks share it and it dies with the process.
        auto* app = new GameApplication;
        LoadEngineDefinitions();
        if (!app->Init("3D", "Zorbit Volley")) {
            return nullptr;
        }
        const TwSysConfig& config = TwSysConfig::Instance();
        TwSoundManager::Instance().StartUp(config.SoundVolume, config.MusicVolume);
        app->LoadData();
        app->FreeLoadScreen();
        return app;
    }();
    return game;
}

} // namespace zvbench
