#include "GameScreenFixture.h"

#include <memory>

#include "GameSound.h"
#include "app/TwHighScoreTables.h"
#include "app/TwSysConfig.h"
#include "data/TwResourceManager.h"
#include "platform/TwMessageBox.h"
#include "platform/TwRand.h"
#include "platform/TwUserFiles.h"
#include "records/TwProfileStore.h"
#include "records/TwTop.h"

namespace gstest {

namespace {
constexpr int kMouseMove = 512;
constexpr int kLeftUp = 514;
constexpr int kRightUp = 517;
constexpr int kKeyDown = 256;
} // namespace

bool OpenGamePacks() {
    static const bool open = [] {
        TwResourceManager& packs = TwResourceManager::Instance();
        packs.CloseAll();
        return packs.OpenPack(zvtest::BinaryDir() + "/Data/Resource.Twr");
    }();
    return open;
}

FieldGeometry ShippedGeometry() {
    FieldGeometry g;
    g.columns = 12;
    g.rows = 12;
    g.radius = 18;
    g.xPlayerPos = 400;
    g.yPlayerPos = 539;
    return g;
}

GameScreenTest::GameScreenTest() {
    packsOpen = OpenGamePacks();
    TwSetMessageSink([](const std::string&, const std::string&) {});
    TwSRand(2024);
    TwSysConfig::Instance().DifficultLevel = 0;
    GameMap::SetBurstSoundToggle(false);
    GameSound::SetListener([this](int id) { sounds.push_back(id); });

    TwProfileStore& store = TwProfileStore::Instance();
    store.Reset();
    store.TryAddProfile("Tester");
    auto& tables = TwHighScoreTables();
    tables[Game::kClassic] = std::make_unique<TwTop>("Data/Classic.Twt");
    tables[Game::kArcade] = std::make_unique<TwTop>("Data/Arcade.Twt");

    game.SetFieldGeometry(ShippedGeometry());
    game.SetRouter(&router);
    game.BuildScreen();
    router.AddScreen(Game::kMenuScreen, &menu);
    router.AddScreen(Game::kScreenName, &game);
    // The menu panel fades in once, when the screen is built.
    Frames(15);
}

GameScreenTest::~GameScreenTest() {
    GameSound::SetListener(nullptr);
    TwSetMessageSink(nullptr);
    TwHighScoreTables().clear();
    TwProfileStore::Instance().Reset();
    GameState::Set(GameState::kNotPlaying);
}

void GameScreenTest::Frame(int ms) {
    game.OnEvent();
    game.Update(ms);
    game.Draw();
}

void GameScreenTest::Frames(int count, int ms) {
    for (int i = 0; i < count; ++i) {
        Frame(ms);
    }
}

bool GameScreenTest::RunUntil(const std::function<bool()>& done, int limit, int ms) {
    for (int i = 0; i < limit; ++i) {
        if (done()) {
            return true;
        }
        Frame(ms);
    }
    return done();
}

void GameScreenTest::MoveMouse(float x, float y) {
    input.eventClass = TwInputEvent::kMouse;
    input.messageId = kMouseMove;
    input.button = TwInputEvent::kNoButton;
    input.mouseX = input.eventX = x;
    input.mouseY = input.eventY = y;
    router.ForwardInput();
}

void GameScreenTest::LeftClick(float x, float y) {
    MoveMouse(x, y);
    input.eventClass = TwInputEvent::kMouse;
    input.messageId = kLeftUp;
    input.button = TwInputEvent::kLeftReleased;
    router.ForwardInput();
}

void GameScreenTest::RightClick(float x, float y) {
    MoveMouse(x, y);
    input.eventClass = TwInputEvent::kMouse;
    input.messageId = kRightUp;
    input.button = TwInputEvent::kRightReleased;
    router.ForwardInput();
}

void GameScreenTest::KeyDown(unsigned char key) {
    input.eventClass = TwInputEvent::kKeyboard;
    input.messageId = kKeyDown;
    input.button = TwInputEvent::kNoButton;
    input.key = key;
    router.ForwardInput();
}

void GameScreenTest::StartGame(int mode) {
    mode == Game::kArcade ? game.StartArcade() : game.StartClassic();
    game.NewGame();
    router.SwitchScreen(Game::kScreenName);
    ASSERT_TRUE(RunUntil([this] { return Field().MapState == GameMap::kReady; }));
}

void GameScreenTest::Layout(const std::vector<std::string>& rows, int loaded, int next) {
    GameMap& field = Field();
    for (int c = 0; c < field.Columns(); ++c) {
        for (int k = 0; k < field.Rows(); ++k) {
            field.TakeBubble(c, k);
        }
    }
    for (int k = 0; k < static_cast<int>(rows.size()); ++k) {
        for (int c = 0; c < static_cast<int>(rows[k].size()); ++c) {
            const char cell = rows[k][c];
            if (cell >= '0' && cell <= '9') {
                ASSERT_TRUE(field.PlaceNewBubble(c, k, cell - '0'));
            }
        }
    }
    // Counted as during the reveal: laying out a field is no colour lost.
    const int state = field.MapState;
    field.MapState = GameMap::kIntro;
    field.RecountColours();
    field.MapState = state;
    Load(loaded);
    field.SetNextBubble(field.NewBubbleOfColour(next));
}

void GameScreenTest::Load(int colour) {
    Gun().SetLoaded(Field().NewBubbleOfColour(colour));
}

bool GameScreenTest::ShootAt(const TwVector& target) {
    const bool ready = RunUntil([this] {
        return Field().MapState == GameMap::kReady && !Field().RowPending &&
               Gun().ReloadRemaining() == 0 && Field().FallingList().empty();
    });
    if (!ready) {
        return false;
    }
    MoveMouse(target.x, target.y);
    Frame(); // the launcher turns and its bubble moves to the muzzle
    LeftClick(target.x, target.y);
    if (!Gun().Flying()) {
        return false;
    }
    return RunUntil([this] { return !Gun().Flying(); });
}

TwVector GameScreenTest::Cell(int column, int row) const {
    return Field().CellToScreen(column, row);
}

std::string GameScreenTest::Picture() const {
    std::string text;
    for (int k = 0; k < Field().Rows(); ++k) {
        for (int c = 0; c < Field().Columns(); ++c) {
            const BaseBubble* bubble = Field().Bubble(c, k);
            text += bubble != nullptr ? static_cast<char>('0' + bubble->Colour()) : '.';
        }
        text += '\n';
    }
    return text;
}

int GameScreenTest::Count(int sound) const {
    int n = 0;
    for (int id : sounds) {
        n += id == sound;
    }
    return n;
}

TwTop& GameScreenTest::Table(int mode) const {
    return *TwHighScoreTable(mode);
}

std::string GameScreenTest::SlotPath() const {
    return TwProfileStore::Instance().SavePath();
}

std::string GameScreenTest::SlotText() const {
    std::string bytes;
    TwReadFile(SlotPath(), bytes);
    return bytes;
}

void GameScreenTest::WriteSlot(const std::string& text) const {
    TwWriteFileAtomic(SlotPath(), text);
    TwProfileStore::Instance().CheckSavedGame();
}

} // namespace gstest
