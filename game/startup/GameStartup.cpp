#include "GameStartup.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <sys/stat.h>

#include "GameApplication.h"
#include "LanguageChoice.h"
#include "audio/TwSoundManager.h"
#include "data/TwEngineDefs.h"
#include "data/TwLanguage.h"
#include "data/TwLocale.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "gfx/TwMissingResources.h"
#include "gfx/TwScreenSize.h"
#include "platform/os/TwInstanceLock.h"
#include "platform/os/TwPlatformPaths.h"
#include "platform/window/TwMessageBox.h"
#include "platform/window/TwVideo.h"
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

// A pack the game cannot do without that is missing or damaged.
struct PackTrouble {
    std::string path;
    TwResourceManager::PackCheck check;
};

std::optional<PackTrouble> OpenRequiredPack(const std::string& name,
                                            const std::vector<std::string>& dirs) {
    const std::string path = FindGamePack(name, dirs);
    TwResourceManager::PackCheck check = TwResourceManager::Instance().OpenIntactPack(path);
    if (check.state == TwResourceManager::PackState::Intact) {
        return std::nullopt;
    }
    return PackTrouble{path, std::move(check)};
}

// The pack of the language chosen in the options, else of the desktop's language, in front
// of the English pack, which stays open behind it: a translation's pack holds only what
// differs from English. A pack of a wanted language that is missing or damaged is passed
// over (a damaged one with a note on standard error), so the game goes on to the next wish
// and at last speaks English quietly; only trouble with the English pack stops the game.
std::optional<PackTrouble> OpenLanguagePacks(const std::vector<std::string>& dirs) {
    TwResourceManager& packs = TwResourceManager::Instance();
    LanguageChoice::Instance().SetInUse("");
    const std::string chosen = TwSysConfig::Instance().Language;
    for (const std::string& code :
         TwLocale::WithChoice(chosen, TwLocale::Candidates(std::getenv))) {
        if (code.empty()) {
            break;
        }
        const std::string path = FindGamePack(TwLocale::PackName(code), dirs);
        if (!IsRegularFile(path)) {
            continue;
        }
        const TwResourceManager::PackCheck check = packs.OpenIntactPack(path);
        if (check.state == TwResourceManager::PackState::Intact) {
            LanguageChoice::Instance().SetInUse(code);
            break;
        }
        std::fprintf(stderr, "zorbit-volley: %s is damaged (%s); speaking English instead\n",
                     path.c_str(), check.problem.c_str());
    }
    return OpenRequiredPack(kLanguagePack, dirs);
}

// One message, in the player's language where the language pack could be read, naming the
// pack and whether it is missing or damaged.
void ReportPackTrouble(const PackTrouble& trouble) {
    const bool missing = trouble.check.state == TwResourceManager::PackState::Missing;
    std::fprintf(stderr, "zorbit-volley: %s %s (%s)\n", trouble.path.c_str(),
                 missing ? "is missing" : "is damaged", trouble.check.problem.c_str());
    TwLanguage& language = TwLanguage::Instance();
    language.Reload();
    std::string text = language.GetBoxText(missing ? "PackMissing" : "PackDamaged");
    if (text.empty()) {
        text = kPackError;
    }
    // The places are joined as "Data//Resource.Twr"; the player reads one slash.
    std::string shown = trouble.path;
    for (std::size_t at = shown.find("//"); at != std::string::npos; at = shown.find("//", at)) {
        shown.erase(at, 1);
    }
    TwShowErrorMessage(text + "\n\n" + shown);
}

} // namespace

std::string FindGamePack(const std::string& name, const std::vector<std::string>& dirs) {
    for (const std::string& dir : dirs) {
        std::string path = InFolder(dir, name);
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

    TwMissingResources::Reset();
    const std::vector<std::string> dirs =
        options.packDirs.empty() ? UsualPackDirs() : options.packDirs;
    const std::optional<PackTrouble> mainTrouble = OpenRequiredPack(kMainPack, dirs);
    // The settings name the language chosen in the options (they are read again, with the
    // engine's definitions, once the packs are open).
    TwSysConfig::Instance().Load();
    const std::optional<PackTrouble> languageTrouble = OpenLanguagePacks(dirs);
    LanguageChoice::Instance().FindLanguages(dirs);
    if (mainTrouble || languageTrouble) {
        // Without its pictures or its words the game cannot be played: one message, then stop.
        ReportPackTrouble(mainTrouble ? *mainTrouble : *languageTrouble);
        TwResourceManager::Instance().CloseAll();
        return kExitPackTrouble;
    }

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
        const bool watching = !options.replayFile.empty();
        if (options.runLoop && (!watching || app->WatchFromCommandLine(options.replayFile))) {
            app->Run();
        }
    } else {
        TwShowErrorMessage(TwLanguage::Instance().GetBoxText("NoDisplay", kNoDisplayError));
    }

    app->Shutdown();
    app.reset();
    TwSoundManager::Instance().ShutDown();
    TwVideo::Quit();
    return 0;
}
