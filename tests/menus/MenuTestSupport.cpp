#include "MenuTestSupport.h"

#include <cstdio>

#include "app/TwBaseApplication.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "gui/TwEventRouter.h"
#include "gui/TwInputEvent.h"
#include "platform/os/TwUserFiles.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

namespace menutest {

namespace {

constexpr int kEscapeKey = 27;
constexpr const char* kSaveMagic = "ZVFAKE";

int g_nextField = 1;

TwEventRouter* Router() {
    TwBaseApplication* app = TwBaseApplication::Instance();
    return app ? app->Router() : nullptr;
}

std::string ParentDir(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

} // namespace

// ---------------------------------------------------------------------------------------
// FakeGame

void FakeGame::BuildScreen() {
    banks->Build();
    built = true;
}

void FakeGame::SetUp(int mode) {
    gameId = mode;
    field = g_nextField++;
    ++setUps;
}

void FakeGame::NewGame() {
    state = kPlaying;
    ++newGames;
}

void FakeGame::Abandon() {
    ++abandons;
    TwProfileStore& store = TwProfileStore::Instance();
    store.DeleteSavedGame();
    store.CheckSavedGame();
    state = kNotPlaying;
}

void FakeGame::Suspend() {
    ++suspends;
    state = kNotPlaying;
}

bool FakeGame::SaveGame() {
    ++saves;
    TwProfileStore& store = TwProfileStore::Instance();
    const std::string path = store.SavePath();
    TwMakeDirs(ParentDir(path));
    const std::string text =
        std::string(kSaveMagic) + " " + std::to_string(gameId) + " " + std::to_string(field);
    TwWriteFileAtomic(path, text);
    store.CheckSavedGame();
    return true;
}

bool FakeGame::Restore() {
    ++restores;
    TwProfileStore& store = TwProfileStore::Instance();
    std::string text;
    char magic[8] = {};
    int mode = -1, savedField = 0;
    if (!TwReadFile(store.SavePath(), text) ||
        std::sscanf(text.c_str(), "%6s %d %d", magic, &mode, &savedField) != 3 ||
        std::string(magic) != kSaveMagic) {
        store.CheckSavedGame();
        return false;
    }
    gameId = mode;
    field = savedField;
    state = kPlaying;
    return true;
}

bool FakeGame::HandleInput(TwInputEvent& input) {
    if (input.messageId == 256 && input.key == kEscapeKey) {
        SaveGame();
        BackToMenu();
    }
    return true;
}

void FakeGame::Lose(int score) {
    TwProfileStore& store = TwProfileStore::Instance();
    if (TwTop* table = TwHighScoreTable(gameId)) {
        TwTopRecord record;
        record.PlayerName = store.ActiveName();
        record.Scores = score;
        table->Add(record);
        table->Save();
    }
    store.DeleteSavedGame();
    store.CheckSavedGame();
    state = kNotPlaying;
    BackToMenu();
}

void FakeGame::BackToMenu() {
    if (TwEventRouter* router = Router()) {
        router->SwitchScreen("MenuWin");
    }
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwMenuPlayList);
    sound.ResumeMusic();
}

// ---------------------------------------------------------------------------------------
// MenuHarness

bool MenuHarness::Start(bool realGame) {
    if (realGame) {
        return GameAppHarness::Start();
    }
    return GameAppHarness::Start([this] {
        auto game = std::make_unique<FakeGame>();
        game_ = game.get();
        return std::unique_ptr<GameControl>(std::move(game));
    });
}

} // namespace menutest
