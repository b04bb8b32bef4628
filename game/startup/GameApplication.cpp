#include "GameApplication.h"

#include "ControlBindings.h"
#include "GameControl.h"
#include "MenuGui.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwSysConfig.h"
#include "gfx/TwFontTable.h"
#include "gui/TwEventRouter.h"
#include "gui/TwPanel.h"
#include "gui/TwTextDialogPanel.h"
#include "records/TwHighScoreTables.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

GameApplication::GameApplication() : gameFactory_(CreateGameScreen) {}

GameApplication::~GameApplication() {
    if (gameScreen_ && !gameScreen_->IsFinished()) {
        gameScreen_->SaveGame();
    }
    gameScreen_.reset();
    TwHighScoreTables().clear();
    menuScreen_.reset();
    TwFontTable::Instance().Clear();
}

bool GameApplication::WatchFromCommandLine(const std::string& path) {
    if (!gameScreen_ || !gameScreen_->WatchRecording(path, [this] { RequestQuit(); })) {
        return false;
    }
    if (TwEventRouter* router = Router()) {
        router->SwitchScreen(kGameScreen);
    }
    return true;
}

MenuGui* GameApplication::Menu() const {
    return static_cast<MenuGui*>(menuScreen_.get());
}

void GameApplication::LoadData() {
    // The keys and buttons of play come with the settings, read before the window was made.
    ControlBindings::Current().Load(TwSysConfig::Instance().Table());
    auto menu = std::make_unique<MenuGui>();
    menu->SetRouter(Router());
    menuScreen_ = std::move(menu);
    TwBaseGameApp::LoadData();
    ShowProgress(30);

    LoadSounds();
    ShowProgress(40);
    ShowProgress(50);

    TwFontTable::Instance().Load(TwFontTable::MainFont, "MainFont");
    ShowProgress(60);

    Menu()->BuildMenuDialogs();
    ShowProgress(65);

    BuildGameScreen();
    CreateCursor();
    ShowProgress(80);

    AskFirstName();
    LoadHighScoreTables();
    ShowProgress(90);
}

// The menu music starts while the game is still loading.
void GameApplication::LoadSounds() {
    TwLoadGameSounds();
    TwAddGamePlayLists();
    TwSoundManager& sound = TwSoundManager::Instance();
    sound.SelectPlayList(kTwMenuPlayList);
    sound.ResumeMusic();
}

void GameApplication::BuildGameScreen() {
    gameScreen_ = gameFactory_ ? gameFactory_() : nullptr;
    if (!gameScreen_) {
        return;
    }
    gameScreen_->BuildScreen();
    if (TwEventRouter* router = Router()) {
        router->AddScreen(kGameScreen, gameScreen_.get());
        router->SwitchScreen(kMenuScreen);
    }
    Menu()->SetGame(gameScreen_.get());
}

// The very first thing a new player does is type a name, and it cannot be skipped.
void GameApplication::AskFirstName() {
    if (!TwProfileStore::Instance().IsEmpty()) {
        return;
    }
    if (TwPanel* entry = menuScreen_->GetPanel(TwBaseMenuGui::kNameDialog)) {
        if (TwBaseGuiElemen* cancel = entry->CancelButton()) {
            cancel->Disable();
        }
        menuScreen_->OpenPanel(TwBaseMenuGui::kNameDialog);
    }
}

void GameApplication::LoadHighScoreTables() {
    auto& tables = TwHighScoreTables();
    static const struct {
        int mode;
        const char* file;
        const char* title;
    } kTables[] = {{0, "Data/Classic.Twt", "Interface/ScoreClassic"},
                   {1, "Data/Arcade.Twt", "Interface/ScoreArcade"}};
    for (const auto& entry : kTables) {
        auto table = std::make_unique<TwTop>(entry.file);
        table->SetTitle(entry.title);
        TwTop* raw = table.get();
        tables[entry.mode] = std::move(table);
        raw->Load();
    }
}
