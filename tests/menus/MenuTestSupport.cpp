#include "MenuTestSupport.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "GameSound.h"
#include "MenuGui.h"
#include "app/TwEngineDefs.h"
#include "app/TwFrameTimer.h"
#include "app/TwHighScoreTables.h"
#include "app/TwInputEvent.h"
#include "app/TwRenderDevice.h"
#include "app/TwScreenSize.h"
#include "app/TwSysConfig.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwLanguage.h"
#include "data/TwResourceManager.h"
#include "gui/TwEventRouter.h"
#include "gui/TwGuiSound.h"
#include "gui/TwPanel.h"
#include "platform/TwEvents.h"
#include "platform/TwMessageBox.h"
#include "platform/TwUserFiles.h"
#include "platform/TwVideo.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace menutest {

namespace {

constexpr std::uint32_t kFrameMs = 20;
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

void AppendBytes(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
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

MenuHarness::MenuHarness() {
    TwSetMessageSink([](const std::string&, const std::string&) {});
    auto sounds = sounds_;
    TwSetGuiSoundPlayer([sounds](int id) { sounds->push_back(id); });
    GameSound::SetListener([sounds](int id) { sounds->push_back(id); });
}

MenuHarness::~MenuHarness() {
    Stop();
    TwSoundManager::Instance().ShutDown();
    TwSetClock(nullptr);
    TwFlushMessages();
    TwProfileStore::Instance().Reset();
    TwResourceManager::Instance().CloseAll();
    TwSetGuiSoundPlayer({});
    GameSound::SetListener({});
    TwSetMessageSink({});
}

void MenuHarness::WriteProfiles(const std::vector<std::string>& names, int active) {
    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    for (const std::string& name : names) {
        store.AddProfile(name);
    }
    store.SelectProfile(active);
    ASSERT_TRUE(store.SaveProfiles());
}

void MenuHarness::WriteSettings(bool windowed, int sound, int music, int difficulty) {
    TwSysConfig& config = TwSysConfig::Instance();
    config.Windowed = windowed;
    config.SoundVolume = sound;
    config.MusicVolume = music;
    config.DifficultLevel = difficulty;
    ASSERT_EQ(config.Save(), 0);
}

bool MenuHarness::Start(bool realGame) {
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    const std::string dataDir = zvtest::BinaryDir() + "/Data/";
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
    if (!realGame) {
        app_->SetGameFactory([this] {
            auto game = std::make_unique<FakeGame>();
            game_ = game.get();
            return std::unique_ptr<GameControl>(std::move(game));
        });
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
    // Every frame from here on lasts exactly 20 ms, averaged history included.
    TwFrameTimer& timer = TwFrameTimer::Instance();
    timer.Reset();
    for (std::size_t i = 0; i <= TwFrameTimer::kHistoryLength; ++i) {
        clock_.Advance(kFrameMs);
        timer.Update();
    }
    started_ = app_->GameScreen() != nullptr;
    return started_;
}

void MenuHarness::Stop() {
    if (app_) {
        app_->Shutdown();
        app_.reset();
        game_ = nullptr;
    }
}

void MenuHarness::Frame() {
    TwWindowMessage message;
    while (TwPeekMessage(message)) {
        if (message.id != kTwMsgQuit) {
            app_->HandleMessage(message);
        }
    }
    clock_.Advance(kFrameMs);
    app_->Frame();
}

void MenuHarness::Frames(int count) {
    for (int i = 0; i < count; ++i) {
        Frame();
    }
}

void MenuHarness::Push(int kind, float x, float y, int button) {
    TwSyntheticEvent event;
    event.kind = static_cast<TwSyntheticEvent::Kind>(kind);
    event.x = static_cast<int>(x);
    event.y = static_cast<int>(y);
    event.button = button;
    ASSERT_TRUE(TwPushSyntheticEvent(event));
}

void MenuHarness::MoveTo(float x, float y) {
    Push(static_cast<int>(TwSyntheticEvent::Kind::MouseMove), x, y);
}

void MenuHarness::LeftDown(float x, float y) {
    Push(static_cast<int>(TwSyntheticEvent::Kind::ButtonDown), x, y, 1);
}

void MenuHarness::LeftUp(float x, float y) {
    Push(static_cast<int>(TwSyntheticEvent::Kind::ButtonUp), x, y, 1);
}

void MenuHarness::LeftClick(float x, float y) {
    MoveTo(x, y);
    LeftDown(x, y);
    LeftUp(x, y);
    Frame();
}

void MenuHarness::RightClick(float x, float y) {
    MoveTo(x, y);
    Push(static_cast<int>(TwSyntheticEvent::Kind::ButtonDown), x, y, 3);
    Push(static_cast<int>(TwSyntheticEvent::Kind::ButtonUp), x, y, 3);
    Frame();
}

void MenuHarness::Key(const std::string& sdlName) {
    TwSyntheticEvent down;
    down.kind = TwSyntheticEvent::Kind::KeyDown;
    down.key = sdlName;
    ASSERT_TRUE(TwPushSyntheticEvent(down));
    TwSyntheticEvent up = down;
    up.kind = TwSyntheticEvent::Kind::KeyUp;
    ASSERT_TRUE(TwPushSyntheticEvent(up));
    Frame();
}

void MenuHarness::Type(const std::string& text) {
    for (char ch : text) {
        TwSyntheticEvent typed;
        typed.kind = TwSyntheticEvent::Kind::Text;
        typed.text = std::string(1, ch);
        ASSERT_TRUE(TwPushSyntheticEvent(typed));
    }
    Frame();
}

void MenuHarness::Click(const std::string& panel, const std::string& element) {
    TwBaseGuiElemen* target = Element(panel, element);
    ASSERT_NE(target, nullptr) << panel << " has no " << element;
    ClickAt(target->Position());
}

void MenuHarness::ClickAt(const TwVector& where) {
    MoveTo(where.x, where.y);
    Frame();
    LeftDown(where.x, where.y);
    LeftUp(where.x, where.y);
    Frame();
    Settle();
}

MenuGui& MenuHarness::Menu() {
    return *app_->Menu();
}

TwEventListener* MenuHarness::CurrentScreen() const {
    return app_->Router()->Current();
}

TwPanel* MenuHarness::Top() {
    return Menu().TopPanel();
}

std::string MenuHarness::TopName() {
    TwPanel* top = Top();
    return top ? top->Name() : std::string();
}

TwBaseGuiElemen* MenuHarness::Element(const std::string& panel, const std::string& element) {
    TwPanel* owner = Menu().GetPanel(panel);
    return owner ? owner->FindElement(element) : nullptr;
}

bool MenuHarness::QuitRequested() const {
    return app_->QuitRequested();
}

void MenuHarness::Screenshot(const std::string& name) {
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
    std::vector<std::uint8_t> rgba;
    rgba.reserve(argb.size() * 4);
    for (std::uint32_t pixel : argb) {
        rgba.push_back(static_cast<std::uint8_t>(pixel >> 16));
        rgba.push_back(static_cast<std::uint8_t>(pixel >> 8));
        rgba.push_back(static_cast<std::uint8_t>(pixel));
        rgba.push_back(0xFF);
    }
    std::string png;
    ASSERT_TRUE(
        stbi_write_png_to_func(AppendBytes, &png, width, height, 4, rgba.data(), width * 4));
    const std::string dir = zvtest::BinaryDir() + "/screenshots";
    TwMakeDirs(dir);
    EXPECT_TRUE(TwWriteFileAtomic(dir + "/" + name + ".png", png));
}

} // namespace menutest
