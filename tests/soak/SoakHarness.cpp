#include "SoakHarness.h"

#include <cstdlib>
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

namespace soak {

namespace {

int EnvCount(const char* name, int fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') {
        return fallback;
    }
    const int value = std::atoi(text);
    return value > 0 ? value : fallback;
}

} // namespace

int GamesToPlay() {
    return EnvCount("ZV_SOAK_GAMES", 6);
}

int EventsToSend() {
    return EnvCount("ZV_SOAK_EVENTS", 2000);
}

AppHarness::AppHarness() {
    // Error boxes would wait for a click; here they only need to leave the game running.
    TwSetMessageSink([](const std::string&, const std::string&) {});
}

AppHarness::~AppHarness() {
    Stop();
    TwSoundManager::Instance().ShutDown();
    TwSetClock(nullptr);
    TwFlushMessages();
    TwProfileStore::Instance().Reset();
    TwResourceManager::Instance().CloseAll();
    TwSetMessageSink({});
}

bool AppHarness::Start() {
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

void AppHarness::Stop() {
    if (app_) {
        app_->Shutdown();
        app_.reset();
    }
}

void AppHarness::Frame(std::uint32_t frameMs) {
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

bool AppHarness::Push(const TwSyntheticEvent& event) {
    return TwPushSyntheticEvent(event);
}

Game* AppHarness::GameScreen() const {
    return app_ ? dynamic_cast<Game*>(app_->GameScreen()) : nullptr;
}

} // namespace soak
