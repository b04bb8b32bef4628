#include "GameAppHarness.h"

#include <gtest/gtest.h>

#include "Game.h"
#include "app/TwEngineDefs.h"
#include "app/TwFrameTimer.h"
#include "app/TwRenderDevice.h"
#include "app/TwScreenSize.h"
#include "app/TwSysConfig.h"
#include "audio/TwSoundManager.h"
#include "data/TwLanguage.h"
#include "data/TwResourceManager.h"
#include "platform/TwMessageBox.h"
#include "records/TwProfileStore.h"

namespace zvtest {

GameAppHarness::GameAppHarness() {
    // Error boxes would wait for a click; here they only need to leave the game running.
    TwSetMessageSink([](const std::string&, const std::string&) {});
}

GameAppHarness::~GameAppHarness() {
    Stop();
    TwSoundManager::Instance().ShutDown();
    TwSetClock(nullptr);
    TwFlushMessages();
    TwProfileStore::Instance().Reset();
    TwResourceManager::Instance().CloseAll();
    TwSetMessageSink({});
}

bool GameAppHarness::Start() {
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    const std::string dataDir = zvtest::BinaryDir() + "/Data/";
    if (!packs.OpenPack(dataDir + "Resource.Twr") || !packs.OpenPack(dataDir + "Lang.Twr")) {
        ADD_FAILURE() << "the game's packs are missing from " << dataDir;
        return false;
    }
    TwLanguage::Instance().Reload();
    TwScreenSize::Instance() = TwScreenSize{800, 600};

    TwSysConfig& config = TwSysConfig::Instance();
    config.Windowed = true;
    config.SoundVolume = 100;
    config.MusicVolume = 100;
    config.DifficultLevel = 0;
    EXPECT_EQ(config.Save(), 0);
    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    store.AddProfile("Soak");
    store.SelectProfile(0);
    EXPECT_TRUE(store.SaveProfiles());
    store.Reset();
    store.LoadProfiles();
    LoadEngineDefinitions();

    TwSetClock(&clock_);
    TwFrameTimer::Instance().Reset();
    TwFlushMessages();

    app_ = std::make_unique<GameApplication>();
    if (!app_->Init("3D", "Zorbit Volley")) {
        ADD_FAILURE() << "no window";
        return false;
    }
    TwRenderDevice::Instance().SetWindowBuilder([this] { return app_->CreateMainWindow(); });
    app_->ShowProgress(20);
    TwSoundManager::Instance().StartUp(config.SoundVolume, config.MusicVolume);
    app_->LoadData();
    app_->ShowProgress(100);
    app_->FreeLoadScreen();
    if (GameScreen() == nullptr) {
        ADD_FAILURE() << "the application has no game screen";
        return false;
    }
    return true;
}

void GameAppHarness::Stop() {
    if (app_) {
        app_->Shutdown();
        app_.reset();
    }
}

void GameAppHarness::Frame(std::uint32_t frameMs) {
    TwWindowMessage message;
    while (TwPeekMessage(message)) {
        if (message.id == kTwMsgQuit) {
            ++quitRequests_;
            continue;
        }
        app_->HandleMessage(message);
    }
    clock_.Advance(frameMs);
    app_->Frame();
}

bool GameAppHarness::Push(const TwSyntheticEvent& event) {
    return TwPushSyntheticEvent(event);
}

Game* GameAppHarness::GameScreen() const {
    return app_ ? dynamic_cast<Game*>(app_->GameScreen()) : nullptr;
}

} // namespace zvtest
