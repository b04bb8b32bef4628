#include "GameStartup.h"

#include <cstdlib>
#include <memory>
#include <sys/stat.h>

#include "GameApplication.h"
#include "audio/TwSoundManager.h"
#include "data/TwEngineDefs.h"
#include "data/TwLocale.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "gfx/TwScreenSize.h"
#include "platform/TwInstanceLock.h"
#include "platform/TwMessageBox.h"
#include "platform/TwPlatformPaths.h"
#include "platform/TwVideo.h"
#include "records/TwProfileStore.h"

namespace {

constexpr const char* kWindowClass = "3D";
constexpr const char* kWindowTitle = "Zorbit Volley";
constexpr const char* kMainPack = "Data//Resource.Twr";
constexpr const char* kLanguagePack = "Data//Lang.Twr";
constexpr const char* kPackError = "Error Loading Resource File.";
constexpr const char* kNoDisplayError =
    "Zorbit Volley could not open its window: no display or graphics renderer is available.";

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string InFolder(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir == ".") {
        return name;
    }
    return dir + "/" + name;
}

std::vector<std::string> UsualPackDirs() {
    std::vector<std::string> dirs{""};
    const std::string exeDir = TwExecutableDir();
    if (!exeDir.empty()) {
        dirs.push_back(exeDir);
    }
    dirs.push_back(TwInstallDataDir());
    return dirs;
}

void OpenPack(const char* name, const std::vector<std::string>& dirs) {
    if (!TwResourceManager::Instance().OpenPack(FindGamePack(name, dirs))) {
        TwShowErrorMessage(kPackError);
    }
}

// The pack of the desktop's language in front of the English one, which stays open behind
// it: a translation's pack holds only what differs from English. English alone when no pack
// of a wanted language is there or it cannot be read; only a missing English pack is an error.
void OpenLanguagePacks(const std::vector<std::string>& dirs) {
    for (const std::string& code : TwLocale::Candidates(std::getenv)) {
        if (code.empty()) {
            break;
        }
        const std::string path = FindGamePack(TwLocale::PackName(code), dirs);
        if (IsRegularFile(path) && TwResourceManager::Instance().OpenPack(path)) {
            break;
        }
    }
    OpenPack(kLanguagePack, dirs);
}

} // namespace

std::string FindGamePack(const std::string& name, const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        const std::string path = InFolder(dir, name);
        if (IsRegularFile(path)) {
            return path;
        }
    }
    return InFolder(dirs.empty() ? std::string() : dirs.front(), name);
}

int RunZorbitVolley(const GameStartOptions& options) {
    TwInstanceLock instanceLock;
    if (!instanceLock.Acquire(std::string(kWindowClass) + " " + kWindowTitle)) {
        return 0; // another copy runs: leave it alone
    }

    const std::vector<std::string> dirs =
        options.packDirs.empty() ? UsualPackDirs() : options.packDirs;
    OpenPack(kMainPack, dirs);
    OpenLanguagePacks(dirs);

    TwScreenSize::Instance() = TwScreenSize{800, 600};
    TwProfileStore::Instance().LoadProfiles();

    auto app = std::make_unique<GameApplication>();
    app->SetProgressObserver(options.onProgress);
    LoadEngineDefinitions();

    if (app->Init(kWindowClass, kWindowTitle)) {
        app->ShowProgress(20);
        const TwSysConfig& config = TwSysConfig::Instance();
        TwSoundManager::Instance().StartUp(config.SoundVolume, config.MusicVolume);
        app->LoadData();
        app->ShowProgress(100);
        app->FreeLoadScreen();
        if (options.runLoop) {
            app->Run();
        }
    } else {
        TwShowErrorMessage(kNoDisplayError);
    }

    app->Shutdown();
    app.reset();
    TwSoundManager::Instance().ShutDown();
    TwVideo::Quit();
    return 0;
}
