#include "GameAppHarness.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Game.h"
#include "GameSoundPlayer.h"
#include "GfxTestSupport.h"
#include "MenuGui.h"
#include "app/TwFrameTimer.h"
#include "audio/TwSoundManager.h"
#include "data/TwEngineDefs.h"
#include "data/TwLanguage.h"
#include "data/TwResourceManager.h"
#include "data/TwSysConfig.h"
#include "data/TwUtf8.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwScreenSize.h"
#include "gui/TwEventRouter.h"
#include "gui/TwGuiSound.h"
#include "gui/TwPanel.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"
#include "platform/window/TwVideo.h"
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
    if (recordingSounds_) {
        TwSetGuiSoundPlayer({});
        GameSoundPlayer::SetListener({});
    }
    TwSetMessageSink({});
}

void GameAppHarness::WriteProfiles(const std::vector<std::string>& names, int active) {
    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    for (const std::string& name : names) {
        store.AddProfile(name);
    }
    store.SelectProfile(active);
    ASSERT_TRUE(store.SaveProfiles());
}

// A file of these four settings alone (not the keys an earlier test left in the game's own
// settings table).
void GameAppHarness::WriteSettings(bool windowed, int sound, int music, int difficulty) {
    TwSysConfig config(TwSysConfig::Instance().FileName());
    config.Windowed = windowed;
    config.SoundVolume = sound;
    config.MusicVolume = music;
    config.DifficultLevel = difficulty;
    ASSERT_EQ(config.Save(), 0);
}

void GameAppHarness::RecordSounds() {
    recordingSounds_ = true;
    auto sounds = sounds_;
    TwSetGuiSoundPlayer([sounds](int id) { sounds->push_back(id); });
    GameSoundPlayer::SetListener([sounds](int id) { sounds->push_back(id); });
}

bool GameAppHarness::Start(GameFactory gameScreen) {
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    const std::string dataDir = BinaryDir() + "/Data/";
    if (!packs.OpenPack(dataDir + "Resource.Twr") || !packs.OpenPack(dataDir + "Lang.Twr")) {
        ADD_FAILURE() << "the game's packs are missing from " << dataDir;
        return false;
    }
    TwLanguage::Instance().Reload();
    TwScreenSize::Instance() = TwScreenSize{800, 600};

    struct stat info {};
    if (::stat(TwSysConfig::Instance().FilePath().c_str(), &info) != 0) {
        WriteSettings(true, 100, 100, 0);
    }
    TwProfileStore::Instance().Reset();
    TwProfileStore::Instance().LoadProfiles();
    LoadEngineDefinitions();

    TwSetClock(&clock_);
    TwFrameTimer::Instance().Reset();
    TwFlushMessages();

    app_ = std::make_unique<GameApplication>();
    const bool realGame = !gameScreen;
    if (!realGame) {
        app_->SetGameFactory(std::move(gameScreen));
    }
    if (!app_->Init("3D", "Zorbit Volley")) {
        ADD_FAILURE() << "no window";
        return false;
    }
    TwRenderDevice::Instance().SetWindowBuilder([this] {
        ++windowRebuilds_;
        return app_->CreateMainWindow();
    });
    app_->ShowProgress(20);
    const TwSysConfig& config = TwSysConfig::Instance();
    TwSoundManager::Instance().StartUp(config.SoundVolume, config.MusicVolume);
    app_->LoadData();
    app_->ShowProgress(100);
    app_->FreeLoadScreen();
    // Every frame from here on lasts exactly as long as the clock is advanced, averaged
    // history included.
    TwFrameTimer& timer = TwFrameTimer::Instance();
    timer.Reset();
    for (std::size_t i = 0; i <= TwFrameTimer::kHistoryLength; ++i) {
        clock_.Advance(kFrameMs);
        timer.Update();
    }
    if (GameScreen() == nullptr || (realGame && RealGame() == nullptr)) {
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

void GameAppHarness::Frames(int count) {
    for (int i = 0; i < count; ++i) {
        Frame();
    }
}

bool GameAppHarness::Push(const TwSyntheticEvent& event) {
    return TwPushSyntheticEvent(event);
}

void GameAppHarness::PushPointer(TwSyntheticEvent::Kind kind, float x, float y, int button) {
    TwSyntheticEvent event;
    event.kind = kind;
    event.x = static_cast<int>(x);
    event.y = static_cast<int>(y);
    event.button = button;
    ASSERT_TRUE(Push(event));
}

void GameAppHarness::MoveTo(float x, float y) {
    PushPointer(TwSyntheticEvent::Kind::MouseMove, x, y);
}

void GameAppHarness::LeftDown(float x, float y) {
    PushPointer(TwSyntheticEvent::Kind::ButtonDown, x, y, 1);
}

void GameAppHarness::LeftUp(float x, float y) {
    PushPointer(TwSyntheticEvent::Kind::ButtonUp, x, y, 1);
}

void GameAppHarness::LeftClick(float x, float y) {
    MoveTo(x, y);
    LeftDown(x, y);
    LeftUp(x, y);
    Frame();
}

void GameAppHarness::RightClick(float x, float y) {
    MoveTo(x, y);
    PushPointer(TwSyntheticEvent::Kind::ButtonDown, x, y, 3);
    PushPointer(TwSyntheticEvent::Kind::ButtonUp, x, y, 3);
    Frame();
}

void GameAppHarness::Key(const std::string& sdlName) {
    TwSyntheticEvent down;
    down.kind = TwSyntheticEvent::Kind::KeyDown;
    down.key = sdlName;
    ASSERT_TRUE(Push(down));
    TwSyntheticEvent up = down;
    up.kind = TwSyntheticEvent::Kind::KeyUp;
    ASSERT_TRUE(Push(up));
    Frame();
}

// One text event per character, as a keyboard delivers them (UTF-8 kept whole).
void GameAppHarness::Type(const std::string& text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t start = pos;
        TwUtf8::Next(text, pos);
        TwSyntheticEvent typed;
        typed.kind = TwSyntheticEvent::Kind::Text;
        typed.text = text.substr(start, pos - start);
        ASSERT_TRUE(Push(typed));
    }
    Frame();
}

void GameAppHarness::Click(const std::string& panel, const std::string& element) {
    TwBaseGuiElemen* target = Element(panel, element);
    ASSERT_NE(target, nullptr) << panel << " has no " << element;
    ClickAt(target->Position());
}

void GameAppHarness::ClickAt(const TwVector& where) {
    MoveTo(where.x, where.y);
    Frame();
    LeftDown(where.x, where.y);
    LeftUp(where.x, where.y);
    Frame();
    Settle();
}

Game* GameAppHarness::RealGame() const {
    return app_ ? dynamic_cast<Game*>(app_->GameScreen()) : nullptr;
}

MenuGui& GameAppHarness::Menu() {
    return *app_->Menu();
}

TwEventListener* GameAppHarness::CurrentScreen() const {
    return app_->Router()->Current();
}

TwPanel* GameAppHarness::Top() {
    return Menu().TopPanel();
}

std::string GameAppHarness::TopName() {
    TwPanel* top = Top();
    return top ? top->Name() : std::string();
}

TwBaseGuiElemen* GameAppHarness::Element(const std::string& panel, const std::string& element) {
    TwPanel* owner = Menu().GetPanel(panel);
    return owner ? owner->FindElement(element) : nullptr;
}

bool GameAppHarness::QuitRequested() const {
    return app_->QuitRequested();
}

void GameAppHarness::Screenshot(const std::string& name) {
    clock_.Advance(kFrameMs);
    app_->BeginFrame();
    app_->UpdateAndDraw();
    // The whole window as the player sees it (in full screen, the desktop with the picture
    // letterboxed in it).
    std::vector<std::uint32_t> argb;
    int width = 0, height = 0;
    const bool read = TwVideo::ReadPixels(argb, width, height);
    app_->EndFrame();
    ASSERT_TRUE(read);
    ASSERT_EQ(argb.size(), static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    Pixels picture(width, height);
    for (std::size_t i = 0; i < argb.size(); ++i) {
        const std::uint32_t pixel = argb[i];
        picture.rgba[4 * i] = static_cast<std::uint8_t>(pixel >> 16);
        picture.rgba[4 * i + 1] = static_cast<std::uint8_t>(pixel >> 8);
        picture.rgba[4 * i + 2] = static_cast<std::uint8_t>(pixel);
        picture.rgba[4 * i + 3] = 0xFF;
    }
    const std::string png = MakePng(picture);
    ASSERT_FALSE(png.empty());
    const std::string dir = BinaryDir() + "/screenshots";
    TwMakeDirs(dir);
    EXPECT_TRUE(TwWriteFileAtomic(dir + "/" + name + ".png", png));
}

} // namespace zvtest
